#include "game/game.h"

#include <stdlib.h>

// Placeholder until the game issue lands: the shell calls these at the right moments,
// and they do nothing yet.
struct GameState {
    int unused;
};

GameState* allocateGameState() { return static_cast<GameState*>(calloc(1, sizeof(GameState))); }
GameState* constructGame(GameState* game) { return game; }
bool loadGame(GameState*, int, char**) { return true; }
void updateGame(GameState*, float) {}
void renderGame(GameState*) {}
void resizeGame(int32_t, int32_t) {}
