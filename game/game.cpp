#include "game/game.h"

#include "engine/program/program_state.h"
#include "engine/text/language.h"
#include "game/game_loading.h"
#include "game/game_state.h"
#include "game/interaction.h"
#include "game/render_targets.h"
#include "game/rendering.h"
#include "game/shader_programs.h"

#include <stdio.h>
#include <string.h>
#include <stdlib.h>

namespace {

const char* const kTitleFontPath = "data/PatuaOne-Regular.ttf";

// The resize handler has no argument for the game: it reaches the one state here.
GameState* gGame;

void emptyTarget(FrameBufferRecord* target) {
    *target = FrameBufferRecord{};
    target->handle = RENDERER_INVALID_ID;
}

void emptyShader(ShaderRecord* shader, const ShaderProgramSpec* program) {
    *shader = ShaderRecord{};
    shader->slot = -1;
    shader->cullMode = program->cullMode;
    shader->blendMode = program->blendMode;
}

void prepareFont(FontAtlas* font, uint32_t pixelSize) {
    *font = emptyFontAtlas();
    font->flags = FONT_ATLAS_SMOOTH;
    font->pixelSize = pixelSize;
    loadFontFile(font, kTitleFontPath);
}

} // namespace

GameState* allocateGameState() { return static_cast<GameState*>(calloc(1, sizeof(GameState))); }

GameState* constructGame(GameState* game) {
    if (!game) return nullptr;
    gGame = game;
    for (uint32_t i = 0; i < SHADER_PROGRAM_COUNT; ++i)
        emptyShader(shaderProgramRecord(&game->shaders, i), &kShaderProgramSpecs[i]);
    game->cameraGpu = emptyGpuMesh();
    game->unitQuadGpu = emptyGpuMesh();
    FrameBufferRecord* targets[RENDER_TARGET_COUNT];
    listRenderTargets(&game->targets, targets);
    for (FrameBufferRecord* target : targets) emptyTarget(target);
    game->hintStep = 0;
    game->hintTimer = 0.0f;

    // The language, and both fonts over its characters. The window does not exist yet:
    // the fonts start at the sizes of the window the program asks for, and the first
    // resize sets them from the real client height.
    game->languageNumber = chooseLanguage();
    game->languageLoaded = loadLanguage(&game->language, game->languageNumber);
    uint32_t height = gRendererState.height ? gRendererState.height : gWindowParameters.height;
    if (height == 0) height = 720;
    prepareFont(&game->largeFont, largeFontSize(height));
    prepareFont(&game->smallFont, smallFontSize(height));
    if (game->languageLoaded) queueLanguageGlyphs(&game->language, &game->largeFont, &game->smallFont);
    fillNameIds(&game->names);
    return game;
}

bool loadGame(GameState* game, int argc, char** argv) {
    // -fullRedraw: every pass every frame, for measuring the cost of a frame where every
    // view changes.
    for (int i = 1; i < argc; ++i)
        if (argv[i] && strcmp(argv[i], "-fullRedraw") == 0) game->viewCache.drawEverything = true;
    if (!game->languageLoaded || !game->language.data) {
        snprintf(game->loadFailure, sizeof(game->loadFailure), "language file: %s", game->language.failure);
        fprintf(stderr, "Quarlo: %s\n", game->loadFailure);
        return false;
    }
    if (!game->largeFont.face || !game->smallFont.face) {
        snprintf(game->loadFailure, sizeof(game->loadFailure), "%s: missing or not a font", kTitleFontPath);
        fprintf(stderr, "Quarlo: %s\n", game->loadFailure);
        return false;
    }
    return loadGameWorld(game);
}

void updateGame(GameState* game, float dt) {
    game->input = takeInputSnapshot();
    updateInteraction(game, &game->input, dt);
}

void renderGame(GameState* game) { renderFrame(game); }

void resizeGame(int32_t width, int32_t height) {
    if (gGame) resizeGameTargets(gGame, width, height);
}

void destroyGameState(GameState* game) {
    if (!game) return;
    if (gGame == game) gGame = nullptr;
    releaseGameContents(game);
    free(game);
}
