#include "game/picking.h"

#include "game/game_state.h"

bool rayHitsPanel(const GameState* game, const PanelPlacement* panel, const Ray* ray, float* u, float* v) {
    const Mesh* quad = &game->unitQuad;
    float distance = -1.0f;
    if (!intersectRayMesh(&ray->origin.x, &ray->direction.x, &panel->position.x, &panel->scale.x,
                          &panel->rotation.x, &distance, quad->vertices, quad->indices, quad->indexCount,
                          quad->vertexFormat))
        return false;
    Vec3 hit = add3(ray->origin, scale3(ray->direction, distance));
    Mat4 model = panelModelMatrix(panel);
    Mat4 inverse;
    inverseMatrix4(&inverse, &model);
    Vec3 local = transformPoint(&inverse, hit);
    *u = local.x;
    *v = local.y;
    return true;
}
