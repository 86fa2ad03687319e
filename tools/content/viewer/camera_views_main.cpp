// quarlo_camera_views.exe: every security camera's view rendered by the game's own
// passes (the engine, the data folder's shaders, a backend library), read back with the
// backend's readPixelsInRenderer and written as PNG files, plus the player's view.
//
//   quarlo_camera_views.exe <output folder> [backend library]
//
// It runs beside Quarlo.exe (its data/ folder and DLLs); the backend defaults to
// VidPortOpenGL3_0.dll. Writes cam1.png ... camN.png (each monitor picture, 640 x 360
// for the 1280 x 720 window) and player.png (the window). Exit code 0 on success.
#include "app/backend_library.h"
#include "app/command_line.h"
#include "app/module_path.h"
#include "app/program_state.h"
#include "app/window_procedure.h"
#include "game/game.h"
#include "game/game_state.h"
#include "tools/content/image.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
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

// Reads the bound target (rows bottom-up, RGBA8) and writes it top-down as a PNG.
bool saveBoundTarget(const char* path, uint32_t width, uint32_t height) {
    std::vector<uint8_t> pixels((size_t)width * height * 4);
    if (!gReadPixels(&gRendererState, 0, 0, (int32_t)width, (int32_t)height, pixels.data())) {
        fprintf(stderr, "readPixelsInRenderer refused %u x %u\n", width, height);
        return false;
    }
    Image image = makeImage(width, height);
    for (uint32_t y = 0; y < height; ++y)
        memcpy(imagePixel(&image, 0, height - 1 - y), &pixels[(size_t)y * width * 4], (size_t)width * 4);
    if (!writePng(path, &image, false)) {
        fprintf(stderr, "cannot write %s\n", path);
        return false;
    }
    return true;
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
    if (argc < 2) {
        fprintf(stderr, "usage: quarlo_camera_views <output folder> [backend library]\n");
        return 2;
    }
    const char* output = argv[1];
    const char* backend = argc > 2 ? argv[2] : BACKEND_OPENGL_LIBRARY;
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
    gRenderer.endFrameInRenderer(&gRendererState);
    gRenderer.resizeBackBuffersOnRenderer(&gRendererState, gRendererState.width, gRendererState.height);

    bool ok = true;
    char path[1024];
    // Four cameras a frame, one on each monitor; the monitor pictures are read from
    // their targets before the frame ends.
    for (uint32_t first = 0; first < game->cameraCount; first += MONITOR_COUNT) {
        for (uint32_t k = 0; k < MONITOR_COUNT; ++k)
            game->monitors[k].camera = first + k < game->cameraCount ? first + k : first;
        renderFrame(game);
        for (uint32_t k = 0; k < MONITOR_COUNT && first + k < game->cameraCount; ++k) {
            FrameBufferRecord* target = &game->targets.monitor[k];
            gRenderer.bindFrameBufferInRenderer(&gRendererState, target);
            snprintf(path, sizeof(path), "%s/cam%u.png", output, first + k + 1);
            ok = saveBoundTarget(path, target->width, target->height) && ok;
            gRenderer.unbindFrameBufferInRenderer(&gRendererState, target);
        }
        finishFrame();
    }
    // The player's view with the first four cameras on their monitors.
    for (uint32_t k = 0; k < MONITOR_COUNT; ++k) game->monitors[k].camera = k < game->cameraCount ? k : 0;
    renderFrame(game);
    snprintf(path, sizeof(path), "%s/player.png", output);
    ok = saveBoundTarget(path, gRendererState.width, gRendererState.height) && ok;
    finishFrame();

    gRenderer.cleanupRenderer(&gRendererState);
    unloadBackendLibrary(&library);
    return ok ? 0 : 1;
}

} // namespace

int main() { return run(GetModuleHandleW(nullptr)); }
