// Whether a player who only watches the monitors can find each step of a chain: the
// chain is played step by step, and after every step that changes the building, each
// step still to come is asked whether it has become possible (from some camera already
// reached on some monitor, with a safe click point). At the moment it becomes possible,
// the thing it acts on must show on one of the four monitors as they stand then, large
// enough to be noticed and hit.
#pragma once

#include "tools/content/puzzle/puzzle_chain.h"

#include <stddef.h>

#include <vector>

// What "large enough" means, on the monitor's picture (640 x 360 for the game's
// window): the area where the action works, and its distance to the nearest point
// where it would not.
inline constexpr uint32_t kDiscoverableArea = 200;
inline constexpr float kDiscoverableMargin = 4.0f;

// A safe click point from any reached camera, as the chain's own test asks of its points.
inline constexpr float kPossibleMargin = 2.0f;

struct StepDiscovery {
    size_t step;        // index in the chain
    long possibleAfter; // index of the step after which it became possible; -1: at the start
    int monitor;        // the monitor that showed it best then; -1 when none showed it
    ClickChoice choice; // how it showed there (for several targets, the worst of them)
};

// Plays the chain from the world's current state and leaves the world at its end. One
// entry per step that acts on something (camera, open, take, use, type). False, with a
// message, when a step of the chain fails.
bool traceChainDiscovery(PuzzleWorld* world, const std::vector<ChainStep>& steps, std::vector<StepDiscovery>* out,
                         char* error, size_t errorSize);

// Whether an entry meets the thresholds above.
bool discoverable(const StepDiscovery* discovery);
