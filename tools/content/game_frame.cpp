#include "tools/content/game_frame.h"

PanelPlacement monitorPanelPlacement(int k) {
    PanelPlacement panels[MONITOR_COUNT];
    placeMonitorPanels(panels);
    return panels[k >= 0 && k < MONITOR_COUNT ? k : 0];
}

Vec3 panelPoint(int k, float u, float v) {
    PanelPlacement p = monitorPanelPlacement(k);
    Mat4 model = panelModelMatrix(&p);
    return transformPoint(&model, vec3(u, v, 0));
}

void playerViewProjection(Mat4* view, Mat4* projection) {
    PlayerView player;
    resetPlayerView(&player);
    *view = player.view;
    *projection = player.projection;
}

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
