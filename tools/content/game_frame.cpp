#include "tools/content/game_frame.h"

PanelPlacement monitorPanelPlacement(int k) {
    // Desk-frame positions: upper left, lower left, upper right, lower right.
    static const Vec3 kPanelInDesk[4] = {
        {-0.95f, -0.26f, 0.4f}, {-0.95f, -0.26f, -0.6f}, {0.9f, 0.0f, 0.4f}, {0.9f, 0.0f, -0.6f}};
    bool left = k < 2;
    bool upper = (k % 2) == 0;
    Quat desk = quaternionFromAxisAngle(vec3(0, 0, 1), kDeskTurnDegrees);
    // Turned about the vertical axis first, then about the first axis: as calls that
    // each multiply on the right, so the panel stands up (first axis) and is then
    // angled towards the player (vertical axis), and the desk turn comes last.
    Quat panel = identityQuaternion();
    turnAboutZ(&panel, left ? 7.0f : -7.0f);
    Quat tilt = quaternionFromAxisAngle(vec3(1, 0, 0), upper ? 105.0f : 75.0f);
    Quat turned;
    quaternionProduct(&turned, &tilt, &panel); // panel (x) tilt
    PanelPlacement p;
    quaternionProduct(&p.rotation, &turned, &desk); // desk (x) panel (x) tilt
    Vec3 offset = kPanelInDesk[k];
    rotateByQuaternion(&desk, &offset);
    p.position = add3(kDeskOrigin, offset);
    p.scale = vec3(kMonitorAspect, 1.0f, 1.0f);
    return p;
}

Mat4 panelModelMatrix(const PanelPlacement* placement) {
    return transformMatrix(placement->position, &placement->rotation, placement->scale);
}

Vec3 panelPoint(int k, float u, float v) {
    PanelPlacement p = monitorPanelPlacement(k);
    Mat4 model = panelModelMatrix(&p);
    return transformPoint(&model, vec3(u, v, 0));
}

void playerViewProjection(Mat4* view, Mat4* projection) {
    Vec3 forward = normalised3(kPlayerForward);
    lookAt(view, kPlayerEye, add3(kPlayerEye, forward), vec3(0, 0, 1));
    *projection = identityMatrix4();
    perspective(projection, 90.0f, 16.0f / 9.0f, 0.5f, 100.0f);
}

Quat rotationFromAngles(Vec3 degrees) {
    Quat rz = quaternionFromAxisAngle(vec3(0, 0, 1), degrees.x);
    Quat rx = quaternionFromAxisAngle(vec3(1, 0, 0), degrees.y);
    Quat ry = quaternionFromAxisAngle(vec3(0, 1, 0), degrees.z);
    Quat zx, zxy;
    quaternionProduct(&zx, &rx, &rz);   // Rz (x) Rx
    quaternionProduct(&zxy, &ry, &zx);  // (Rz (x) Rx) (x) Ry
    return zxy;
}

Quat cameraModelRotation() { return quaternionFromAxisAngle(vec3(1, 0, 0), -90.0f); }

bool monitorPointToWindow(int k, float u, float v, float width, float height, float* x, float* y) {
    Vec3 p = panelPoint(k, u, v);
    Mat4 view, projection, viewProjection;
    playerViewProjection(&view, &projection);
    multiplyMatrix4(&viewProjection, &projection, &view);
    Vec4 clip = transformVector4(&viewProjection, Vec4{p.x, p.y, p.z, 1.0f});
    if (clip.w <= 0.0f) return false;
    float nx = clip.x / clip.w, ny = clip.y / clip.w;
    *x = (nx + 1.0f) * 0.5f * width;
    *y = (ny + 1.0f) * 0.5f * height;
    return nx > -1.0f && nx < 1.0f && ny > -1.0f && ny < 1.0f;
}

void inventorySlotCentre(int k, float width, float height, float* x, float* y) {
    *x = (96.0f * k + 48.0f) / 1280.0f * width;
    *y = 64.0f / 720.0f * height;
}
