#include "tests/game/real_data_support.h"

#include "app/program_state.h"
#include "engine/platform/keyboard.h"
#include "engine/platform/module_directory.h"
#include "game/game.h"
#include "game/interaction.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

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

void stopRealGame(RealGame*) {
    // The game state lives for the process in the program; here it is simply left.
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
}

std::vector<std::string> solverPlan() {
    std::string command = std::string(QUARLO_BINARY_DIR) + "/bin/quarlo_solver " + QUARLO_BINARY_DIR + " " +
                          QUARLO_SOURCE_DIR + "/docs/design.md 1280 720";
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return lines;
    char line[512];
    while (fgets(line, sizeof(line), pipe)) {
        std::string text = line;
        size_t comment = text.find('#');
        if (comment != std::string::npos) text.resize(comment);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.pop_back();
        if (!text.empty()) lines.push_back(text);
    }
    int status = pclose(pipe);
    EXPECT_EQ(status, 0) << command;
    return lines;
}
