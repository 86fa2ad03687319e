// The per-frame rules of the puzzle: the input snapshot, the play clock and the
// hints, pause and the end, mouse look, picking through the monitors, the inventory,
// doors and lockers, camera switches and the keypad.
#pragma once

#include "game/game_state.h"

// The live input state (window procedure and keyboard) as update sees it this frame.
// Resets the wheel counters.
InputSnapshot takeInputSnapshot();

// One frame of rules with a given snapshot (updateGame takes the live one).
void updateInteraction(GameState* game, const InputSnapshot* input, float dt);

// What a ray through monitor k's picture at (u, v) (0 to 1, v up) reaches first under
// the game's own rule, without acting on it: tools and tests find their clicks with it.
PickResult pickInMonitorPicture(GameState* game, uint32_t k, float u, float v);

// True when the menu button of the pause and end screens reports a click this frame.
bool updateMenuButton(GameState* game, const InputSnapshot* input);

// Starts the hint timer when it is not running and the hint step is the one named.
void startHintTimer(GameState* game, int32_t step, float seconds);

// Counts the interactables needed for the end and, of those, the ones done.
void countRequired(const GameState* game, uint32_t* required, uint32_t* done);

// Opens an interactable (done, offset added) or closes it (offset subtracted).
void setInteractableOpen(Interactable* object, bool open);

// The keypad: entities 18 to 27 type 1..9 and 0; four digits are compared with the code.
void pressKeypadButton(GameState* game, int32_t entityId);
