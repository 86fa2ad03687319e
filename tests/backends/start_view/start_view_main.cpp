// Renders the game's start view through one backend library and writes the back
// buffer of the last frame as a PNG, so that the pictures of the two backends can be
// compared:
//   start_view.exe <backend library> <output.png> [frames, 4 by default]
// The first frames may miss draws on Direct3D 12 (its constant pool grows from the
// first frame's demand), so the picture is taken a few frames in.
#include "app/backend_library.h"
#include "app/command_line.h"
#include "app/module_path.h"
#include "app/window_procedure.h"
#include "engine/program/program_state.h"
#include "game/game.h"
#include "game/game_state.h"
#include "tools/content/viewer/save_bound_target.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int main() {
    int argc = 0;
    char** argv = commandLineArguments(&argc);
    if (argc < 3) {
        fprintf(stderr, "usage: start_view <backend library> <output.png> [frames]\n");
        return 2;
    }
    const char* backend = argv[1];
    const char* output = argv[2];
    const int frames = argc > 3 ? atoi(argv[3]) : 4;
    fixModuleDirectory(GetModuleHandleW(nullptr));
    BackendLibrary library;
    if (!loadBackendLibrary(&library, backend)) {
        fprintf(stderr, "start_view: cannot load %s\n", backend);
        return 1;
    }
    attachBackend(&library, &gRenderer, &gRendererState, resizeGame, programWindowProcedure);
    readPixelsInRendererFn readPixels = reinterpret_cast<readPixelsInRendererFn>(
        reinterpret_cast<void*>(GetProcAddress(library.module, RENDERER_READ_PIXELS_NAME)));
    if (!hasCalledEntryPoints(&gRenderer) || !readPixels) return 1;
    resetWindowParameters();
    GameState* game = constructGame(allocateGameState());
    WindowParameters parameters = gWindowParameters;
    if (!game || !gRenderer.initRenderer(&gRendererState, &parameters, "KV-QX12")) {
        fprintf(stderr, "start_view: %s did not start\n", backend);
        return 1;
    }
    gRenderer.beginFrameInRenderer(&gRendererState);
    char* loadArguments[1] = {argv[0]};
    if (!loadGame(game, 1, loadArguments)) return 1;
    gRenderer.endFrameInRenderer(&gRendererState);
    gRenderer.resizeBackBuffersOnRenderer(&gRendererState, gRendererState.width, gRendererState.height);

    bool saved = false;
    for (int frame = 1; frame <= frames; ++frame) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        updateGame(game, 0.016f);
        gRenderer.beginFrameInRenderer(&gRendererState);
        renderGame(game);
        if (frame == frames) saved = saveBoundTarget(readPixels, output, gRendererState.width, gRendererState.height);
        gRenderer.endFrameInRenderer(&gRendererState);
        gRenderer.swapBuffersOnRenderer(&gRendererState);
    }
    gRenderer.cleanupRenderer(&gRendererState);
    return saved ? 0 : 1;
}
