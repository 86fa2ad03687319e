#include "game/picking.h"

#include "game/game_state.h"

Ray unprojectRay(const Mat4* view, const Mat4* projection, Vec3 eye, float ndcX, float ndcY) {
    Mat4 inverseProjection, inverseView;
    inverseMatrix4(&inverseProjection, projection);
    inverseMatrix4(&inverseView, view);
    Vec4 onNearPlane = transformVector4(&inverseProjection, Vec4{ndcX, ndcY, -1.0f, 1.0f});
    Vec4 direction = transformVector4(&inverseView, Vec4{onNearPlane.x, onNearPlane.y, -1.0f, 0.0f});
    Ray ray;
    ray.origin = eye;
    ray.direction = normalised3(Vec3{direction.x, direction.y, direction.z});
    return ray;
}

Mat4 panelModelMatrix(const PanelPlacement* panel) {
    return transformMatrix(panel->position, &panel->rotation, panel->scale);
}

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
