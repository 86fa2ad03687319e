// Renders frames of the real game and writes every render target and the back buffer
// as PNG files, for looking at what each pass produced:
//   frame_dump.exe <output folder> [frames] [backend library]
// Files: frame<N>_<target>.png, rows top-down, alpha dropped.
#include "app/backend_library.h"
#include "app/command_line.h"
#include "app/module_path.h"
#include "app/program_state.h"
#include "app/window_procedure.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/rendering.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

readPixelsInRendererFn gReadPixels;

bool writePngFile(const char* path, const uint8_t* bottomUpRgba, uint32_t width, uint32_t height) {
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    uint8_t* row = static_cast<uint8_t*>(malloc(width * 3));
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* source = bottomUpRgba + static_cast<size_t>(height - 1 - y) * width * 4;
        for (uint32_t x = 0; x < width; ++x) memcpy(row + 3 * x, source + 4 * x, 3);
        png_write_row(png, row);
    }
    free(row);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    fclose(file);
    return true;
}

void dumpBound(const char* folder, int frame, const char* name, uint32_t width, uint32_t height) {
    if (!width || !height) return;
    uint8_t* pixels = static_cast<uint8_t*>(malloc(static_cast<size_t>(width) * height * 4));
    char path[1024];
    snprintf(path, sizeof(path), "%s/frame%d_%s.png", folder, frame, name);
    if (gReadPixels(&gRendererState, 0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height), pixels))
        writePngFile(path, pixels, width, height);
    else
        fprintf(stderr, "cannot read %s\n", name);
    free(pixels);
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
