// The puzzle rules on a small hand-built scene: two cameras in a corridor, a locker
// that opens by click, a door that needs a key, a key to take, and keypad buttons.
#include "game/game.h"
#include "game/interaction.h"
#include "game/nearest_pick.h"
#include "game/picking.h"
#include "game/scene_files.h"
#include "game/scene_layout.h"

#include "engine/assets/dyn_array.h"
#include "engine/program/input_manager.h"
#include "engine/program/program_state.h"
#include "engine/platform/keyboard.h"
#include "engine/text/gui.h"
#include "engine/text/gui_widget.h"
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
        game.worldCount = 3;
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
        EXPECT_TRUE(reallocateElements(&game.interactables, n, n + 1)); // the new one zeroed
        makeInteractable(&game.interactables[n], name, item, required, offset, x, y, z);
        game.interactableCount = n + 1;
        return &game.interactables[n];
    }

    uint32_t addCamera(const char* name, Vec3 position, Vec3 direction) {
        uint32_t n = game.cameraCount;
        EXPECT_TRUE(reallocateElements(&game.cameras, n, n + 1));
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

const Vec3 kLocker = {15, 1.5f, 2};
const Vec3 kRedDoor = {15, -1.5f, 2};
const Vec3 kKey = {14, 0, 1.4f};
const Vec3 kButton3 = {14, 0.5f, 3.0f};
const Vec3 kStar = {14, -0.5f, 3.0f};

TEST(Interaction, HoveringThroughAMonitorMarksOnlyThatMonitor) {
    Scene s;
    // The locker seen on monitor 0 (camera 0) is marked with that monitor, and nothing else is.
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
    // Paused, clicks do nothing, but the play clock runs on.
    s.frame(none);
    s.frame(escape);
    ASSERT_TRUE(s.game.paused);
    s.frame(none);
    s.click(0, kLocker);
    EXPECT_FALSE(s.game.interactables[0].done);
    float before = s.game.playTime;
    s.frame(none, 0.5f);
    EXPECT_FLOAT_EQ(s.game.playTime, before + 0.5f);
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

// Picking: a click through a monitor reaches the one nearest thing, and only that.

TEST(Interaction, AClickOnAnItemInFrontOfAnObjectTakesOnlyTheItem) {
    Scene s;
    const Vec3 inFrontOfLocker = {14.5f, 1.5f, 2};
    s.game.entities[0].world.translation = inFrontOfLocker;
    s.frame(s.aimAt(0, inFrontOfLocker));
    EXPECT_EQ(s.game.entities[0].monitorIndex, 0);
    EXPECT_EQ(s.game.interactables[0].monitorIndex, NO_MONITOR);
    // Pressed, then held a frame longer: the locker behind the key stays closed.
    s.frame(s.aimAt(0, inFrontOfLocker, true));
    s.frame(s.aimAt(0, inFrontOfLocker, true));
    ASSERT_EQ(s.game.inventoryCount, 1u);
    EXPECT_STREQ(s.game.inventory[0]->name, "redKey");
    EXPECT_FALSE(s.game.interactables[0].done);
    // With the key gone, the same point reaches the locker.
    s.frame(s.aimAt(0, inFrontOfLocker));
    EXPECT_EQ(s.game.interactables[0].monitorIndex, 0);
}

TEST(Interaction, OnlyTheNearestOfOverlappingObjectsIsMarkedAndActs) {
    {
        // The red door moved in front of the locker, which comes first in the list.
        Scene s;
        s.game.interactables[1].position = Vec3{-1, 3, 0};
        s.frame(s.aimAt(0, kLocker));
        EXPECT_EQ(s.game.interactables[1].monitorIndex, 0);
        EXPECT_EQ(s.game.interactables[0].monitorIndex, NO_MONITOR);
        // The click reaches the door, which needs a key: the locker behind it stays closed.
        s.click(0, kLocker);
        EXPECT_FALSE(s.game.interactables[0].done);
        EXPECT_FALSE(s.game.interactables[1].done);
    }
    {
        // Of two objects at the very same depth, the first in the list is the one hit.
        Scene s;
        s.addInteractable("lockerTwin", "", false, Vec3{0, 0, 1}, 15, 1.5f, 2);
        s.frame(s.aimAt(0, kLocker));
        EXPECT_EQ(s.game.interactables[0].monitorIndex, 0);
        EXPECT_EQ(s.game.interactables[3].monitorIndex, NO_MONITOR);
    }
    {
        // A thing later in the scan but farther away loses: the key behind the locker.
        Scene s;
        s.game.entities[0].world.translation = Vec3{15.5f, 1.5f, 2};
        s.frame(s.aimAt(0, kLocker));
        EXPECT_EQ(s.game.interactables[0].monitorIndex, 0);
        EXPECT_EQ(s.game.entities[0].monitorIndex, NO_MONITOR);
        s.click(0, kLocker);
        EXPECT_TRUE(s.game.interactables[0].done);
        EXPECT_EQ(s.game.inventoryCount, 0u);
    }
}

TEST(Interaction, ALevelWallHidesWhatLiesBehindItButNotWhatIsInFront) {
    Scene s;
    s.addLevelWall(13, 0, 1.4f, 0.3f);        // between camera 0 and the key
    s.addLevelWall(16, -0.375f, 2.9f, 0.3f);  // between camera 0 and camera 1's model
    s.addLevelWall(16, 1.5f, 2, 1);           // behind the locker
    s.frame(s.aimAt(0, kKey));
    EXPECT_EQ(s.game.entities[0].monitorIndex, NO_MONITOR);
    s.click(0, kKey);
    EXPECT_EQ(s.game.inventoryCount, 0u);
    EXPECT_EQ(s.game.worldCount, 3u);

    s.click(2, s.game.cameras[1].position);
    EXPECT_EQ(s.game.cameras[1].monitorIndex, NO_MONITOR);
    EXPECT_EQ(s.game.monitors[2].camera, 0u);
    EXPECT_EQ(s.game.monitors[2].reachableCount, 1u);

    s.frame(s.aimAt(0, kLocker));
    EXPECT_EQ(s.game.interactables[0].monitorIndex, 0);
    s.click(0, kLocker);
    EXPECT_TRUE(s.game.interactables[0].done);
}

TEST(Interaction, AnItemDroppedOnAnObjectThatNeedsAnotherReturnsToTheInventory) {
    Scene s;
    s.frame(s.aimAt(0, kKey, true));
    s.frame(s.aimAt(0, kKey, false));
    ASSERT_EQ(s.game.inventoryCount, 1u);
    dragFirstItemTo(s, 3, Vec3{30, 0, 2}); // the exit door opens with the keypad code only
    EXPECT_FALSE(s.game.interactables[2].done);
    EXPECT_FLOAT_EQ(s.game.interactables[2].position.z, 0.0f);
    ASSERT_EQ(s.game.inventoryCount, 1u);
    EXPECT_STREQ(s.game.inventory[0]->name, "redKey");
}

TEST(Interaction, TheCodeOpensEveryExitDoorAndAWrongOneNone) {
    Scene s;
    s.addInteractable("exitDoor", "keypadCode", true, Vec3{0, 0, 5}, 30, 3, 2);
    for (int32_t id : {20, 25, 22, 27}) pressKeypadButton(&s.game, id); // 3850
    EXPECT_FALSE(s.game.interactables[2].done);
    EXPECT_FALSE(s.game.interactables[3].done);
    for (int32_t id : {20, 25, 22, 26}) pressKeypadButton(&s.game, id); // 3859
    EXPECT_TRUE(s.game.interactables[2].done);
    EXPECT_TRUE(s.game.interactables[3].done);
    EXPECT_FLOAT_EQ(s.game.interactables[3].position.z, 5.0f);
    EXPECT_FALSE(s.game.interactables[0].done); // only doors named exitDoor
}

// Hints: each timer starts on its own step's action, and the steps end at 7.

TEST(Interaction, HintStepsSkipAndStopWhereTheyShould) {
    Scene s;
    InputSnapshot none = {};
    // Leaving step 3 with an empty inventory goes to step 4.
    s.game.hintStep = 3;
    s.game.hintTimer = 0.1f;
    s.frame(none, 0.2f);
    EXPECT_EQ(s.game.hintStep, 4);
    // Leaving step 4 with no required object done goes to 5; with one done, to 6.
    s.game.hintTimer = 0.1f;
    s.frame(none, 0.2f);
    EXPECT_EQ(s.game.hintStep, 5);
    s.game.hintStep = 4;
    s.game.hintTimer = 0.1f;
    setInteractableOpen(&s.game.interactables[1], true);
    s.frame(none, 0.2f);
    EXPECT_EQ(s.game.hintStep, 6);
    // Step 7 is the last.
    s.game.hintStep = 7;
    s.game.hintTimer = 0.1f;
    s.frame(none, 0.2f);
    EXPECT_EQ(s.game.hintStep, 7);
    EXPECT_FLOAT_EQ(s.game.hintTimer, 0.0f);
}

TEST(Interaction, HintTimersStartOnTheActionOfTheirStep) {
    {
        // Step 2: switching a camera, not merely pointing at its model.
        Scene s;
        s.game.hintStep = 2;
        s.frame(s.aimAt(2, s.game.cameras[1].position));
        EXPECT_FLOAT_EQ(s.game.hintTimer, 0.0f);
        s.frame(s.aimAt(2, s.game.cameras[1].position, true));
        EXPECT_FLOAT_EQ(s.game.hintTimer, 1.0f);
    }
    {
        // Step 5: an item that opens its object; dropped on another one, nothing starts.
        Scene s;
        s.frame(s.aimAt(0, kKey, true));
        s.frame(s.aimAt(0, kKey, false));
        s.game.hintStep = 5;
        s.game.hintTimer = 0.0f;
        dragFirstItemTo(s, 0, kLocker);
        EXPECT_FLOAT_EQ(s.game.hintTimer, 0.0f);
        dragFirstItemTo(s, 0, kRedDoor);
        ASSERT_TRUE(s.game.interactables[1].done);
        EXPECT_FLOAT_EQ(s.game.hintTimer, 0.5f);
    }
    {
        // Step 6: the right button (looking around), not the left one.
        Scene s;
        s.game.hintStep = 6;
        InputSnapshot input = {};
        input.cursorX = 640;
        input.cursorY = 360;
        input.leftDown = true;
        s.frame(input);
        EXPECT_FLOAT_EQ(s.game.hintTimer, 0.0f);
        input.leftDown = false;
        input.rightDown = true;
        s.frame(input);
        EXPECT_FLOAT_EQ(s.game.hintTimer, 1.0f);
    }
}

// The keyboard: arrows through the input snapshot, only while the window has the focus.
// The simulated keyboard exists in native builds only.

#ifndef _WIN32
TEST(Interaction, ArrowKeysCycleTheReachedCamerasOncePerPressAndLeftWins) {
    Scene s;
    s.addCamera("CAM 3", Vec3{20, 5, 3}, Vec3{0, -1, 0});
    Monitor* monitor = &s.game.monitors[2];
    free(monitor->reachable);
    monitor->reachable = static_cast<uint32_t*>(malloc(3 * sizeof(uint32_t)));
    for (uint32_t i = 0; i < 3; ++i) monitor->reachable[i] = i;
    monitor->reachableCount = monitor->reachableCapacity = 3;
    ASSERT_EQ(monitor->camera, 0u);
    ASSERT_TRUE(panelToCursor(&s.game, &monitor->panel, 0.5f, 0.5f, &gInput.cursorX, &gInput.cursorY));

    auto keys = [&](bool left, bool right) {
        setSimulatedKey(VIRTUAL_KEY_LEFT, left);
        setSimulatedKey(VIRTUAL_KEY_RIGHT, right);
        InputSnapshot input = takeInputSnapshot();
        s.frame(input);
        return input;
    };
    keys(false, true);
    EXPECT_EQ(monitor->camera, 1u);
    keys(false, true); // still the same press
    EXPECT_EQ(monitor->camera, 1u);
    keys(false, false);
    InputSnapshot both = keys(true, true);
    EXPECT_EQ(both.arrowAxis, -1);
    EXPECT_EQ(monitor->camera, 0u);
    keys(false, false);
    keys(false, true);
    EXPECT_EQ(monitor->camera, 1u);
    keys(false, false);

    // Out of the foreground, the keys are not seen at all.
    setSimulatedForeground(false);
    setSimulatedKey(VIRTUAL_KEY_ESCAPE, true);
    InputSnapshot away = keys(true, true);
    EXPECT_FALSE(away.leftKeyDown || away.rightKeyDown || away.escapeDown);
    EXPECT_EQ(away.arrowAxis, 0);
    EXPECT_EQ(monitor->camera, 1u);
    EXPECT_FALSE(s.game.paused);

    setSimulatedKey(VIRTUAL_KEY_ESCAPE, false);
    setSimulatedKey(VIRTUAL_KEY_LEFT, false);
    setSimulatedKey(VIRTUAL_KEY_RIGHT, false);
    setSimulatedForeground(true);
    gInput.cursorX = gInput.cursorY = 0;
}
#endif

// Mouse look: the lock, the start of a hold, and which way the view turns.

TEST(Interaction, MouseLookStartsWhereTheHoldStartsTurnsRightAndReleasesTheLock) {
    Scene s;
    Vec3 before = s.game.player.forward;
    s.game.lastMouseX = 0; // left over from an earlier hold
    s.game.lastMouseY = 0;
    InputSnapshot hold = {};
    hold.rightDown = true;
    hold.cursorX = 640;
    hold.cursorY = 360;
    s.frame(hold);
    EXPECT_FLOAT_EQ(s.game.player.forward.x, before.x);
    EXPECT_FLOAT_EQ(s.game.player.forward.y, before.y);
    EXPECT_FLOAT_EQ(s.game.player.forward.z, before.z);

    // 20 pixels to the right turn the view right (clockwise seen from above) by
    // (40 / 1280) / 720 x 30000 degrees.
    hold.cursorX = 660;
    s.frame(hold);
    const float kDegrees = 3.14159265f / 180.0f;
    float turned = atan2f(s.game.player.forward.y, s.game.player.forward.x) - atan2f(before.y, before.x);
    EXPECT_NEAR(turned / kDegrees, -(40.0f / 1280.0f) / 720.0f * 30000.0f, 0.01f);

    InputSnapshot up = hold;
    up.rightDown = false;
    s.frame(up);
    size_t locks = countCalls(&s.recorder, "lockMouseInsideRendererWindow");
    ASSERT_EQ(locks, 3u);
    EXPECT_EQ(findCall(&s.recorder, "lockMouseInsideRendererWindow", 1)->integers.at(0), 1u);
    EXPECT_EQ(findCall(&s.recorder, "lockMouseInsideRendererWindow", 2)->integers.at(0), 0u);
}

TEST(Interaction, TheInventoryBarIs128PixelsHigh) {
    Scene s;
    s.frame(s.aimAt(0, kKey, true));
    s.frame(s.aimAt(0, kKey, false));
    ASSERT_EQ(s.game.inventoryCount, 1u);
    InputSnapshot input = {};
    input.cursorX = 40;
    input.cursorY = 126;
    s.frame(input);
    EXPECT_EQ(s.game.hoveredItem, s.game.inventory[0]);
    input.cursorY = 130;
    s.frame(input);
    EXPECT_EQ(s.game.hoveredItem, nullptr);
    input.cursorX = 100; // the second slot is empty
    input.cursorY = 60;
    s.frame(input);
    EXPECT_EQ(s.game.hoveredItem, nullptr);
}

TEST(Interaction, WithNoRequiredObjectTheEndComesAtOnce) {
    Scene s;
    for (uint32_t i = 0; i < s.game.interactableCount; ++i) s.game.interactables[i].required = false;
    InputSnapshot none = {};
    s.frame(none);
    EXPECT_TRUE(s.game.endReached);
}

// The menu button: pressed and released inside it, it ends the program, but only on the
// pause and end screens.
TEST(Interaction, TheMenuButtonEndsTheProgramOnlyWhilePausedOrEnded) {
    uint8_t running = gRunning;
    auto clickMenu = [](Scene& s) {
        InputSnapshot input = {};
        input.cursorX = 640;
        input.cursorY = 360;
        s.frame(input);
        input.leftDown = true;
        s.frame(input);
        input.leftDown = false;
        s.frame(input);
    };
    {
        Scene s;
        gRunning = 1;
        clickMenu(s);
        EXPECT_EQ(gRunning, 1);
    }
    {
        Scene s;
        s.game.paused = true;
        gRunning = 1;
        clickMenu(s);
        EXPECT_EQ(gRunning, 0);
    }
    {
        Scene s;
        for (uint32_t i = 0; i < s.game.interactableCount; ++i) setInteractableOpen(&s.game.interactables[i], true);
        gRunning = 1;
        clickMenu(s);
        EXPECT_TRUE(s.game.endReached);
        EXPECT_EQ(gRunning, 0);
    }
    gRunning = running;
}

} // namespace
