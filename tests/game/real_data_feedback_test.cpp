// The feedback of the real game: every click and drop that does nothing leaves a text
// at the cursor saying why (and the rules stay as they are), the text fades, and the
// pause screen's line is there.
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

    // Drags inventory slot 0 to the position and lets go there.
    void dropFirstItemAt(const InputSnapshot& at) {
        InputSnapshot slot = {};
        slot.cursorX = 48;
        slot.cursorY = 64;
        playFrame(&real, slot);
        slot.leftDown = true;
        playFrame(&real, slot);
        ASSERT_NE(game()->heldItem, nullptr);
        InputSnapshot carry = at;
        carry.leftDown = true;
        playFrame(&real, carry);
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
    // It fades after a while of play.
    InputSnapshot still = game()->input;
    for (int i = 0; i < 10; ++i) playFrame(&real, still, kFeedbackSeconds / 9.0f);
    EXPECT_EQ(currentFeedback(game()), -1);

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

TEST_F(RealFeedback, AnItemDroppedWhereItOpensNothingSaysSoAndStaysInTheInventory) {
    setInteractableOpen(object("locker3"), true);
    Entity* key = entity("redKey");
    ASSERT_NE(key, nullptr);
    clickThing(3, &key->monitorIndex, "the red key");
    ASSERT_EQ(game()->inventoryCount, 1u);

    InputSnapshot at;
    ASSERT_TRUE(aim(3, &object("vestiaireDoor")->monitorIndex, &at));
    dropFirstItemAt(at);
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_NO_ITEM_NEEDED);
    EXPECT_FALSE(object("vestiaireDoor")->done);

    ASSERT_TRUE(aim(2, &object("exitDoor")->monitorIndex, &at));
    dropFirstItemAt(at);
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_WRONG_ITEM);
    EXPECT_FALSE(object("exitDoor")->done);

    ASSERT_TRUE(aim(2, &entity("DigicodeCase")->monitorIndex, &at));
    dropFirstItemAt(at);
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_NOTHING_TO_OPEN);

    // The open locker the key came from.
    ASSERT_TRUE(aim(3, &object("locker3")->monitorIndex, &at));
    dropFirstItemAt(at);
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_ALREADY_OPEN);
    EXPECT_TRUE(object("locker3")->done);
    EXPECT_EQ(game()->inventoryCount, 1u) << "every refused drop leaves the key in the inventory";
}

TEST_F(RealFeedback, TheKeypadTellsAWrongCodeAndScenerySaysItIsScenery) {
    clickThing(2, &entity("DigicodeCase")->monitorIndex, "the keypad's case");
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_USE_DIGITS);
    clickThing(2, &entity("DigicodeButtonStar")->monitorIndex, "the star key");
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_USE_DIGITS);

    game()->feedback = FeedbackNote{};
    for (const char* digit : {"DigicodeButton1", "DigicodeButton2", "DigicodeButton3"}) {
        clickThing(2, &entity(digit)->monitorIndex, digit);
        EXPECT_EQ(currentFeedback(game()), -1) << "a digit alone says nothing";
    }
    clickThing(2, &entity("DigicodeButton4")->monitorIndex, "4");
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_WRONG_CODE);
    EXPECT_EQ(game()->typedCount, 0u);

    game()->feedback = FeedbackNote{};
    for (const char* digit : {"DigicodeButton3", "DigicodeButton8", "DigicodeButton5", "DigicodeButton9"})
        clickThing(2, &entity(digit)->monitorIndex, digit);
    EXPECT_TRUE(object("exitDoor")->done);
    EXPECT_EQ(currentFeedback(game()), -1) << "the right code is not called wrong";

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

TEST_F(RealFeedback, AnArrowKeyWithOneCameraReachedSaysSo) {
    InputSnapshot on = {};
    ASSERT_TRUE(panelToCursor(game(), &game()->monitors[3].panel, 0.5f, 0.5f, &on.cursorX, &on.cursorY));
    InputSnapshot left = on;
    left.leftKeyDown = true;
    left.arrowAxis = -1;
    playFrame(&real, on);
    playFrame(&real, left);
    EXPECT_EQ(currentFeedback(game()), TEXT_ID_ONE_CAMERA);
}

// Every text the feedback can show, and the pause screen's line, exists in the language
// the game runs in (both language files are checked with the data folder).
TEST_F(RealFeedback, EveryFeedbackTextIsInTheLanguageFile) {
    for (int32_t id = TEXT_ID_FIRST_FEEDBACK; id < TEXT_ID_FEEDBACK_END; ++id) {
        const char* text = languageText(&game()->language, id);
        ASSERT_NE(text, nullptr) << id;
        EXPECT_GT(strlen(text), 3u) << id;
    }
    // Each object of the building that needs an item has words of its own.
    for (uint32_t i = 0; i < game()->interactableCount; ++i) {
        const Interactable* it = &game()->interactables[i];
        if (!it->openingItem[0]) continue;
        EXPECT_NE(lockedFeedbackFor(it->name), TEXT_ID_LOCKED) << it->name;
    }
    EXPECT_EQ(lockedFeedbackFor("somethingElse"), TEXT_ID_LOCKED);
}

} // namespace
