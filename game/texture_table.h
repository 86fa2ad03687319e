// Every texture the game uses, loaded once per path.
#pragma once

#include "game/game_state.h"

// The texture for path: the one already in the table, or a new one loaded from the
// file (through loadTexture) and added. Null only when memory runs out.
// isNew tells whether it was loaded by this call.
Texture* findOrLoadTexture(TextureTable* table, const char* path, bool* isNew);

// The entry for path, null when absent.
Texture* findTexture(const TextureTable* table, const char* path);

// Bytewise order, a shorter text first on a common prefix.
int compareTexturePaths(const char* a, const char* b);
