#include "engine/program/input_manager.h"

#include <gtest/gtest.h>

TEST(CursorMapping, ScalesToRenderPixelsFromTheBottomLeft) {
    int32_t x = -1, y = -1;
    mapCursorToRenderPixels(320, 180, 0, 0, 640, 360, 1280, 720, &x, &y);
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 360);
    mapCursorToRenderPixels(0, 0, 0, 0, 640, 360, 1280, 720, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 720);
    mapCursorToRenderPixels(639, 359, 0, 0, 640, 360, 1280, 720, &x, &y);
    EXPECT_EQ(x, 1278);
    EXPECT_EQ(y, 2);
}

TEST(CursorMapping, SameSizeIsIdentityAndZeroSizeChangesNothing) {
    int32_t x = 0, y = 0;
    mapCursorToRenderPixels(100, 700, 0, 0, 1280, 720, 1280, 720, &x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 20);
    x = 7, y = 9;
    mapCursorToRenderPixels(10, 10, 0, 0, 0, 0, 1280, 720, &x, &y);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 9);
}

TEST(CharacterQueue, SkipsBackspaceAndKeepsTheFirst1024) {
    static InputManager input; // large: keep it off the stack
    input = InputManager{};
    queueInputCharacter(&input, 'a');
    queueInputCharacter(&input, 8);
    queueInputCharacter(&input, 0);
    queueInputCharacter(&input, 0x10000);
    queueInputCharacter(&input, 0xE9);
    ASSERT_EQ(input.characterCount, 2u);
    EXPECT_EQ(input.characters[0], 'a');
    EXPECT_EQ(input.characters[1], 0xE9);
    for (int i = 0; i < 2000; ++i) queueInputCharacter(&input, 'z');
    EXPECT_EQ(input.characterCount, 1024u);
    EXPECT_EQ(input.characters[1023], 'z');
}

TEST(PressLatches, AButtonIsSeenDownWhileHeldOrOnceAfterAPress) {
    uint8_t pressed = 1;
    EXPECT_TRUE(takeButtonState(0, &pressed)); // pressed and released since the last look
    EXPECT_EQ(pressed, 0);
    EXPECT_FALSE(takeButtonState(0, &pressed));
    EXPECT_TRUE(takeButtonState(1, &pressed)); // held
    EXPECT_TRUE(takeButtonState(1, &pressed));

    static InputManager input;
    input = InputManager{};
    input.keyPressed[0x1B] = 1;
    EXPECT_TRUE(takeKeyPress(&input, 0x1B));
    EXPECT_FALSE(takeKeyPress(&input, 0x1B));
    EXPECT_FALSE(takeKeyPress(&input, -1));
    EXPECT_FALSE(takeKeyPress(&input, 256));
}
