// Renders frames of the real game and writes every render target and the back buffer
// as PNG files, for looking at what each pass produced:
//   frame_dump.exe <output folder> [frames] [backend library]
// Files: frame<N>_<target>.png, rows top-down, alpha dropped.
#include "app/backend_library.h"
#include "app/command_line.h"
#include "app/module_path.h"
#include "engine/program/program_state.h"
#include "app/window_procedure.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/rendering.h"
#include "tools/content/viewer/save_bound_target.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

readPixelsInRendererFn gReadPixels;

void dumpBound(const char* folder, int frame, const char* name, uint32_t width, uint32_t height) {
    char path[1024];
    snprintf(path, sizeof(path), "%s/frame%d_%s.png", folder, frame, name);
    saveBoundTarget(gReadPixels, path, width, height);
}

void dumpTarget(const char* folder, int frame, const char* name, FrameBufferRecord* target) {
    gRenderer.bindFrameBufferInRenderer(&gRendererState, target);
    dumpBound(folder, frame, name, target->width, target->height);
    gRenderer.unbindFrameBufferInRenderer(&gRendererState, target);
}

const char* gFolder;
int gFrame;
int gPass;

// Every pass of the frames asked for, in order.
void observePass(const char* pass, FrameBufferRecord* target) {
    char name[96];
    snprintf(name, sizeof(name), "pass%02d_%s", gPass++, pass);
    if (target) dumpBound(gFolder, gFrame, name, target->width, target->height);
    else dumpBound(gFolder, gFrame, name, gRendererState.width, gRendererState.height);
}

} // namespace

int main() {
    int argc = 0;
    char** argv = commandLineArguments(&argc);
    if (argc < 2) {
        fprintf(stderr, "usage: frame_dump <output folder> [frames] [backend library]\n");
        return 2;
    }
    const char* folder = argv[1];
    int frames = argc > 2 ? atoi(argv[2]) : 3;
    const char* backend = argc > 3 ? argv[3] : BACKEND_OPENGL_LIBRARY;
    fixModuleDirectory(GetModuleHandleW(nullptr));
    BackendLibrary library;
    if (!loadBackendLibrary(&library, backend)) return 1;
    attachBackend(&library, &gRenderer, &gRendererState, resizeGame, programWindowProcedure);
    gReadPixels = reinterpret_cast<readPixelsInRendererFn>(
        reinterpret_cast<void*>(GetProcAddress(library.module, RENDERER_READ_PIXELS_NAME)));
    if (!hasCalledEntryPoints(&gRenderer) || !gReadPixels) return 1;
    resetWindowParameters();
    GameState* game = constructGame(allocateGameState());
    WindowParameters parameters = gWindowParameters;
    if (!game || !gRenderer.initRenderer(&gRendererState, &parameters, "KV-QX12")) return 1;
    gRenderer.beginFrameInRenderer(&gRendererState);
    if (!loadGame(game, argc, argv)) return 1;
    gRenderer.endFrameInRenderer(&gRendererState);
    gRenderer.resizeBackBuffersOnRenderer(&gRendererState, gRendererState.width, gRendererState.height);

    gFolder = folder;
    setRenderPassObserver(observePass);
    for (int frame = 1; frame <= frames; ++frame) {
        gFrame = frame;
        gPass = 0;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        updateGame(game, 0.016f);
        gRenderer.beginFrameInRenderer(&gRendererState);
        renderGame(game);
        dumpBound(folder, frame, "backbuffer", gRendererState.width, gRendererState.height);
        RenderTargets* t = &game->targets;
        dumpTarget(folder, frame, "scene", &t->scene);
        dumpTarget(folder, frame, "quarterA", &t->quarterA);
        dumpTarget(folder, frame, "monitorScene", &t->monitorScene);
        dumpTarget(folder, frame, "monitor0", &t->monitor[0]);
        dumpTarget(folder, frame, "eighthA", &t->eighthA);
        gRenderer.endFrameInRenderer(&gRendererState);
        gRenderer.swapBuffersOnRenderer(&gRendererState);
    }
    gRenderer.cleanupRenderer(&gRendererState);
    return 0;
}
