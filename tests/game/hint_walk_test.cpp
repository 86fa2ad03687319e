// The chain of docs/design.md, played through the game's own update with the frame
// time running, walks the hints from the first to the last one step at a time, and
// each hinted action is first done while its own hint shows.
#include "tests/game/real_data_support.h"

#include "game/game_state.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

class HintWalk : public ::testing::Test {
protected:
    void SetUp() override { startRealGame(&real); }
    void TearDown() override { stopRealGame(&real); }
    GameState* game() { return real.game; }
    RealGame real;
};

// The chain step's word from the solver's remark "step N line L <word> ...".
std::string chainWord(const std::string& remark) {
    std::istringstream words(remark);
    std::string step, n, line, l, word;
    words >> step >> n >> line >> l >> word;
    return step == "step" && line == "line" ? word : std::string();
}

TEST_F(HintWalk, TheDesignChainWalksEveryHintInOrderWithItsAction) {
    std::vector<std::string> remarks;
    std::vector<std::string> plan = solverPlan(&remarks);
    ASSERT_GE(plan.size(), 10u);
    ASSERT_EQ(remarks.size(), plan.size());

    // The hint that asks for each kind of step: the first such step comes while it shows.
    const std::map<std::string, int> hintOf = {{"point", 0}, {"camera", 2}, {"left", 3}, {"right", 3},
                                               {"open", 4},  {"take", 4},   {"use", 5},  {"look", 6}};
    std::map<std::string, int> firstSeenAt;
    std::vector<int32_t> walked = {game()->hintStep};
    ASSERT_EQ(walked[0], 0);
    for (size_t i = 0; i < plan.size(); ++i) {
        std::string word = chainWord(remarks[i]);
        ASSERT_FALSE(word.empty()) << "no chain step in the remark of " << plan[i];
        int32_t before = game()->hintStep;
        firstSeenAt.emplace(word, before);
        ASSERT_TRUE(playPlanLine(&real, plan[i])) << "unknown plan line: " << plan[i];
        int32_t after = game()->hintStep;
        // A skip of two would show in one frame: no plan line may move the hint by more
        // than one.
        EXPECT_GE(after, before) << plan[i] << "  #" << remarks[i];
        EXPECT_LE(after, before + 1) << plan[i] << "  #" << remarks[i];
        if (after != walked.back()) walked.push_back(after);
    }
    EXPECT_EQ(walked, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(game()->hintStep, HINT_FINAL_STEP);
    for (const auto& hint : hintOf) {
        auto seen = firstSeenAt.find(hint.first);
        if (hint.first == "right" && seen == firstSeenAt.end()) continue; // Left alone will do
        ASSERT_NE(seen, firstSeenAt.end()) << "the chain has no " << hint.first << " step";
        EXPECT_EQ(seen->second, hint.second) << "the first " << hint.first << " step comes at hint " << seen->second;
    }
    EXPECT_TRUE(game()->endReached);
}

} // namespace
