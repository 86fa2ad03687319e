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
    // Called after every frame playFrame plays, when set.
    void (*afterFrame)(RealGame* real) = nullptr;
};

// Points the module directory at the native build (which holds data/), installs the
// recorder, constructs and loads the game, and runs the first resize (1280 x 720).
void startRealGame(RealGame* real);
void stopRealGame(RealGame* real);

// One update with the cursor at render pixels (x from the left, y from the bottom).
InputSnapshot pointerAt(int32_t x, int32_t y, bool leftDown);
void playFrame(RealGame* real, const InputSnapshot& input, float dt = 1.0f / 60.0f);

// The solver's plan for the design document's chain: one line per action. With
// comments, each line's remark (the chain step it plays) lands there, line for line.
std::vector<std::string> solverPlan(std::vector<std::string>* comments = nullptr);

// Plays one line of the solver's plan (window pixels, y from the top) through the
// game's own update, a frame of frameSeconds at a time; waits pass in such frames
// with the cursor where the last line left it. False for a line it cannot read.
bool playPlanLine(RealGame* real, const std::string& line, float frameSeconds = 1.0f / 60.0f);
