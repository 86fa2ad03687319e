// The puzzle chain written in docs/design.md, one step per line in a fenced block
// marked "chain", and a follower that plays it against a PuzzleWorld with the game's
// rules, finding where to click for every step and checking that each step does what
// it says. Step lines:
//
//   <monitor> point <name>              rest the cursor on a camera's model, an object
//                                       or an entity, without clicking
//   <monitor> camera <camera name>      click that camera's model on the monitor
//   <monitor> left | right              an arrow key with the cursor on the monitor
//   <monitor> open <interactable>       click the object, which opens
//   <monitor> take <entity>             click the item, which goes to the inventory
//   <monitor> use <item> <interactable> drag the item from the inventory onto it
//   read <item>                         hover the item in the inventory
//   <monitor> type <digits>             click the keypad's buttons
//   wait <seconds>                      let time pass, the cursor where it is
//   look                                hold the right button a moment, the mouse still
//   end                                 every required object is done
//
// Monitors are numbered 0 (upper left), 1 (lower left), 2 (upper right), 3 (lower
// right). "#" starts a comment. Waits and looks change nothing in the puzzle; they
// pace the game's hint timers, which run on the frame time.
#pragma once

#include "tools/content/puzzle/click_search.h"

#include <stddef.h>

#include <vector>

enum ChainStepKind {
    STEP_POINT,
    STEP_CAMERA,
    STEP_ARROW,
    STEP_OPEN,
    STEP_TAKE,
    STEP_USE,
    STEP_READ,
    STEP_TYPE,
    STEP_WAIT,
    STEP_LOOK,
    STEP_END
};

// Longest wait a step may ask for, in seconds.
inline constexpr float kLongestChainWait = 60.0f;

struct ChainStep {
    ChainStepKind kind;
    int monitor;   // -1 for read, wait, look and end
    int direction; // arrows: -1 left, +1 right
    float seconds; // waits
    char first[PUZZLE_NAME_CAPACITY];  // camera, object, item or digits
    char second[PUZZLE_NAME_CAPACITY]; // the object an item is used on
    int line;      // in the text it was read from
};

// The word a step line names its action by ("camera", "wait", ...).
const char* chainStepVerb(ChainStepKind kind);

// Reads step lines; false with a message naming the line on the first bad one.
bool parseChain(const char* text, std::vector<ChainStep>* steps, char* error, size_t errorSize);
// The same for the first "```chain" block of a Markdown document.
bool parseChainFromDocument(const char* markdown, std::vector<ChainStep>* steps, char* error, size_t errorSize);

// What a player (or a test driving the game) does for a step.
enum PlanKind {
    PLAN_CLICK, // press and release at monitor point (u, v)
    PLAN_DRAG,  // press on inventory slot, move to monitor point (u, v), release
    PLAN_KEY,   // with the cursor on the monitor, press Left (-1) or Right (+1)
    PLAN_HOVER, // rest the cursor on inventory slot
    PLAN_MOVE,  // rest the cursor on monitor point (u, v)
    PLAN_WAIT,  // let seconds pass without touching anything
    PLAN_LOOK,  // press and release the right button without moving the mouse
};

struct PlanAction {
    PlanKind kind;
    int monitor;
    float u, v;
    int slot;
    int key;
    float seconds;
    ClickChoice choice; // how safe the point is (clicks, drags and moves)
};

struct StepOutcome {
    bool ok;
    char message[256];
    std::vector<PlanAction> actions;
};

// Plays one step: finds its points, applies it as the game would, checks its effect.
bool followChainStep(PuzzleWorld* world, const ChainStep* step, StepOutcome* outcome);
