// The puzzle rules on a small hand-built scene: two cameras in a corridor, a locker
// that opens by click, a door that needs a key, a key to take, and keypad buttons.
#include "game/game.h"
#include "game/interaction.h"
#include "game/picking.h"
#include "game/scene_files.h"
#include "game/scene_layout.h"

#include "app/program_state.h"
#include "engine/platform/keyboard.h"
#include "tests/support/recording_renderer.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

namespace {

// A vertical square facing -x, centred at (x, y, z) with half-size h, in format 0.
void buildWall(Mesh* mesh, float x, float y, float z, float h) {
    *mesh = Mesh{};
    mesh->vertexFormat = 0;
    const float corners[4][2] = {{-h, -h}, {-h, h}, {h, -h}, {h, h}};
    for (const auto& c : corners) appendVertexPosition(mesh, x, y + c[0], z + c[1]);
    setMeshIndexCount(mesh, 6);
    const uint32_t indices[6] = {0, 2, 1, 1, 2, 3};
    memcpy(mesh->indices, indices, sizeof(indices));
}

char* copyText(const char* text) {
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

const Vec3 kLocker = {15, 1.5f, 2};
const Vec3 kRedDoor = {15, -1.5f, 2};
const Vec3 kKey = {14, 0, 1.4f};
const Vec3 kButton3 = {14, 0.5f, 3.0f};
const Vec3 kStar = {14, -0.5f, 3.0f};

TEST(Interaction, HoveringThroughAMonitorMarksOnlyThatMonitor) {
    Scene s;
    // Monitor 1 also shows camera... no: with two cameras monitor 1 shows camera 1.
    s.frame(s.aimAt(0, kLocker));
    EXPECT_EQ(s.game.interactables[0].monitorIndex, 0);
    EXPECT_EQ(s.game.interactables[1].monitorIndex, NO_MONITOR);
    // Monitors 2 and 3 fall back on camera 0: the same locker hit through monitor 2.
    EXPECT_EQ(s.game.monitors[2].camera, 0u);
    EXPECT_EQ(s.game.monitors[3].camera, 0u);
    s.frame(s.aimAt(2, kLocker));
    EXPECT_EQ(s.game.interactables[0].monitorIndex, 2);
}

TEST(Interaction, ClickTogglesAnObjectThatNeedsNoItem) {
    Scene s;
    s.click(0, kLocker);
    EXPECT_TRUE(s.game.interactables[0].done);
    EXPECT_FLOAT_EQ(s.game.interactables[0].position.z, 1.0f);
    // Opened, the locker has moved up by its offset; click it where it is now.
    s.click(0, Vec3{15, 1.5f, 3});
    EXPECT_FALSE(s.game.interactables[0].done);
    EXPECT_FLOAT_EQ(s.game.interactables[0].position.z, 0.0f);
}

TEST(Interaction, HoldingTheButtonTogglesOnce) {
    Scene s;
    for (int i = 0; i < 5; ++i) s.frame(s.aimAt(0, kLocker, true));
    EXPECT_TRUE(s.game.interactables[0].done);
}

TEST(Interaction, ObjectsThatNeedAnItemIgnoreClicks) {
    Scene s;
    s.click(0, kRedDoor);
    EXPECT_FALSE(s.game.interactables[1].done);
    s.click(3, Vec3{30, 0, 2}); // the exit door is keypad-only
    EXPECT_FALSE(s.game.interactables[2].done);
}

// Drags inventory slot 0 onto a world point seen through monitor k.
void dragFirstItemTo(Scene& s, uint32_t k, Vec3 target) {
    InputSnapshot press = {};
    press.cursorX = 40;
    press.cursorY = 60;
    press.leftDown = true;
    s.frame(press);
    ASSERT_NE(s.game.heldItem, nullptr);
    InputSnapshot move = s.aimAt(k, target, true);
    s.frame(move);
    InputSnapshot release = s.aimAt(k, target, false);
    s.frame(release);
    EXPECT_EQ(s.game.heldItem, nullptr);
}

TEST(Interaction, TakeAKeyAndOpenTheDoorWithIt) {
    Scene s;
    s.frame(s.aimAt(0, kKey, true));
    ASSERT_EQ(s.game.inventoryCount, 1u);
    EXPECT_STREQ(s.game.inventory[0]->name, "redKey");
    EXPECT_EQ(s.game.worldCount, 2u);
    // The press that took the key does not go on to type the keypad digit behind it.
    EXPECT_EQ(s.game.typedCount, 0u);
    s.frame(s.aimAt(0, kKey, false));

    // Dropped on the wrong object, the key comes back to the inventory.
    dragFirstItemTo(s, 0, kLocker);
    EXPECT_EQ(s.game.inventoryCount, 1u);
    EXPECT_FALSE(s.game.interactables[0].done);

    dragFirstItemTo(s, 0, kRedDoor);
    EXPECT_TRUE(s.game.interactables[1].done);
    EXPECT_EQ(s.game.inventoryCount, 0u);
}

TEST(Interaction, KeypadCode) {
    Scene s;
    // Pressing 3 four times: a wrong code clears the digits and opens nothing.
    for (int i = 0; i < 3; ++i) s.click(0, kButton3);
    EXPECT_EQ(s.game.typedCount, 3u);
    s.click(0, kStar); // star adds no digit
    EXPECT_EQ(s.game.typedCount, 3u);
    s.click(0, kButton3);
    EXPECT_EQ(s.game.typedCount, 0u);
    EXPECT_FALSE(s.game.interactables[2].done);
    EXPECT_FALSE(s.game.interactables[0].done);

    pressKeypadButton(&s.game, 20); // 3
    pressKeypadButton(&s.game, 25); // 8
    pressKeypadButton(&s.game, 22); // 5
    pressKeypadButton(&s.game, 26); // 9
    EXPECT_TRUE(s.game.interactables[2].done);
    EXPECT_FLOAT_EQ(s.game.interactables[2].position.z, 5.0f);
    // Typing it again leaves the open door where it is.
    for (int32_t id : {20, 25, 22, 26}) pressKeypadButton(&s.game, id);
    EXPECT_FLOAT_EQ(s.game.interactables[2].position.z, 5.0f);
}

TEST(Interaction, ClickingACameraModelSwitchesTheMonitorAndArrowsCycle) {
    Scene s;
    // Monitor 2 shows camera 0, in whose view camera 1 hangs.
    s.click(2, s.game.cameras[1].position);
    EXPECT_EQ(s.game.monitors[2].camera, 1u);
    ASSERT_EQ(s.game.monitors[2].reachableCount, 2u);
    EXPECT_EQ(s.game.monitors[2].reachable[1], 1u);

    // With the cursor on monitor 2, Left goes back to camera 0, once per press.
    InputSnapshot left = {};
    float u = 0.5f, v = 0.5f;
    ASSERT_TRUE(panelToCursor(&s.game, &s.game.monitors[2].panel, u, v, &left.cursorX, &left.cursorY));
    left.leftKeyDown = true;
    left.arrowAxis = -1;
    s.frame(left);
    EXPECT_EQ(s.game.monitors[2].camera, 0u);
    s.frame(left);
    EXPECT_EQ(s.game.monitors[2].camera, 0u);
    InputSnapshot released = left;
    released.leftKeyDown = false;
    released.arrowAxis = 0;
    s.frame(released);
    s.frame(left);
    EXPECT_EQ(s.game.monitors[2].camera, 1u); // from the first to the last
}

TEST(Interaction, EscapeTogglesThePauseOncePerPress) {
    Scene s;
    InputSnapshot escape = {};
    escape.escapeDown = true;
    for (int i = 0; i < 10; ++i) s.frame(escape);
    EXPECT_TRUE(s.game.paused);
    InputSnapshot none = {};
    s.frame(none);
    EXPECT_TRUE(s.game.paused);
    s.frame(escape);
    EXPECT_FALSE(s.game.paused);
    // Paused, clicks do nothing.
    s.frame(none);
    s.frame(escape);
    ASSERT_TRUE(s.game.paused);
    s.frame(none);
    s.click(0, kLocker);
    EXPECT_FALSE(s.game.interactables[0].done);
}

TEST(Interaction, LookUpStopsAtTheLimitWhileSidewaysStillTurns) {
    Scene s;
    InputSnapshot hold = {};
    hold.rightDown = true;
    hold.cursorX = 640;
    hold.cursorY = 360;
    s.frame(hold);
    for (int i = 0; i < 100; ++i) {
        hold.cursorY += 8; // up
        s.frame(hold);
    }
    float z = s.game.player.forward.z;
    EXPECT_GT(z, 0.8f);
    EXPECT_LE(z, 0.9f);
    Vec3 before = s.game.player.forward;
    hold.cursorY += 20;
    s.frame(hold);
    EXPECT_FLOAT_EQ(s.game.player.forward.z, z);
    hold.cursorX += 20;
    s.frame(hold);
    EXPECT_GT(fabsf(s.game.player.forward.y - before.y) + fabsf(s.game.player.forward.x - before.x), 0.01f);
    EXPECT_LE(s.game.player.forward.z, 0.9f);
    // The backend was asked to keep the cursor in the window while the button was held.
    const RecordedCall* lock = findCall(&s.recorder, "lockMouseInsideRendererWindow");
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->integers.at(0), 1u);
}

TEST(Interaction, HintsAdvanceWhenTheirTimerRunsOut) {
    Scene s;
    s.frame(s.aimAt(0, Vec3{20, 3, 2.2f})); // any point of a monitor
    EXPECT_FLOAT_EQ(s.game.hintTimer, 2.0f);
    InputSnapshot none = {};
    s.frame(none, 1.0f);
    EXPECT_EQ(s.game.hintStep, 0);
    s.frame(none, 1.5f);
    EXPECT_EQ(s.game.hintStep, 1);
    EXPECT_FLOAT_EQ(s.game.hintTimer, 0.0f);
    // Step 3 with an item in the inventory skips step 4.
    s.game.hintStep = 3;
    s.frame(s.aimAt(0, kKey, true));
    ASSERT_EQ(s.game.inventoryCount, 1u);
    s.game.hintTimer = 0.1f;
    s.frame(none, 0.2f);
    EXPECT_EQ(s.game.hintStep, 5);
}

TEST(Interaction, TheEndComesWhenEveryRequiredObjectIsDone) {
    Scene s;
    InputSnapshot none = {};
    s.frame(none);
    EXPECT_FALSE(s.game.endReached);
    setInteractableOpen(&s.game.interactables[1], true);
    setInteractableOpen(&s.game.interactables[2], true);
    s.frame(none);
    EXPECT_TRUE(s.game.endReached);
}

} // namespace
