// Building the world from the data folder: programs, GUI, camera model, level,
// interactables, default textures, fixed layout, cameras and entities, in that order.
#pragma once

#include "game/game_state.h"

// False, with the reason in game->loadFailure (also written to stderr), when a file
// the game needs is missing or refused.
bool loadGameWorld(GameState* game);

// The record of program i of kShaderProgramSpecs (game/shader_programs.h); null past
// the table.
ShaderRecord* shaderProgramRecord(ShaderPrograms* programs, uint32_t index);

// Held item, edge flags, play time and keypad back to their starting values.
void resetPlayState(GameState* game);
