// The game's entry points for the shell test program: they log when the shell calls
// them and the arguments load receives (to QUARLO_TEST_BACKEND_LOG, the backend's
// log), and load fails when QUARLO_TEST_GAME_LOAD=fail.
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
FILE* openLog() {
    char path[1024];
    DWORD n = GetEnvironmentVariableA("QUARLO_TEST_BACKEND_LOG", path, sizeof(path));
    if (n == 0 || n >= sizeof(path)) return nullptr;
    return fopen(path, "a");
}

void logLine(const char* text, int value) {
    FILE* log = openLog();
    if (!log) return;
    fprintf(log, "game %s %d\n", text, value);
    fclose(log);
}

// The arguments as the game receives them, byte for byte.
void logArguments(int argc, char** argv) {
    FILE* log = openLog();
    if (!log) return;
    for (int i = 0; i < argc; ++i) fprintf(log, "game argument %d %s\n", i, argv[i]);
    fclose(log);
}
} // namespace

GameState* allocateGameState() { return static_cast<GameState*>(calloc(1, sizeof(GameState))); }

GameState* constructGame(GameState* game) {
    logLine("construct", 0);
    return game;
}

bool loadGame(GameState*, int argc, char** argv) {
    logArguments(argc, argv);
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
