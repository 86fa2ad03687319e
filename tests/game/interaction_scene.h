// A small hand-built scene for the puzzle rules: two cameras in a corridor, a locker
// that opens by click, a door that needs a key, a key to take, and keypad buttons.
// Shared by the rule tests and the tests that drive real window messages.
#pragma once

#include "game/game.h"
#include "game/interaction.h"
#include "game/nearest_pick.h"
#include "game/picking.h"
#include "game/scene_files.h"
#include "game/scene_layout.h"

#include "engine/program/input_manager.h"
#include "engine/program/program_state.h"
#include "engine/platform/keyboard.h"
#include "engine/text/gui.h"
#include "engine/text/gui_widget.h"
#include "tests/support/recording_renderer.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

namespace interaction_scene {

// A vertical square facing -x, centred at (x, y, z) with half-size h, in format 0.
inline void buildWall(Mesh* mesh, float x, float y, float z, float h) {
    *mesh = Mesh{};
    mesh->vertexFormat = 0;
    const float corners[4][2] = {{-h, -h}, {-h, h}, {h, -h}, {h, h}};
    for (const auto& c : corners) appendVertexPosition(mesh, x, y + c[0], z + c[1]);
    setMeshIndexCount(mesh, 6);
    const uint32_t indices[6] = {0, 2, 1, 1, 2, 3};
    memcpy(mesh->indices, indices, sizeof(indices));
}

inline char* copyText(const char* text) {
    char* copy = static_cast<char*>(malloc(strlen(text) + 1));
    strcpy(copy, text);
    return copy;
}

struct Scene {
    GameState game = {};
    RecordingRenderer recorder;

    Scene() {
        installRecordingRenderer(&recorder);
        buildUnitQuad(&game.unitQuad);
        for (int i = 0; i < MONITOR_COUNT; ++i) {
            PanelPlacement panels[MONITOR_COUNT];
            placeMonitorPanels(panels);
            game.monitors[i].panel = panels[i];
        }
        resetPlayerView(&game.player);
        game.clientWidth = 1280;
        game.clientHeight = 720;
        setGuiViewport(&game.gui, 0, 0, 1280, 720);
        game.menuButton = makeMenuButton(&game.largeFont);
        memcpy(game.keypadCode, "3859", 4);

        // Camera 0 looks down the corridor along +x; camera 1 sits in its view.
        game.cameraCount = 2;
        game.cameras = static_cast<SecurityCamera*>(calloc(2, sizeof(SecurityCamera)));
        CameraRecord first = {nullptr, {10, 0, 2.2f}, {1, 0, 0}, 60};
        CameraRecord second = {nullptr, {18, -0.5f, 3.2f}, {0, -1, 0}, 60};
        setUpSecurityCamera(&game.cameras[0], &first);
        setUpSecurityCamera(&game.cameras[1], &second);
        game.cameras[0].name = copyText("CAM 1");
        game.cameras[1].name = copyText("CAM 2");
        buildWall(&game.cameraMesh, 0, 0, 0, 0.3f); // centred on the camera's position
        game.cameraModelScale = Vec3{1, 1, 1};
        game.cameraModelRotation = identityQuaternion();
        assignMonitorCameras(&game);

        // A locker to the left, a red door to the right, far walls behind.
        game.interactableCount = 3;
        game.interactables = static_cast<Interactable*>(calloc(3, sizeof(Interactable)));
        makeInteractable(&game.interactables[0], "locker", "", false, Vec3{0, 0, 1}, 15, 1.5f, 2);
        makeInteractable(&game.interactables[1], "redDoor", "redKey", true, Vec3{0, 0, 5}, 15, -1.5f, 2);
        makeInteractable(&game.interactables[2], "exitDoor", "keypadCode", true, Vec3{0, 0, 5}, 30, 0, 2);

        // The key in the middle, two keypad buttons above it.
        game.entityCount = 3;
        game.entities = static_cast<Entity*>(calloc(3, sizeof(Entity)));
        makeEntity(&game.entities[0], "redKey", 5, true, Vec3{14, 0, 1.4f});
        makeEntity(&game.entities[1], "DigicodeButton3", 20, false, Vec3{14, 0.5f, 3.0f});
        makeEntity(&game.entities[2], "DigicodeButtonStar", 28, false, Vec3{14, -0.5f, 3.0f});
        game.worldCount = game.worldCapacity = 3;
        game.world = static_cast<Entity**>(calloc(3, sizeof(Entity*)));
        for (int i = 0; i < 3; ++i) game.world[i] = &game.entities[i];
        setSimulatedForeground(true);
    }

    ~Scene() {
        releaseGameContents(&game);
        removeRecordingRenderer();
    }

    void makeInteractable(Interactable* object, const char* name, const char* item, bool required, Vec3 offset,
                          float x, float y, float z) {
        object->name = copyText(name);
        object->openingItem = copyText(item);
        object->required = required;
        object->openOffset = offset;
        buildWall(&object->pickMesh, x, y, z, 0.5f);
        object->monitorIndex = NO_MONITOR;
    }

    // One more interactable at the end of the list.
    Interactable* addInteractable(const char* name, const char* item, bool required, Vec3 offset, float x, float y,
                                  float z) {
        uint32_t n = game.interactableCount;
        game.interactables = static_cast<Interactable*>(realloc(game.interactables, (n + 1) * sizeof(Interactable)));
        memset(&game.interactables[n], 0, sizeof(Interactable));
        makeInteractable(&game.interactables[n], name, item, required, offset, x, y, z);
        game.interactableCount = n + 1;
        return &game.interactables[n];
    }

    uint32_t addCamera(const char* name, Vec3 position, Vec3 direction) {
        uint32_t n = game.cameraCount;
        game.cameras = static_cast<SecurityCamera*>(realloc(game.cameras, (n + 1) * sizeof(SecurityCamera)));
        memset(&game.cameras[n], 0, sizeof(SecurityCamera));
        CameraRecord record = {nullptr, position, direction, 60};
        setUpSecurityCamera(&game.cameras[n], &record);
        game.cameras[n].name = copyText(name);
        game.cameraCount = n + 1;
        return n;
    }

    // A wall of the static level (a square facing -x), which hides what lies behind it.
    void addLevelWall(float x, float y, float z, float h) {
        Mesh wall;
        buildWall(&wall, x, y, z, h);
        EXPECT_TRUE(appendLevelPick(&game.levelPick, &wall));
        releaseMesh(&wall);
    }

    void makeEntity(Entity* entity, const char* name, int32_t id, bool pickable, Vec3 at) {
        entity->name = copyText(name);
        entity->id = id;
        entity->pickable = pickable;
        entity->world = Transform{at, {1, 1, 1}, identityQuaternion()};
        buildWall(&entity->mesh, 0, 0, 0, 0.2f);
        entity->monitorIndex = NO_MONITOR;
    }

    // The cursor over a world point as seen through monitor k.
    InputSnapshot aimAt(uint32_t k, Vec3 world, bool left = false) {
        InputSnapshot input = {};
        float u, v;
        EXPECT_TRUE(worldToPanel(&game.cameras[game.monitors[k].camera], world, &u, &v));
        EXPECT_TRUE(panelToCursor(&game, &game.monitors[k].panel, u, v, &input.cursorX, &input.cursorY));
        input.leftDown = left;
        return input;
    }

    void frame(const InputSnapshot& input, float dt = 0.016f) { updateInteraction(&game, &input, dt); }

    // A press and a release at the same place.
    void click(uint32_t k, Vec3 world) {
        InputSnapshot press = aimAt(k, world, true);
        InputSnapshot release = press;
        release.leftDown = false;
        frame(press);
        frame(release);
    }
};

constexpr Vec3 kLocker = {15, 1.5f, 2};
constexpr Vec3 kRedDoor = {15, -1.5f, 2};
constexpr Vec3 kKey = {14, 0, 1.4f};
constexpr Vec3 kButton3 = {14, 0.5f, 3.0f};
constexpr Vec3 kStar = {14, -0.5f, 3.0f};

} // namespace interaction_scene

using namespace interaction_scene;
