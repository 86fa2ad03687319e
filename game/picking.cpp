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

namespace {
bool project(const Mat4* view, const Mat4* projection, Vec3 world, float* ndcX, float* ndcY) {
    Mat4 viewProjection;
    multiplyMatrix4(&viewProjection, projection, view);
    Vec4 clip = transformVector4(&viewProjection, Vec4{world.x, world.y, world.z, 1.0f});
    if (clip.w <= 0.0f) return false;
    *ndcX = clip.x / clip.w;
    *ndcY = clip.y / clip.w;
    return true;
}
} // namespace

bool worldToPanel(const SecurityCamera* camera, Vec3 world, float* u, float* v) {
    float x, y;
    if (!project(&camera->view, &camera->projection, world, &x, &y)) return false;
    *u = (x + 1.0f) / 2.0f;
    *v = (y + 1.0f) / 2.0f;
    return true;
}

bool panelToCursor(const GameState* game, const PanelPlacement* panel, float u, float v, int32_t* x, int32_t* y) {
    Mat4 model = panelModelMatrix(panel);
    Vec3 world = transformPoint(&model, Vec3{u, v, 0.0f});
    float ndcX, ndcY;
    if (!project(&game->player.view, &game->player.projection, world, &ndcX, &ndcY)) return false;
    *x = static_cast<int32_t>((ndcX + 1.0f) / 2.0f * static_cast<float>(game->clientWidth));
    *y = static_cast<int32_t>((ndcY + 1.0f) / 2.0f * static_cast<float>(game->clientHeight));
    return true;
}
