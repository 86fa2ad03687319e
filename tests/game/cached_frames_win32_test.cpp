// The frames the game draws while it redraws only the views that changed are, pixel for
// pixel, the frames of the full pipeline. Two games on the real data, one drawing only
// what changed and one drawing every pass every frame, take the same input through the
// first steps of the puzzle (a camera switched by a click and back by the arrow key, a
// locker opened, the key in it taken, dragged onto the red door, the head turned) with
// the same frame times, on a real backend; after every frame both back buffers are read
// and compared. The backend is VidPortOpenGL3_0.dll, or the one QUARLO_BACKEND_LIBRARY
// names.
#include "app/backend_library.h"
#include "app/module_path.h"
#include "app/window_procedure.h"
#include "engine/program/program_state.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/interaction.h"
#include "game/picking.h"
#include "game/render_targets.h"

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

const float kFrameSeconds = 0.1f;

// The games size their targets themselves; the backend's call at a frame start is
// not needed.
void ignoreResize(int32_t, int32_t) {}

struct Picture {
    std::vector<uint8_t> rgba;
};

class CachedFrames : public ::testing::Test {
protected:
    static BackendLibrary library;
    static readPixelsInRendererFn readPixels;
    static bool started;
    static GameState* cached;
    static GameState* full;

    static void SetUpTestSuite() {
        fixModuleDirectory(GetModuleHandleW(nullptr));
        const char* backend = getenv("QUARLO_BACKEND_LIBRARY");
        if (!backend || !backend[0]) backend = BACKEND_OPENGL_LIBRARY;
        ASSERT_TRUE(loadBackendLibrary(&library, backend)) << backend;
        // The program's own window procedure: it records the client size the backend
        // draws at.
        attachBackend(&library, &gRenderer, &gRendererState, ignoreResize, programWindowProcedure);
        readPixels = reinterpret_cast<readPixelsInRendererFn>(
            reinterpret_cast<void*>(GetProcAddress(library.module, RENDERER_READ_PIXELS_NAME)));
        ASSERT_TRUE(hasCalledEntryPoints(&gRenderer)) << backend;
        ASSERT_NE(readPixels, nullptr) << backend;
        resetWindowParameters();
        WindowParameters parameters = gWindowParameters;
        started = gRenderer.initRenderer(&gRendererState, &parameters, "Quarlo cached frames test");
        ASSERT_TRUE(started) << backend;
        ASSERT_EQ(gRendererState.width, 1280u);
        ASSERT_EQ(gRendererState.height, 720u);

        gRenderer.beginFrameInRenderer(&gRendererState);
        cached = constructGame(allocateGameState());
        full = constructGame(allocateGameState());
        ASSERT_TRUE(cached && full);
        // A missing data folder is a failure here, never a reason to skip.
        ASSERT_TRUE(loadGame(cached, 0, nullptr)) << "data/ beside the test: " << cached->loadFailure;
        char fullRedraw[] = "-fullRedraw";
        char* arguments[] = {nullptr, fullRedraw};
        ASSERT_TRUE(loadGame(full, 2, arguments)) << full->loadFailure;
        gRenderer.endFrameInRenderer(&gRendererState);
        gRenderer.swapBuffersOnRenderer(&gRendererState);
        resizeGameTargets(cached, 1280, 720);
        resizeGameTargets(full, 1280, 720);
        ASSERT_FALSE(cached->viewCache.drawEverything);
        ASSERT_TRUE(full->viewCache.drawEverything);
    }

    static void TearDownTestSuite() {
        destroyGameState(cached);
        destroyGameState(full);
        cached = full = nullptr;
        if (started) gRenderer.cleanupRenderer(&gRendererState);
        unloadBackendLibrary(&library);
    }

    // One frame of a game: its update with this input, its drawing, the back buffer read.
    static Picture frame(GameState* game, const InputSnapshot& input) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        updateInteraction(game, &input, kFrameSeconds);
        gRenderer.beginFrameInRenderer(&gRendererState);
        renderGame(game);
        Picture picture;
        picture.rgba.resize(1280u * 720u * 4u);
        EXPECT_TRUE(readPixels(&gRendererState, 0, 0, 1280, 720, picture.rgba.data()));
        gRenderer.endFrameInRenderer(&gRendererState);
        gRenderer.swapBuffersOnRenderer(&gRendererState);
        return picture;
    }

    // Writes a picture as a PPM (rows bottom-up as read) for a person to look at.
    static void save(const Picture& picture, const std::string& name) {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        std::string path = std::string(folder) + name + ".ppm";
        FILE* f = fopen(path.c_str(), "wb");
        if (!f) return;
        fprintf(f, "P6\n1280 720\n255\n");
        for (int y = 719; y >= 0; --y)
            for (int x = 0; x < 1280; ++x) fwrite(&picture.rgba[(static_cast<size_t>(y) * 1280 + x) * 4], 1, 3, f);
        fclose(f);
        printf("wrote %s\n", path.c_str());
    }

    // Both games take the input; their frames must be the same in every pixel.
    void step(const char* what, const InputSnapshot& input) {
        Picture a = frame(cached, input);
        Picture b = frame(full, input);
        ++frames;
        size_t differing = 0;
        for (size_t i = 0; i < a.rgba.size(); i += 4)
            if (memcmp(&a.rgba[i], &b.rgba[i], 3) != 0) ++differing;
        EXPECT_EQ(differing, 0u) << "frame " << frames << " (" << what << "): " << differing
                                 << " pixels differ between the cached and the full drawing";
        if (differing && !saved) {
            saved = true;
            save(a, "quarlo-cached-frame-" + std::to_string(frames));
            save(b, "quarlo-full-frame-" + std::to_string(frames));
        }
    }

    // A point of monitor k's picture where the game's own pick reaches the thing, clear
    // of the inventory bar and inside the window, as a cursor; searched from the middle
    // of the picture outwards.
    static bool aim(GameState* game, uint32_t k, PickKind kind, uint32_t index, InputSnapshot* input) {
        const int columns = 64, rows = 36;
        for (int ring = 0; ring < columns; ++ring)
            for (int j = rows / 2 - ring; j <= rows / 2 + ring; ++j)
                for (int i = columns / 2 - ring; i <= columns / 2 + ring; ++i) {
                    if (j < 0 || j >= rows || i < 0 || i >= columns) continue;
                    if (abs(j - rows / 2) != ring && abs(i - columns / 2) != ring) continue;
                    float u = (i + 0.5f) / columns, v = (j + 0.5f) / rows;
                    PickResult hit = pickInMonitorPicture(game, k, u, v);
                    if (hit.kind != kind || hit.index != index) continue;
                    int32_t x, y;
                    if (!panelToCursor(game, &game->monitors[k].panel, u, v, &x, &y)) continue;
                    if (x < 4 || y < 4 || x > 1276 || y > 716) continue;
                    if (y < 140 && x < 96 * 6) continue; // the inventory bar
                    *input = InputSnapshot{};
                    input->cursorX = x;
                    input->cursorY = y;
                    return true;
                }
        return false;
    }

    static uint32_t cameraNamed(const GameState* game, const char* name) {
        for (uint32_t c = 0; c < game->cameraCount; ++c)
            if (strcmp(game->cameras[c].name, name) == 0) return c;
        return UINT32_MAX;
    }
    static uint32_t interactableNamed(const GameState* game, const char* name) {
        for (uint32_t i = 0; i < game->interactableCount; ++i)
            if (strcmp(game->interactables[i].name, name) == 0) return i;
        return UINT32_MAX;
    }
    static uint32_t worldEntityNamed(const GameState* game, const char* name) {
        for (uint32_t i = 0; i < game->worldCount; ++i)
            if (strcmp(game->world[i]->name, name) == 0) return i;
        return UINT32_MAX;
    }

    // A press and a release at the cursor of `at`.
    void click(const char* what, InputSnapshot at) {
        at.leftDown = true;
        step(what, at);
        at.leftDown = false;
        step(what, at);
    }

    int frames = 0;
    bool saved = false;
};

BackendLibrary CachedFrames::library;
readPixelsInRendererFn CachedFrames::readPixels;
bool CachedFrames::started;
GameState* CachedFrames::cached;
GameState* CachedFrames::full;

TEST_F(CachedFrames, EveryFrameOfTheFirstStepsIsTheFullPipelinesFrame) {
    InputSnapshot idle = {};
    idle.cursorX = 640;
    idle.cursorY = 700;
    for (int i = 0; i < 3; ++i) step("at rest", idle);

    // Monitor 1 shows CAM 3's dome: hover it, click it, and the Left arrow brings CAM 2 back.
    uint32_t cam3 = cameraNamed(cached, "CAM 3");
    ASSERT_NE(cam3, UINT32_MAX);
    InputSnapshot dome;
    ASSERT_TRUE(aim(cached, 1, PICK_CAMERA, cam3, &dome)) << "CAM 3's dome on monitor 1";
    step("hovering CAM 3", dome);
    click("clicking CAM 3", dome);
    ASSERT_EQ(cached->monitors[1].camera, cam3);
    ASSERT_EQ(full->monitors[1].camera, cam3);
    InputSnapshot left = dome;
    left.leftKeyDown = true;
    left.arrowAxis = -1;
    step("Left", left);
    step("Left released", dome);
    EXPECT_NE(cached->monitors[1].camera, cam3);

    // Monitor 3: locker 3 opens; the red key inside is hovered (highlighted) and taken.
    uint32_t locker = interactableNamed(cached, "locker3");
    ASSERT_NE(locker, UINT32_MAX);
    InputSnapshot at;
    ASSERT_TRUE(aim(cached, 3, PICK_INTERACTABLE, locker, &at)) << "locker 3 on monitor 3";
    click("opening locker 3", at);
    ASSERT_TRUE(cached->interactables[locker].done);
    ASSERT_TRUE(full->interactables[locker].done);
    uint32_t key = worldEntityNamed(cached, "redKey");
    ASSERT_NE(key, UINT32_MAX);
    ASSERT_TRUE(aim(cached, 3, PICK_ENTITY, key, &at)) << "the red key on monitor 3";
    step("hovering the red key", at);
    click("taking the red key", at);
    ASSERT_EQ(cached->inventoryCount, 1u);
    ASSERT_EQ(full->inventoryCount, 1u);

    // The key dragged from the inventory bar onto the red door on monitor 0.
    uint32_t door = interactableNamed(cached, "redDoor");
    ASSERT_NE(door, UINT32_MAX);
    InputSnapshot target;
    ASSERT_TRUE(aim(cached, 0, PICK_INTERACTABLE, door, &target)) << "the red door on monitor 0";
    InputSnapshot drag = {};
    drag.cursorX = 48;
    drag.cursorY = 64;
    drag.leftDown = true;
    step("picking the key up", drag);
    for (int i = 1; i <= 3; ++i) {
        drag.cursorX = 48 + (target.cursorX - 48) * i / 3;
        drag.cursorY = 64 + (target.cursorY - 64) * i / 3;
        step("dragging the key", drag);
    }
    drag.leftDown = false;
    step("dropping the key on the red door", drag);
    EXPECT_TRUE(cached->interactables[door].done);
    EXPECT_TRUE(full->interactables[door].done);

    // The head turned with the right button, then still again: the room's picture is
    // made anew, then kept.
    InputSnapshot look = idle;
    look.rightDown = true;
    for (int i = 0; i < 4; ++i) {
        look.cursorX += 12;
        look.cursorY -= 4;
        step("turning the head", look);
    }
    look.rightDown = false;
    for (int i = 0; i < 3; ++i) step("at rest after turning", look);

    // The same views of both games were drawn again only where the cached one saw a change.
    EXPECT_GT(frames, 20);
}

} // namespace
