// The game's entry points for the shell test program: they log when the shell calls
// them (to QUARLO_TEST_BACKEND_LOG, the backend's log) and load fails when
// QUARLO_TEST_GAME_LOAD=fail.
#include "game/game.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct GameState {
    int updates;
};

namespace {
void logLine(const char* text, int value) {
    char path[1024];
    DWORD n = GetEnvironmentVariableA("QUARLO_TEST_BACKEND_LOG", path, sizeof(path));
    if (n == 0 || n >= sizeof(path)) return;
    FILE* log = fopen(path, "a");
    if (!log) return;
    fprintf(log, "game %s %d\n", text, value);
    fclose(log);
}
} // namespace

GameState* allocateGameState() { return static_cast<GameState*>(calloc(1, sizeof(GameState))); }

GameState* constructGame(GameState* game) {
    logLine("construct", 0);
    return game;
}

bool loadGame(GameState*, int argc, char**) {
    char value[16];
    DWORD n = GetEnvironmentVariableA("QUARLO_TEST_GAME_LOAD", value, sizeof(value));
    bool fail = n > 0 && n < sizeof(value) && strcmp(value, "fail") == 0;
    logLine(fail ? "load-fail" : "load", argc);
    return !fail;
}

void updateGame(GameState* game, float dt) {
    ++game->updates;
    logLine("update", game->updates);
}

void renderGame(GameState*) {}

void resizeGame(int32_t width, int32_t height) { logLine("resize", width * 10000 + height); }
