// Label placement on its own: near the cursor, inside the screen, clear of the boxes
// it must keep clear of, and off the thing it names when there is room.
#include "game/labels.h"

#include <gtest/gtest.h>

namespace {

const LabelBox kHint = {630, 100, 620, 100};
const LabelBox kCounter = {100, 650, 300, 60};

bool inside(const LabelBox& b) { return b.x >= 0 && b.y >= 0 && b.x + b.width <= 1280 && b.y + b.height <= 720; }

bool covers(const LabelBox& b, float x, float y) { return x >= b.x && x <= b.x + b.width && y >= b.y && y <= b.y + b.height; }

float distanceToBox(const LabelBox& b, float x, float y) {
    float dx = x < b.x ? b.x - x : x > b.x + b.width ? x - b.x - b.width : 0;
    float dy = y < b.y ? b.y - y : y > b.y + b.height ? y - b.y - b.height : 0;
    return dx > dy ? dx : dy;
}

TEST(LabelBoxes, OverlapIsStrict) {
    LabelBox a = {0, 0, 10, 10}, b = {10, 0, 10, 10}, c = {5, 5, 10, 10};
    EXPECT_FALSE(labelBoxesOverlap(&a, &b)) << "touching edges share nothing";
    EXPECT_TRUE(labelBoxesOverlap(&a, &c));
    EXPECT_FLOAT_EQ(labelOverlapArea(&a, &c), 25.0f);
    EXPECT_FLOAT_EQ(labelOverlapArea(&c, &a), 25.0f);
}

// Over the whole screen, cursor by cursor, a label of the sizes the game draws never
// lands on the hint box or the counter, stays on the screen, keeps off the point under
// the cursor, and stays within reach of it.
TEST(LabelPlacement, NeverOnTheHintBoxOrTheCounterAnywhereOnTheScreen) {
    const LabelBox reserved[2] = {kHint, kCounter};
    const float sizes[][2] = {{120, 30}, {314, 58}, {250, 88}};
    int placedCount = 0;
    for (const auto& size : sizes)
        for (float x = 0; x <= 1280; x += 20)
            for (float y = 0; y <= 720; y += 20) {
                LabelBox placed;
                ASSERT_TRUE(placeLabel(x, y, size[0], size[1], reserved, 2, nullptr, &placed)) << x << ", " << y;
                EXPECT_FALSE(labelBoxesOverlap(&placed, &kHint)) << x << ", " << y;
                EXPECT_FALSE(labelBoxesOverlap(&placed, &kCounter)) << x << ", " << y;
                EXPECT_TRUE(inside(placed)) << x << ", " << y;
                EXPECT_FLOAT_EQ(placed.width, size[0]);
                EXPECT_FLOAT_EQ(placed.height, size[1]);
                bool onScreen = x > 0 && x < 1280 && y > 0 && y < 720;
                if (onScreen) {
                    EXPECT_FALSE(covers(placed, x, y)) << "the label hides the cursor's point " << x << ", " << y;
                }
                EXPECT_LT(distanceToBox(placed, x, y), 260.0f) << x << ", " << y;
                ++placedCount;
            }
    EXPECT_GT(placedCount, 6000);
}

TEST(LabelPlacement, AboveAndRightOfTheCursorWhenNothingIsInTheWay) {
    LabelBox placed;
    ASSERT_TRUE(placeLabel(400, 400, 100, 30, nullptr, 0, nullptr, &placed));
    EXPECT_GT(placed.x, 400);
    EXPECT_GT(placed.y, 400);
    // In the top right corner it cannot: it goes below, on the screen.
    ASSERT_TRUE(placeLabel(1275, 715, 100, 30, nullptr, 0, nullptr, &placed));
    EXPECT_LT(placed.y + placed.height, 715);
    EXPECT_LE(placed.x + placed.width, 1280);
}

// Just under the hint box, the first choice (above right) would cover it: the label
// goes where it stays clear and near.
TEST(LabelPlacement, PushedOutOfTheHintBoxAndTheLabelsAlreadyPlaced) {
    LabelBox keepClear[2] = {kHint, {0, 0, 0, 0}};
    LabelBox first;
    ASSERT_TRUE(placeLabel(900, 95, 200, 30, keepClear, 1, nullptr, &first));
    EXPECT_FALSE(labelBoxesOverlap(&first, &kHint));
    keepClear[1] = first;
    LabelBox second;
    ASSERT_TRUE(placeLabel(900, 95, 200, 30, keepClear, 2, nullptr, &second));
    EXPECT_FALSE(labelBoxesOverlap(&second, &kHint));
    EXPECT_FALSE(labelBoxesOverlap(&second, &first));
}

// The thing a label names stays in view when there is room beside it.
TEST(LabelPlacement, KeepsOffTheNamedThingWhenThereIsRoom) {
    const LabelBox keypad = {500, 300, 160, 220}; // the cursor rests on its middle
    LabelBox placed;
    ASSERT_TRUE(placeLabel(580, 410, 90, 30, nullptr, 0, &keypad, &placed));
    EXPECT_FALSE(labelBoxesOverlap(&placed, &keypad));
    EXPECT_LT(distanceToBox(placed, 580, 410), 200.0f);
    // A thing that fills the screen cannot be avoided: the label still goes near the cursor.
    const LabelBox wall = {0, 0, 1280, 720};
    ASSERT_TRUE(placeLabel(580, 410, 90, 30, nullptr, 0, &wall, &placed));
    EXPECT_LT(distanceToBox(placed, 580, 410), 40.0f);
}

// A small thing keeps what lies around it in view too: the keys beside a key.
TEST(LabelPlacement, KeepsTheNeighboursOfASmallThingInView) {
    const LabelBox key = {600, 400, 24, 20};
    const LabelBox keysAround = {576, 380, 72, 60};
    LabelBox placed;
    ASSERT_TRUE(placeLabel(612, 410, 30, 26, nullptr, 0, &key, &placed));
    EXPECT_FALSE(labelBoxesOverlap(&placed, &keysAround)) << placed.x << ", " << placed.y;
    EXPECT_LT(distanceToBox(placed, 612, 410), 120.0f);
}

TEST(LabelPlacement, ReportsWhenNoPlaceIsClear) {
    const LabelBox everything = {0, 0, 1280, 720};
    LabelBox placed;
    EXPECT_FALSE(placeLabel(640, 360, 100, 30, &everything, 1, nullptr, &placed));
    EXPECT_TRUE(inside(placed));
}

} // namespace
