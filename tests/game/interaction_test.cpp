// The puzzle rules on a small hand-built scene (tests/game/interaction_scene.h).
#include "tests/game/interaction_scene.h"

namespace {

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

// A press and release, or a key's down and up, that both fell between two updates: the
// window procedure latched the press and the snapshot takes it once.
TEST(Interaction, APressLatchedBetweenUpdatesActsInOneSnapshotOnly) {
    Scene s;
    gInput = InputManager{};
    InputSnapshot aim = s.aimAt(0, kLocker);
    gInput.cursorX = aim.cursorX;
    gInput.cursorY = aim.cursorY;
    gInput.leftPressed = 1;
    gInput.keyPressed[VIRTUAL_KEY_ESCAPE] = 0;
    InputSnapshot first = takeInputSnapshot();
    EXPECT_TRUE(first.leftDown);
    s.frame(first);
    EXPECT_TRUE(s.game.interactables[0].done);
    InputSnapshot second = takeInputSnapshot();
    EXPECT_FALSE(second.leftDown);
    s.frame(second);
    EXPECT_TRUE(s.game.interactables[0].done);

    gInput.keyPressed[VIRTUAL_KEY_ESCAPE] = 1;
    gInput.keyPressed[VIRTUAL_KEY_RIGHT] = 1;
    InputSnapshot tapped = takeInputSnapshot();
    EXPECT_TRUE(tapped.escapeDown);
    EXPECT_TRUE(tapped.rightKeyDown);
    EXPECT_EQ(tapped.arrowAxis, 1);
    InputSnapshot after = takeInputSnapshot();
    EXPECT_FALSE(after.escapeDown);
    EXPECT_FALSE(after.rightKeyDown);
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

TEST(Interaction, ArrowKeysCycleTheReachedCamerasOncePerPressAndLeftWins) {
#ifdef _WIN32
    GTEST_SKIP() << "the simulated keyboard exists in native builds only";
#else
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
#endif
}

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
