// The labels of the real game, frame by frame through the solver's plan for the design
// chain: at every cursor position the plan uses, on every monitor it uses, the names
// and the feedback at the cursor keep off the hint box, the counter, the typed digits,
// the note and the inventory bar, off each other, off the point under the cursor and
// off the thing they name, and stay on the screen.
#include "tests/game/real_data_support.h"

#include "game/feedback.h"
#include "game/game_state.h"
#include "game/labels.h"
#include "game/rendering.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Checked {
    int frames = 0;
    int labels = 0;
    int things = 0;
    int withHintBox = 0;
    std::vector<std::string> faults;
};

Checked gChecked;
std::string gLine;

std::string describe(const LabelBox& b) {
    char text[96];
    snprintf(text, sizeof(text), "(%.0f, %.0f, %.0f x %.0f)", b.x, b.y, b.width, b.height);
    return text;
}

void fault(const std::string& what) {
    if (gChecked.faults.size() < 20) gChecked.faults.push_back(gLine + ": " + what);
}

void checkLayout(GameState* game, const LabelLayout& layout) {
    float cx = cursorDesignX(game), cy = cursorDesignY(game);
    for (uint32_t i = 0; i < layout.reservedCount; ++i)
        if (layout.reserved[i].x == 630 && layout.reserved[i].y == 100) ++gChecked.withHintBox;
    for (uint32_t i = 0; i < layout.count; ++i) {
        const PlacedLabel& label = layout.labels[i];
        const LabelBox& p = label.panel;
        ++gChecked.labels;
        if (p.x < 0 || p.y < 0 || p.x + p.width > 1280 || p.y + p.height > 720)
            fault(std::string(label.text) + " leaves the screen at " + describe(p));
        for (uint32_t r = 0; r < layout.reservedCount; ++r)
            if (labelBoxesOverlap(&p, &layout.reserved[r]))
                fault(std::string(label.text) + " " + describe(p) + " covers the reserved box " +
                      describe(layout.reserved[r]));
        for (uint32_t j = 0; j < i; ++j)
            if (labelBoxesOverlap(&p, &layout.labels[j].panel))
                fault(std::string(label.text) + " covers " + layout.labels[j].text);
        bool onScreen = cx > 0 && cx < 1280 && cy > 0 && cy < 720;
        if (onScreen && cx >= p.x && cx <= p.x + p.width && cy >= p.y && cy <= p.y + p.height)
            fault(std::string(label.text) + " hides the point under the cursor");
        if (label.namesThing && label.kind == LABEL_OBJECT) {
            ++gChecked.things;
            // The thing is under the cursor: where it shows takes the cursor in.
            const LabelBox& t = label.thing;
            if (cx < t.x - 2 || cx > t.x + t.width + 2 || cy < t.y - 2 || cy > t.y + t.height + 2)
                fault(std::string(label.text) + ": the cursor is outside where it shows " + describe(t));
            if (labelBoxesOverlap(&p, &t)) fault(std::string(label.text) + " covers the thing it names " + describe(t));
        }
    }
}

void checkFrame(RealGame* real) {
    GameState* game = real->game;
    ++gChecked.frames;
    LabelLayout layout;
    layOutLabels(game, &layout);
    checkLayout(game, layout);

    // The same cursor with everything at once: the hint box up, the longest feedback
    // showing and the last item taken hovered.
    int32_t step = game->hintStep;
    FeedbackNote note = game->feedback;
    Entity* hovered = game->hoveredItem;
    if (game->hintStep >= HINT_FINAL_STEP) game->hintStep = 0;
    showFeedback(game, TEXT_ID_NEEDS_CARD);
    if (!game->heldItem && game->inventoryCount > 0) game->hoveredItem = game->inventory[game->inventoryCount - 1];
    layOutLabels(game, &layout);
    checkLayout(game, layout);
    game->hintStep = step;
    game->feedback = note;
    game->hoveredItem = hovered;
}

class RealLabels : public ::testing::Test {
protected:
    void SetUp() override { startRealGame(&real); }
    void TearDown() override {
        real.afterFrame = nullptr;
        stopRealGame(&real);
    }
    RealGame real;
};

TEST_F(RealLabels, EveryPlanPositionKeepsTheLabelsClearOfTheFixedTexts) {
    std::vector<std::string> plan = solverPlan();
    ASSERT_GE(plan.size(), 10u);
    gChecked = Checked{};
    real.afterFrame = checkFrame;
    for (const std::string& line : plan) {
        gLine = line;
        ASSERT_TRUE(playPlanLine(&real, line)) << line;
    }
    ASSERT_TRUE(real.game->endReached);
    for (const std::string& f : gChecked.faults) ADD_FAILURE() << f;
    // The walk did see labels, with and without the hint box, naming things.
    EXPECT_GT(gChecked.frames, 100);
    EXPECT_GT(gChecked.labels, 200);
    EXPECT_GT(gChecked.things, 50);
    EXPECT_GT(gChecked.withHintBox, 100);
}

} // namespace
