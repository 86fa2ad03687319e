// quarlo_camera_views.exe: every security camera's view rendered by the game's own
// passes (the engine, the data folder's shaders, a backend library), read back with the
// backend's readPixelsInRenderer and written as PNG files, plus the player's view.
//
//   quarlo_camera_views.exe <output folder> <first camera> [open] [backend library]
//
// With "open", every clickable object starts open (doors, lockers, drawers), so the
// views show what lies behind them; the file names then end in "-open".
// It runs beside Quarlo.exe (its data/ folder and DLLs); the backend defaults to
// VidPortOpenGL3_0.dll. One run renders one frame, right after loading: cameras
// <first> to <first> + 3 on the four monitors. It writes cam<n>.png for each (the
// monitor picture, 640 x 360 for the 1280 x 720 window; n counts from 1) and
// window<b>.png, the whole window of that frame (b = first / 4 + 1). Exit code 0 on
// success.
#include "app/backend_library.h"
#include "app/command_line.h"
#include "app/module_path.h"
#include "engine/program/program_state.h"
#include "app/window_procedure.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/interaction.h"
#include "tools/content/image.h"
#include "tools/content/viewer/save_bound_target.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

namespace {

readPixelsInRendererFn gReadPixels;

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void renderFrame(GameState* game) {
    pumpMessages();
    gRenderer.beginFrameInRenderer(&gRendererState);
    renderGame(game);
}

void finishFrame() {
    gRenderer.endFrameInRenderer(&gRendererState);
    gRenderer.swapBuffersOnRenderer(&gRendererState);
}

int run(HINSTANCE instance) {
    int argc = 0;
    char** argv = commandLineArguments(&argc);
    if (argc < 3) {
        fprintf(stderr, "usage: quarlo_camera_views <output folder> <first camera> [backend library]\n");
        return 2;
    }
    const char* output = argv[1];
    uint32_t first = (uint32_t)atoi(argv[2]);
    int next = 3;
    bool open = argc > next && strcmp(argv[next], "open") == 0;
    if (open) ++next;
    const char* backend = argc > next ? argv[next] : BACKEND_OPENGL_LIBRARY;
    const char* suffix = open ? "-open" : "";
    fixModuleDirectory(instance);

    BackendLibrary library;
    if (!loadBackendLibrary(&library, backend)) {
        fprintf(stderr, "cannot load %s\n", backend);
        return 1;
    }
    attachBackend(&library, &gRenderer, &gRendererState, resizeGame, programWindowProcedure);
    gReadPixels = (readPixelsInRendererFn)(void*)GetProcAddress((HMODULE)library.module, RENDERER_READ_PIXELS_NAME);
    if (!hasCalledEntryPoints(&gRenderer) || !gReadPixels) {
        fprintf(stderr, "%s lacks entry points the game calls or %s\n", backend, RENDERER_READ_PIXELS_NAME);
        return 1;
    }
    resetWindowParameters();
    GameState* game = constructGame(allocateGameState());
    WindowParameters parameters = gWindowParameters;
    if (!game || !gRenderer.initRenderer(&gRendererState, &parameters, "Quarlo camera views")) {
        fprintf(stderr, "the renderer did not start\n");
        return 1;
    }
    gRenderer.beginFrameInRenderer(&gRendererState);
    if (!loadGame(game, argc, argv)) {
        fprintf(stderr, "the game did not load its data\n");
        return 1;
    }
    // The script that runs this learns how many runs it takes from here.
    printf("cameras %u\n", game->cameraCount);
    fflush(stdout);
    if (first >= game->cameraCount) {
        fprintf(stderr, "camera %u: there are %u cameras\n", first, game->cameraCount);
        return 2;
    }
    gRenderer.endFrameInRenderer(&gRendererState);
    gRenderer.resizeBackBuffersOnRenderer(&gRendererState, gRendererState.width, gRendererState.height);

    bool ok = true;
    char path[1024];
    if (open)
        for (uint32_t i = 0; i < game->interactableCount; ++i) setInteractableOpen(&game->interactables[i], true);
    // One frame: cameras first .. first + 3 on the four monitors; each monitor picture
    // is read from its target before the frame ends, then the window itself.
    for (uint32_t k = 0; k < MONITOR_COUNT; ++k)
        game->monitors[k].camera = first + k < game->cameraCount ? first + k : first;
    renderFrame(game);
    for (uint32_t k = 0; k < MONITOR_COUNT && first + k < game->cameraCount; ++k) {
        FrameBufferRecord* target = &game->targets.monitor[k];
        gRenderer.bindFrameBufferInRenderer(&gRendererState, target);
        snprintf(path, sizeof(path), "%s/cam%u%s.png", output, first + k + 1, suffix);
        ok = saveBoundTarget(gReadPixels, path, target->width, target->height) && ok;
        gRenderer.unbindFrameBufferInRenderer(&gRendererState, target);
    }
    snprintf(path, sizeof(path), "%s/window%u%s.png", output, first / MONITOR_COUNT + 1, suffix);
    ok = saveBoundTarget(gReadPixels, path, gRendererState.width, gRendererState.height) && ok;
    finishFrame();

    gRenderer.cleanupRenderer(&gRendererState);
    unloadBackendLibrary(&library);
    return ok ? 0 : 1;
}

} // namespace

int main() { return run(GetModuleHandleW(nullptr)); }
