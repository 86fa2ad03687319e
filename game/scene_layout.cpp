#include "game/scene_layout.h"

#include "engine/assets/dyn_array.h"
#include "game/scene_files.h"

#include <string.h>

namespace {
const Vec3 kDeskOrigin = {1.7f, 0.7f, 2.5f};
const float kDeskTurn = -90.0f;
const float kPanelAspect = 16.0f / 9.0f;

struct PanelSlot {
    Vec3 position; // in the desk frame
    float turn;    // about the vertical axis
    float tilt;    // about the x axis
};

const PanelSlot kPanelSlots[MONITOR_COUNT] = {
    {{-0.95f, -0.26f, 0.4f}, 7.0f, 105.0f},  // upper left
    {{-0.95f, -0.26f, -0.6f}, 7.0f, 75.0f},  // lower left
    {{0.9f, 0.0f, 0.4f}, -7.0f, 105.0f},     // upper right
    {{0.9f, 0.0f, -0.6f}, -7.0f, 75.0f},     // lower right
};

Quat product(Quat left, Quat right) {
    // left (x) right: turns by right first, then by left.
    Quat out;
    quaternionProduct(&out, &right, &left);
    return out;
}
} // namespace

void placeMonitorPanels(PanelPlacement panels[MONITOR_COUNT]) {
    Quat desk = quaternionFromAxisAngle(Vec3{0, 0, 1}, kDeskTurn);
    for (int i = 0; i < MONITOR_COUNT; ++i) {
        const PanelSlot& slot = kPanelSlots[i];
        // Turned about z, then about the panel's own x axis: the tilt stands the quad up,
        // the turn angles each side pair towards the chair.
        Quat turn = quaternionFromAxisAngle(Vec3{0, 0, 1}, slot.turn);
        Quat tilt = quaternionFromAxisAngle(Vec3{1, 0, 0}, slot.tilt);
        Quat local = product(turn, tilt);
        Vec3 offset = slot.position;
        rotateByQuaternion(&desk, &offset);
        panels[i].position = add3(kDeskOrigin, offset);
        panels[i].scale = Vec3{kPanelAspect, 1.0f, 1.0f};
        panels[i].rotation = product(desk, local);
    }
}

Quat cameraModelRotation() { return quaternionFromAxisAngle(Vec3{1.0f, 0.0f, 0.0f}, -90.0f); }

void resetPlayerView(PlayerView* player) {
    player->position = kPlayerEye;
    player->forward = normalised3(kPlayerForward);
    player->up = Vec3{0.0f, 0.0f, 1.0f};
    player->projection = identityMatrix4();
    perspective(&player->projection, 90.0f, 16.0f / 9.0f, 0.5f, 100.0f);
    lookAt(&player->view, player->position, add3(player->position, player->forward), player->up);
}

void setUpSecurityCamera(SecurityCamera* camera, const CameraRecord* record) {
    camera->position = record->position;
    camera->direction = record->direction;
    camera->fieldOfView = record->fieldOfView;
    camera->eye = Vec3{record->position.x, record->position.y, record->position.z - 0.2f};
    camera->projection = identityMatrix4();
    perspective(&camera->projection, record->fieldOfView, 16.0f / 9.0f, 0.1f, 100.0f);
    lookAt(&camera->view, camera->eye, add3(camera->eye, record->direction), Vec3{0.0f, 0.0f, 1.0f});
    camera->monitorIndex = NO_MONITOR;
}

Quat rotationFromDataAngles(Vec3 degrees) {
    Quat z = quaternionFromAxisAngle(Vec3{0, 0, 1}, degrees.x);
    Quat x = quaternionFromAxisAngle(Vec3{1, 0, 0}, degrees.y);
    Quat y = quaternionFromAxisAngle(Vec3{0, 1, 0}, degrees.z);
    return product(z, product(x, y));
}

void assignMonitorCameras(GameState* game) {
    for (uint32_t i = 0; i < MONITOR_COUNT; ++i) {
        Monitor* monitor = &game->monitors[i];
        monitor->camera = i < game->cameraCount ? i : 0;
        monitor->reachableCount = 0;
        void* block = monitor->reachable;
        if (game->cameraCount == 0 || !growBlock(&block, &monitor->reachableCapacity, 1, sizeof(uint32_t))) continue;
        monitor->reachable = static_cast<uint32_t*>(block);
        monitor->reachable[monitor->reachableCount++] = monitor->camera;
    }
}

bool buildUnitQuad(Mesh* quad) {
    static const float kCorners[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    static const uint32_t kIndices[6] = {0, 2, 1, 1, 2, 3};
    releaseMesh(quad);
    quad->vertexFormat = 0;
    if (!setMeshVertexSlotCount(quad, 4 * 11) || !setMeshIndexCount(quad, 6)) return false;
    for (int i = 0; i < 4; ++i) {
        float* v = quad->vertices + 11 * i;
        const float values[11] = {kCorners[i][0], kCorners[i][1], 0, kCorners[i][0], kCorners[i][1], 1, 1, 1, 0, 0, 1};
        memcpy(v, values, sizeof(values));
    }
    memcpy(quad->indices, kIndices, sizeof(kIndices));
    return true;
}
