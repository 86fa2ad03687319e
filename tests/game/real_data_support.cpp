#include "tests/game/real_data_support.h"

#include "engine/program/program_state.h"
#include "engine/platform/keyboard.h"
#include "engine/platform/module_directory.h"
#include "game/game.h"
#include "game/interaction.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <sstream>
#include <string>

void startRealGame(RealGame* real) {
    setenv("LANG", "en_GB.UTF-8", 1);
    setModuleDirectory(QUARLO_BINARY_DIR);
    installRecordingRenderer(&real->recorder);
    real->recorder.shaderExtension = ".glsl";
    gRendererState.width = 1280;
    gRendererState.height = 720;
    resetWindowParameters();
    setSimulatedForeground(true);
    real->game = constructGame(allocateGameState());
    ASSERT_NE(real->game, nullptr);
    real->loaded = loadGame(real->game, 0, nullptr);
    ASSERT_TRUE(real->loaded) << real->game->loadFailure;
    resizeGame(1280, 720);
}

void stopRealGame(RealGame* real) {
    destroyGameState(real->game);
    real->game = nullptr;
    removeRecordingRenderer();
    gModuleDirectory = ModuleDirectory{};
}

InputSnapshot pointerAt(int32_t x, int32_t y, bool leftDown) {
    InputSnapshot input = {};
    input.cursorX = x;
    input.cursorY = y;
    input.leftDown = leftDown;
    return input;
}

void playFrame(RealGame* real, const InputSnapshot& input, float dt) {
    real->game->input = input;
    updateInteraction(real->game, &input, dt);
    if (real->afterFrame) real->afterFrame(real);
}

namespace {

// The plan as the solver printed it: action lines and their remarks, and what went
// wrong (empty when it ran and ended well).
struct SolverPlan {
    std::vector<std::string> lines, remarks;
    std::string failure;
};

SolverPlan runSolver() {
    SolverPlan plan;
    std::string command = std::string(QUARLO_BINARY_DIR) + "/bin/quarlo_solver " + QUARLO_BINARY_DIR + " " +
                          QUARLO_SOURCE_DIR + "/docs/design.md 1280 720";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        plan.failure = "cannot start " + command;
        return plan;
    }
    char line[512];
    while (fgets(line, sizeof(line), pipe)) {
        std::string text = line, remark;
        size_t comment = text.find('#');
        if (comment != std::string::npos) {
            remark = text.substr(comment + 1);
            text.resize(comment);
        }
        while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.pop_back();
        while (!remark.empty() && (remark.back() == ' ' || remark.back() == '\n')) remark.pop_back();
        if (text.empty()) continue;
        plan.lines.push_back(text);
        plan.remarks.push_back(remark);
    }
    int status = pclose(pipe);
    if (status != 0) plan.failure = command + " ended with status " + std::to_string(status);
    return plan;
}

} // namespace

std::vector<std::string> solverPlan(std::vector<std::string>* comments) {
    // The solver's search is the costly part of the tests that play its plan, and its
    // answer for one data folder never changes: one run serves the whole program.
    static SolverPlan plan;
    static bool solved = false;
    if (!solved) {
        plan = runSolver();
        solved = true;
    }
    EXPECT_EQ(plan.failure, "");
    if (comments) *comments = plan.remarks;
    return plan.lines;
}

bool playPlanLine(RealGame* real, const std::string& line, float frameSeconds) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    // The cursor stays where the last line left it, as a real mouse would.
    InputSnapshot last = real->game->input;
    last.leftDown = last.rightDown = false;
    last.leftKeyDown = last.rightKeyDown = false;
    last.arrowAxis = 0;
    auto at = [](int x, int y, bool down) { return pointerAt(x, 720 - y, down); };
    auto frame = [&](const InputSnapshot& input) { playFrame(real, input, frameSeconds); };
    if (verb == "click") {
        int x, y;
        if (!(words >> x >> y)) return false;
        frame(at(x, y, false));
        frame(at(x, y, true));
        frame(at(x, y, false));
    } else if (verb == "drag") {
        int x0, y0, x1, y1;
        if (!(words >> x0 >> y0 >> x1 >> y1)) return false;
        frame(at(x0, y0, false));
        frame(at(x0, y0, true));
        for (int step = 1; step <= 4; ++step) frame(at(x0 + (x1 - x0) * step / 4, y0 + (y1 - y0) * step / 4, true));
        frame(at(x1, y1, false));
    } else if (verb == "key") {
        std::string key;
        int x, y;
        if (!(words >> key >> x >> y) || (key != "left" && key != "right")) return false;
        InputSnapshot press = at(x, y, false);
        press.leftKeyDown = key == "left";
        press.rightKeyDown = key == "right";
        press.arrowAxis = key == "left" ? -1 : 1;
        frame(at(x, y, false));
        frame(press);
        frame(at(x, y, false));
    } else if (verb == "hover" || verb == "move") {
        int x, y;
        if (!(words >> x >> y)) return false;
        frame(at(x, y, false));
    } else if (verb == "wait") {
        float seconds = 0.0f;
        if (!(words >> seconds) || !(seconds > 0.0f)) return false;
        int frames = static_cast<int>(ceilf(seconds / frameSeconds));
        for (int i = 0; i < frames; ++i) frame(last);
    } else if (verb == "look") {
        InputSnapshot held = last;
        held.rightDown = true;
        frame(held);
        frame(held);
        frame(last);
    } else {
        return false;
    }
    return true;
}
