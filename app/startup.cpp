#include "app/startup.h"

#include "app/audio_engine.h"
#include "app/backend_library.h"
#include "app/command_line.h"
#include "engine/program/command_line_options.h"
#include "app/module_path.h"
#include "engine/program/program_state.h"
#include "app/window_procedure.h"
#include "engine/platform/module_directory.h"
#include "game/game.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

AudioEngine* gAudio;

// Whether initRenderer of the bound library was called: only such a library has state
// for cleanupRenderer to release. A library that lacked an entry point was never
// started, and its cleanupRenderer is not for the program to call.
bool gRendererStarted;

const float kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};

void attach(BackendLibrary* library) {
    attachBackend(library, &gRenderer, &gRendererState, resizeGame, programWindowProcedure);
}

// initRenderer through the table; a library without the entry points the program
// calls counts as one whose initRenderer failed.
bool initialiseRenderer() {
    if (!hasCalledEntryPoints(&gRenderer)) return false;
    WindowParameters parameters = gWindowParameters;
    // Set before the call: a failed initRenderer may leave state that needs cleanupRenderer.
    gRendererStarted = true;
    return gRenderer.initRenderer(&gRendererState, &parameters, "KV-QX12");
}

void cleanupRenderer() {
    if (!gRendererStarted) return;
    gRendererStarted = false;
    gRenderer.cleanupRenderer(&gRendererState);
}

uint64_t microsecondsBetween(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return static_cast<uint64_t>((to.QuadPart - from.QuadPart) * 1000000 / frequency.QuadPart);
}

} // namespace

int runProgram(HINSTANCE__* instance) {
    // 1-2. Arguments and the forced backend.
    int argc = 0;
    char** argv = commandLineArguments(&argc);
    const char* forced = forcedRenderBackend(argc, argv);

    // 3. The program directory.
    fixModuleDirectory(instance);

    // 4. A backend library.
    BackendLibrary library;
    if (!loadBackendLibrary(&library, forced)) return 1;

    // 5-6. Bind it and reset the parameters.
    attach(&library);
    resetWindowParameters();
    gRunning = 0;

    // 7. The game state.
    GameState* game = constructGame(allocateGameState());
    if (!game) return 1;

    // 8. The window and the device, with one retry on the OpenGL library after the
    //    Direct3D 12 probe.
    if (!initialiseRenderer()) {
        if (!library.mayFallBack) return 1;
        cleanupRenderer();
        if (!reloadOpenGLBackendLibrary(&library)) return 1;
        attach(&library);
        resetWindowParameters();
        gRunning = 0;
        if (!initialiseRenderer()) return 1;
    }

    // 9. One black frame, then a frame open while the game loads.
    gRenderer.clearColorBufferOnRenderer(&gRendererState, kBlack);
    gRenderer.endFrameInRenderer(&gRendererState);
    gRenderer.swapBuffersOnRenderer(&gRendererState);
    gRenderer.beginFrameInRenderer(&gRendererState);

    // 10. Audio; without a device the game runs silent.
    gAudio = createAudioEngine();
    initAudioEngine(gAudio, AUDIO_BACKEND_WAVEOUT, 44100, 4096);

    // 11. The world.
    if (!loadGame(game, argc, argv)) {
        MessageBoxW(nullptr, L"Could not initialize the application", L"An error occurred", MB_ICONERROR);
        cleanupRenderer();
        destroyAudioEngine(gAudio);
        gAudio = nullptr;
        return 1;
    }

    // 12. The window never came up, or was closed while loading.
    if (!gRunning) {
        cleanupRenderer();
        destroyAudioEngine(gAudio);
        gAudio = nullptr;
        return 0;
    }

    // 13. Close the loading frame; the resize provokes the render targets at the next frame.
    gRenderer.endFrameInRenderer(&gRendererState);
    gRenderer.resizeBackBuffersOnRenderer(&gRendererState, gRendererState.width, gRendererState.height);

    // 14. The clock.
    LARGE_INTEGER frequency, previous;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&previous);

    while (gRunning) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        int64_t microseconds = (now.QuadPart - previous.QuadPart) * 1000000 / frequency.QuadPart;
        float dt = static_cast<float>(microseconds) / 1000000.0f;

        updateGame(game, dt);
        LARGE_INTEGER updated;
        QueryPerformanceCounter(&updated);
        gRenderer.beginFrameInRenderer(&gRendererState);
        renderGame(game);
        LARGE_INTEGER recorded;
        QueryPerformanceCounter(&recorded);
        gRenderer.endFrameInRenderer(&gRendererState);
        gRenderer.swapBuffersOnRenderer(&gRendererState);
        LARGE_INTEGER presented;
        QueryPerformanceCounter(&presented);
        gFrameTimes.updateMicroseconds += microsecondsBetween(now, updated, frequency);
        gFrameTimes.recordMicroseconds += microsecondsBetween(updated, recorded, frequency);
        gFrameTimes.presentMicroseconds += microsecondsBetween(recorded, presented, frequency);
        ++gFrameCount;
        previous = now;
    }

    cleanupRenderer();
    destroyAudioEngine(gAudio);
    gAudio = nullptr;
    unloadBackendLibrary(&library);
    return 0;
}
