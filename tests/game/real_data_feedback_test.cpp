// The feedback on the real building: each door that needs something says what when
// clicked (and stays shut), the keypad's case and the decor say what they are. The
// kinds of feedback themselves are tested on the hand-built scene (feedback_test.cpp).
#include "tests/game/real_data_support.h"

#include "game/feedback.h"
#include "game/game_state.h"
#include "game/interaction.h"
#include "game/labels.h"
#include "game/picking.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

class RealFeedback : public ::testing::Test {
protected:
    void SetUp() override { startRealGame(&real); }
    void TearDown() override { stopRealGame(&real); }
    GameState* game() { return real.game; }

    Interactable* object(const char* name) {
        for (uint32_t i = 0; i < game()->interactableCount; ++i)
            if (strcmp(game()->interactables[i].name, name) == 0) return &game()->interactables[i];
        return nullptr;
    }
    Entity* entity(const char* name) {
        for (uint32_t i = 0; i < game()->entityCount; ++i)
            if (strcmp(game()->entities[i].name, name) == 0) return &game()->entities[i];
        return nullptr;
    }
    uint32_t camera(const char* name) {
        for (uint32_t i = 0; i < game()->cameraCount; ++i)
            if (strcmp(game()->cameras[i].name, name) == 0) return i;
        ADD_FAILURE() << "no camera " << name;
        return 0;
    }

    bool hoveredAt(uint32_t k, const int32_t* monitorIndex, int32_t x, int32_t y, InputSnapshot* at) {
        if (x < 8 || x > 1272 || y < 140 || y > 712) return false;
        InputSnapshot input = {};
        input.cursorX = x;
        input.cursorY = y;
        playFrame(&real, input, 0.0f);
        if (*monitorIndex != static_cast<int32_t>(k)) return false;
        *at = input;
        return true;
    }

    // A window position where monitor k shows the thing (the game marks it hovered
    // there): the middle of where it shows, else the monitor's picture point by point.
    bool aim(uint32_t k, const int32_t* monitorIndex, InputSnapshot* at) {
        PickKind kind = PICK_NONE;
        uint32_t index = 0;
        for (uint32_t i = 0; i < game()->interactableCount; ++i)
            if (&game()->interactables[i].monitorIndex == monitorIndex) kind = PICK_INTERACTABLE, index = i;
        for (uint32_t i = 0; i < game()->entityCount; ++i)
            if (&game()->entities[i].monitorIndex == monitorIndex) kind = PICK_ENTITY, index = i;
        LabelBox box;
        if (kind != PICK_NONE && thingOnScreen(game(), k, kind, index, &box) &&
            hoveredAt(k, monitorIndex, static_cast<int32_t>(box.x + box.width / 2),
                      static_cast<int32_t>(box.y + box.height / 2), at))
            return true;
        for (int j = 1; j < 27; ++j)
            for (int i = 1; i < 48; ++i) {
                InputSnapshot input = {};
                if (panelToCursor(game(), &game()->monitors[k].panel, i / 48.0f, j / 27.0f, &input.cursorX,
                                  &input.cursorY) &&
                    hoveredAt(k, monitorIndex, input.cursorX, input.cursorY, at))
                    return true;
            }
        return false;
    }

    void click(const InputSnapshot& at) {
        InputSnapshot press = at;
        press.leftDown = true;
        playFrame(&real, at);
        playFrame(&real, press);
        playFrame(&real, at);
    }

    void clickThing(uint32_t k, const int32_t* monitorIndex, const char* what) {
        InputSnapshot at;
        ASSERT_TRUE(aim(k, monitorIndex, &at)) << what << " shows nowhere on monitor " << k;
        click(at);
    }

    const char* shown() {
        int32_t id = currentFeedback(game());
        return id < 0 ? nullptr : languageText(&game()->language, id);
    }

    RealGame real;
};

TEST_F(RealFeedback, ClickingAnObjectThatNeedsAnItemSaysWhatItNeedsAndItStaysShut) {
    Interactable* red = object("redDoor");
    ASSERT_NE(red, nullptr);
    clickThing(0, &red->monitorIndex, "the red door");
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_NEEDS_KEY);
    ASSERT_NE(shown(), nullptr);
    EXPECT_FALSE(red->done);

    Interactable* exit = object("exitDoor");
    clickThing(2, &exit->monitorIndex, "the exit door");
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_NEEDS_CODE);
    EXPECT_FALSE(exit->done);

    // The jammed shutter from the east corridor's camera, the office door from the
    // warehouse's through the raised shutter.
    Interactable* shutter = object("warehouseDoor");
    game()->monitors[0].camera = camera("CAM 6");
    clickThing(0, &shutter->monitorIndex, "the shutter");
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_JAMMED);
    EXPECT_FALSE(shutter->done);
    setInteractableOpen(shutter, true);
    Interactable* office = object("deskDoor");
    game()->monitors[0].camera = camera("CAM 7");
    clickThing(0, &office->monitorIndex, "the office door");
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_NEEDS_CARD);
    EXPECT_FALSE(office->done);
}

TEST_F(RealFeedback, TheKeypadsCaseAndTheDecorSayWhatTheyAre) {
    clickThing(2, &entity("DigicodeCase")->monitorIndex, "the keypad's case");
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_USE_DIGITS);
    clickThing(2, &entity("DigicodeButtonStar")->monitorIndex, "the star key");
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_USE_DIGITS);

    // The hall's plants from the hall camera.
    bool found = false;
    for (uint32_t i = 0; i < game()->worldCount && !found; ++i) {
        Entity* e = game()->world[i];
        InputSnapshot at;
        if (strcmp(e->name, "plant") != 0 || !aim(1, &e->monitorIndex, &at)) continue;
        click(at);
        found = true;
    }
    ASSERT_TRUE(found) << "no plant on the hall camera";
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_SCENERY);
}

// Each object of the building that needs an item has words of its own.
TEST_F(RealFeedback, EveryObjectThatNeedsAnItemHasItsOwnWords) {
    int needing = 0;
    for (uint32_t i = 0; i < game()->interactableCount; ++i) {
        const Interactable* it = &game()->interactables[i];
        if (!it->openingItem[0]) continue;
        ++needing;
        int32_t id = lockedFeedbackFor(it->name);
        EXPECT_NE(id, TEXT_ID_LOCKED) << it->name;
        EXPECT_NE(languageText(&game()->language, id), nullptr) << it->name;
    }
    EXPECT_EQ(needing, 4);
}

} // namespace
