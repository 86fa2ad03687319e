// Checks of the whole puzzle that do not follow the written chain: which cameras can
// be reached from the four starting ones as things stand (the camera graph), and a
// greedy player who tries every action it can see until nothing new happens, which
// shows that every required object's opening item can be had.
#pragma once

#include "tools/content/puzzle/click_search.h"

#include <vector>

// Cameras reachable from the monitors' starting cameras by clicking models, with the
// doors as they are now. reachable[c] is set for each reached camera.
void reachableCameras(PuzzleWorld* world, std::vector<uint8_t>* reachable);

struct ExploreReport {
    bool ended;                        // every required object done
    std::vector<uint8_t> camerasReached;
    std::vector<uint8_t> itemsTaken;   // by entity index
    std::vector<uint8_t> opened;       // by interactable index
    uint32_t actions;
};

// Plays greedily from the world's current state: opens what a click opens (never
// closes), takes every visible item, uses every item on the object it opens, and types
// the code once the paper note is in the inventory. Leaves the world in the state
// reached.
void exploreGreedily(PuzzleWorld* world, ExploreReport* report);
