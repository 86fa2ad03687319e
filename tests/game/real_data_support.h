// The game on the real data folder of the native build, with a recording backend:
// constructed and loaded as the program does, ready for synthetic input frames.
#pragma once

#include "game/game_state.h"
#include "tests/support/recording_renderer.h"

#include <string>
#include <vector>

struct RealGame {
    RecordingRenderer recorder;
    GameState* game = nullptr;
    bool loaded = false;
};

// Points the module directory at the native build (which holds data/), installs the
// recorder, constructs and loads the game, and runs the first resize (1280 x 720).
void startRealGame(RealGame* real);
void stopRealGame(RealGame* real);

// One update with the cursor at render pixels (x from the left, y from the bottom).
InputSnapshot pointerAt(int32_t x, int32_t y, bool leftDown);
void playFrame(RealGame* real, const InputSnapshot& input, float dt = 1.0f / 60.0f);

// The solver's plan for the design document's chain: one line per action.
std::vector<std::string> solverPlan();
