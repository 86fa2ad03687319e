// The game's entry points, called by the shell's start-up sequence and frame loop.
#pragma once

#include <stdint.h>

struct GameState;

// Allocated zero-filled at start-up and kept for the life of the process.
GameState* allocateGameState();

// Defaults, the language, both fonts and the name table.
GameState* constructGame(GameState* game);

// Loads the world from the data folder; false when a file it needs is missing or refused.
bool loadGame(GameState* game, int argc, char** argv);

// One frame of rules, dt in seconds.
void updateGame(GameState* game, float dt);

// One frame of drawing, between beginFrameInRenderer and endFrameInRenderer.
void renderGame(GameState* game);

// The resize handler stored in RendererState; the backend calls it at the start of a
// frame after the back buffers changed size.
void resizeGame(int32_t width, int32_t height);

// Everything the game holds, back to the backend and the heap. The program keeps its
// game to the end of the process; tools and tests that start games release them.
void releaseGameContents(GameState* game);
void destroyGameState(GameState* game);
