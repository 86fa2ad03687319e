// The feedback of refused actions on the small hand-built scene: which text each kind
// of refusal leaves, that a successful action leaves none, and that the text fades.
#include "tests/game/interaction_scene.h"

#include "game/feedback.h"

namespace {

const Vec3 kExit = {30, 0, 2};
const Vec3 kNothing = {40, 15, 2}; // open space left of everything in the corridor

// Drags inventory slot 0 onto a world point seen through monitor k and lets go.
void dropFirstItem(Scene& s, uint32_t k, Vec3 target) {
    InputSnapshot press = {};
    press.cursorX = 40;
    press.cursorY = 60;
    press.leftDown = true;
    s.frame(press);
    ASSERT_NE(s.game.heldItem, nullptr);
    s.frame(s.aimAt(k, target, true));
    s.frame(s.aimAt(k, target, false));
}

TEST(Feedback, AClickOnWhatNeedsAnItemSaysWhatItNeeds) {
    Scene s;
    EXPECT_EQ(currentFeedback(&s.game), -1);
    s.click(0, kRedDoor);
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_NEEDS_KEY);
    EXPECT_FALSE(s.game.interactables[1].done);
    s.click(0, kExit);
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_NEEDS_CODE);
    s.addInteractable("safe", "combination", false, Vec3{0, 0, 5}, 15, 0, 4);
    s.click(0, Vec3{15, 0, 4});
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_LOCKED) << "an object of no table entry is simply locked";
    // A click that opens something says nothing new.
    s.game.feedback = FeedbackNote{};
    s.click(0, kLocker);
    EXPECT_TRUE(s.game.interactables[0].done);
    EXPECT_EQ(currentFeedback(&s.game), -1);
}

TEST(Feedback, TheTextFadesWithPlayTime) {
    Scene s;
    s.click(0, kRedDoor);
    InputSnapshot none = {};
    s.frame(none, kFeedbackSeconds * 0.9f);
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_NEEDS_KEY);
    s.frame(none, kFeedbackSeconds * 0.2f);
    EXPECT_EQ(currentFeedback(&s.game), -1);
}

TEST(Feedback, AnItemDroppedWhereItOpensNothingSaysWhyAndComesBack) {
    Scene s;
    s.frame(s.aimAt(0, kKey, true));
    s.frame(s.aimAt(0, kKey, false));
    ASSERT_EQ(s.game.inventoryCount, 1u);

    dropFirstItem(s, 0, kLocker);
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_NO_ITEM_NEEDED);
    dropFirstItem(s, 0, kExit);
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_WRONG_ITEM);
    dropFirstItem(s, 0, kStar);
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_NOTHING_TO_OPEN);
    dropFirstItem(s, 0, kNothing);
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_NOTHING_TO_OPEN);
    s.click(0, kLocker); // open now
    dropFirstItem(s, 0, Vec3{15, 1.5f, 3});
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_ALREADY_OPEN);
    EXPECT_EQ(s.game.inventoryCount, 1u);

    // The key on its door opens it and says nothing.
    s.game.feedback = FeedbackNote{};
    dropFirstItem(s, 0, kRedDoor);
    EXPECT_TRUE(s.game.interactables[1].done);
    EXPECT_EQ(s.game.inventoryCount, 0u);
    EXPECT_EQ(currentFeedback(&s.game), -1);
}

TEST(Feedback, TheKeypadTellsAWrongCodeButNotTheRightOne) {
    Scene s;
    s.click(0, kStar);
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_USE_DIGITS);
    s.game.feedback = FeedbackNote{};
    for (int i = 0; i < 3; ++i) {
        s.click(0, kButton3);
        EXPECT_EQ(currentFeedback(&s.game), -1) << "digit " << i + 1;
    }
    s.click(0, kButton3);
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_WRONG_CODE);
    EXPECT_EQ(s.game.typedCount, 0u);
    EXPECT_FALSE(s.game.interactables[2].done);

    memcpy(s.game.keypadCode, "3333", 4);
    s.game.feedback = FeedbackNote{};
    for (int i = 0; i < 4; ++i) s.click(0, kButton3);
    EXPECT_TRUE(s.game.interactables[2].done);
    EXPECT_EQ(currentFeedback(&s.game), -1);
}

TEST(Feedback, AnEntityThatIsNeitherItemNorKeySaysItIsScenery) {
    Scene s;
    // The key's place holds a crate instead.
    Entity* crate = &s.game.entities[0];
    releaseMesh(&crate->mesh);
    free(crate->name);
    s.makeEntity(crate, "crate", 48, false, kKey);
    s.click(0, kKey);
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_SCENERY);
    EXPECT_EQ(s.game.inventoryCount, 0u);
}

TEST(Feedback, AnArrowKeyWithOneCameraReachedSaysSo) {
    Scene s;
    InputSnapshot left = s.aimAt(2, kLocker);
    left.leftKeyDown = true;
    left.arrowAxis = -1;
    s.frame(left);
    EXPECT_EQ(currentFeedback(&s.game), TEXT_ID_ONE_CAMERA);
    EXPECT_EQ(s.game.monitors[2].camera, 0u);

    // With a second camera reached the arrow switches and says nothing.
    s.game.feedback = FeedbackNote{};
    s.frame(InputSnapshot{});
    s.click(2, s.game.cameras[1].position);
    ASSERT_EQ(s.game.monitors[2].reachableCount, 2u);
    InputSnapshot right = {};
    float u = 0.5f, v = 0.5f;
    ASSERT_TRUE(panelToCursor(&s.game, &s.game.monitors[2].panel, u, v, &right.cursorX, &right.cursorY));
    right.rightKeyDown = true;
    right.arrowAxis = 1;
    s.frame(right);
    EXPECT_EQ(s.game.monitors[2].camera, 0u);
    EXPECT_EQ(currentFeedback(&s.game), -1);
}

} // namespace
