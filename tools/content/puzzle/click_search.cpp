#include "tools/content/puzzle/click_search.h"

#include "tools/content/game_frame.h"

#include <math.h>

#include <vector>

namespace {

// Bounds of the target's projection on the picture (u, v in 0..1); false when it lies
// entirely outside the picture or behind the camera.
bool projectedRectangle(const PuzzleCamera* camera, Bounds box, float* u0, float* v0, float* u1, float* v1) {
    Mat4 viewProjection;
    multiplyMatrix4(&viewProjection, &camera->projection, &camera->view);
    *u0 = *v0 = 1e30f;
    *u1 = *v1 = -1e30f;
    bool behind = false;
    for (int i = 0; i < 8; ++i) {
        Vec4 p = {(i & 1) ? box.hi.x : box.lo.x, (i & 2) ? box.hi.y : box.lo.y, (i & 4) ? box.hi.z : box.lo.z, 1.0f};
        Vec4 clip = transformVector4(&viewProjection, p);
        if (clip.w <= 0.01f) {
            behind = true;
            continue;
        }
        float u = 0.5f * (clip.x / clip.w + 1.0f), v = 0.5f * (clip.y / clip.w + 1.0f);
        *u0 = fminf(*u0, u), *v0 = fminf(*v0, v), *u1 = fmaxf(*u1, u), *v1 = fmaxf(*v1, v);
    }
    // A box reaching behind the camera can cover any part of the picture.
    if (behind) *u0 = 0, *v0 = 0, *u1 = 1, *v1 = 1;
    *u0 = fmaxf(*u0, 0.0f), *v0 = fmaxf(*v0, 0.0f), *u1 = fminf(*u1, 1.0f), *v1 = fminf(*v1, 1.0f);
    return *u0 < *u1 && *v0 < *v1;
}

Bounds targetBounds(const PuzzleWorld* world, ClickTarget target) {
    switch (target.kind) {
    case PICK_INTERACTABLE: return interactableBounds(world, (uint32_t)target.index);
    case PICK_ENTITY: return entityBounds(world, (uint32_t)target.index);
    default: return cameraModelWorldBounds(world, (uint32_t)target.index);
    }
}

bool effectMatches(const FrameEffects* effects, ActionKind action, ClickTarget target) {
    switch (target.kind) {
    case PICK_INTERACTABLE: return action == ACTION_DROP ? effects->opened == target.index : effects->toggled == target.index;
    case PICK_ENTITY: return action == ACTION_CLICK && (effects->taken == target.index || effects->pressed == target.index);
    case PICK_CAMERA: return action == ACTION_CLICK && effects->switchedTo == target.index;
    default: return false;
    }
}

// One sample: the action at (u, v) does what is wanted, the object is in view there,
// and (for a click) holding the button a frame longer changes nothing more.
bool sampleWorks(PuzzleWorld* world, int monitor, ActionKind action, int item, ClickTarget target, float u, float v,
                 const PuzzleState* start) {
    Vec3 origin, direction;
    monitorRay(world, monitor, u, v, &origin, &direction);
    int seen;
    float distance;
    PickKind kind = firstVisible(world, origin, direction, (int)world->monitors[monitor].camera, &seen, &distance);
    if (kind != target.kind || seen != target.index) return false;
    FrameInput input = {monitor, u, v, action == ACTION_CLICK, false, action == ACTION_DROP ? item : -1, false};
    FrameEffects effects;
    applyMonitorFrame(world, &input, &effects);
    bool ok = effectMatches(&effects, action, target);
    if (ok && action == ACTION_CLICK) {
        FrameEffects held;
        applyMonitorFrame(world, &input, &held);
        ok = held.toggled < 0 && held.opened < 0 && held.taken < 0 && held.switchedTo < 0 && held.pressed < 0;
    }
    restorePuzzleState(world, start);
    return ok;
}

} // namespace

bool monitorPointClickable(int monitor, float u, float v, const ScreenLimits* screen) {
    float x, y;
    if (!monitorPointToWindow(monitor, u, v, screen->width, screen->height, &x, &y)) return false;
    const float edge = 6.0f;
    if (x < edge || y < edge || x > screen->width - edge || y > screen->height - edge) return false;
    // The inventory bar: up to four slots of 96 x 128 GUI pixels at the bottom left.
    bool overBar = x < 4.0f * 96.0f / 1280.0f * screen->width + edge && y < 128.0f / 720.0f * screen->height + edge;
    return !overBar;
}

bool findClickPoint(PuzzleWorld* world, int monitor, ActionKind action, int item, ClickTarget target,
                    ClickChoice* choice, const ScreenLimits* screen) {
    *choice = ClickChoice{0, 0, 0, 0};
    const PuzzleCamera* camera = &world->cameras[world->monitors[monitor].camera];
    float u0, v0, u1, v1;
    if (!projectedRectangle(camera, targetBounds(world, target), &u0, &v0, &u1, &v1)) return false;
    // One sample per picture pixel, or coarser so that no search takes more than
    // 96 x 96 samples.
    float step = 1.0f / kMonitorPictureWidth;
    float stepV = 1.0f / kMonitorPictureHeight;
    int across = (int)ceilf((u1 - u0) / step) + 1, down = (int)ceilf((v1 - v0) / stepV) + 1;
    float scale = 1.0f;
    while (across / scale > 96 || down / scale > 96) scale *= 1.5f;
    step *= scale;
    stepV *= scale;
    across = (int)ceilf((u1 - u0) / step) + 1;
    down = (int)ceilf((v1 - v0) / stepV) + 1;

    PuzzleState start;
    savePuzzleState(world, &start);
    std::vector<uint8_t> works((size_t)across * down, 0);
    uint32_t count = 0;
    for (int j = 0; j < down; ++j)
        for (int i = 0; i < across; ++i) {
            float u = u0 + (i + 0.5f) * step, v = v0 + (j + 0.5f) * stepV;
            if (u >= 1.0f || v >= 1.0f) continue;
            if (screen && !monitorPointClickable(monitor, u, v, screen)) continue;
            if (sampleWorks(world, monitor, action, item, target, u, v, &start)) {
                works[(size_t)j * across + i] = 1;
                ++count;
            }
        }
    if (count == 0) return false;
    // Distance (in samples, city-block) to the nearest sample that does not work,
    // counting the border of the grid as not working; two passes.
    std::vector<int> reach((size_t)across * down, 0);
    for (int j = 0; j < down; ++j)
        for (int i = 0; i < across; ++i) {
            size_t at = (size_t)j * across + i;
            if (!works[at]) continue;
            // A neighbour outside the grid or not working has reach 0.
            int left = i > 0 ? reach[at - 1] + 1 : 1;
            int up = j > 0 ? reach[at - across] + 1 : 1;
            reach[at] = left < up ? left : up;
        }
    for (int j = down - 1; j >= 0; --j)
        for (int i = across - 1; i >= 0; --i) {
            size_t at = (size_t)j * across + i;
            if (!works[at]) continue;
            int right = i + 1 < across ? reach[at + 1] + 1 : 1;
            int below = j + 1 < down ? reach[at + across] + 1 : 1;
            int r = reach[at];
            r = right < r ? right : r;
            r = below < r ? below : r;
            reach[at] = r;
        }
    // The deepest sample; among equals the one nearest the middle of the working area.
    double cu = 0, cv = 0;
    for (int j = 0; j < down; ++j)
        for (int i = 0; i < across; ++i)
            if (works[(size_t)j * across + i]) cu += i, cv += j;
    cu /= count;
    cv /= count;
    int bestAt = -1;
    double bestScore = -1;
    for (int j = 0; j < down; ++j)
        for (int i = 0; i < across; ++i) {
            size_t at = (size_t)j * across + i;
            if (!works[at]) continue;
            double score = reach[at] * 1e6 - ((i - cu) * (i - cu) + (j - cv) * (j - cv));
            if (score > bestScore) bestScore = score, bestAt = (int)at;
        }
    int bi = bestAt % across, bj = bestAt / across;
    choice->u = u0 + (bi + 0.5f) * step;
    choice->v = v0 + (bj + 0.5f) * stepV;
    choice->marginPixels = (reach[bestAt] - 0.5f) * scale;
    choice->hitPixels = (uint32_t)(count * scale * scale);
    return true;
}

bool cameraSeesCamera(PuzzleWorld* world, uint32_t from, uint32_t to, ClickChoice* choice) {
    PuzzleState start;
    savePuzzleState(world, &start);
    world->monitors[0].camera = from;
    bool found = findClickPoint(world, 0, ACTION_CLICK, -1, ClickTarget{PICK_CAMERA, (int)to}, choice, nullptr);
    restorePuzzleState(world, &start);
    return found;
}
