// Short texts shown at the cursor when an action does nothing: a locked or jammed door
// clicked, an item dropped where it opens nothing, a scenery object clicked, a wrong
// keypad code, an arrow key with no other camera to go to. The rules are untouched;
// the player only learns why nothing happened. The texts live in the language files
// after the object names, and the pause screen's line comes with them.
#pragma once

#include "game/game_state.h"

#include <stdint.h>

enum FeedbackTextId : int32_t {
    TEXT_ID_PAUSE_RESUME = 51,   // under "PAUSE": how to go back to the game
    TEXT_ID_NEEDS_KEY = 52,      // a door locked with a key
    TEXT_ID_JAMMED = 53,         // the shutter, to be forced open
    TEXT_ID_NEEDS_CARD = 54,     // the door behind the badge reader
    TEXT_ID_NEEDS_CODE = 55,     // the exit, opened by the keypad only
    TEXT_ID_LOCKED = 56,         // any other object that needs an item
    TEXT_ID_WRONG_ITEM = 57,     // an item dropped on an object it does not open
    TEXT_ID_NO_ITEM_NEEDED = 58, // an item dropped on an object a click opens
    TEXT_ID_ALREADY_OPEN = 59,   // an item dropped on an object already open
    TEXT_ID_NOTHING_TO_OPEN = 60, // an item dropped on what no item opens
    TEXT_ID_SCENERY = 61,        // a click on an entity that does nothing
    TEXT_ID_USE_DIGITS = 62,     // a click on the keypad's case, star or pound
    TEXT_ID_WRONG_CODE = 63,     // four digits that are not the code
    TEXT_ID_ONE_CAMERA = 64,     // an arrow key with one camera reached on the monitor
    TEXT_ID_FIRST_FEEDBACK = TEXT_ID_PAUSE_RESUME,
    TEXT_ID_FEEDBACK_END = 65,   // one past the last
};

// How long a feedback text stays, in seconds of play time.
inline constexpr float kFeedbackSeconds = 4.0f;

// Shows a text (replacing the one showing) from now on for kFeedbackSeconds.
void showFeedback(GameState* game, int32_t textId);

// The feedback text id showing now, or -1 (none, or shown long enough ago).
int32_t currentFeedback(const GameState* game);

// A click on an object that needs an item: what it needs, in the object's own words.
int32_t lockedFeedbackFor(const char* objectName);

// The hooks of the rules, each where an action ends without effect.
void noteLockedClick(GameState* game, const Interactable* object);
void noteRefusedItem(GameState* game, const Interactable* object);
void noteDropOnNothing(GameState* game);
// After a click on a non-pickable entity went through the keypad rule; typedBefore is
// the count of typed digits before it.
void noteEntityClick(GameState* game, const Entity* entity, uint32_t typedBefore);
void noteOneCameraReached(GameState* game);
