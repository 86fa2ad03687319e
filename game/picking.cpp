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
