#include "game/render_targets.h"

#include "engine/program/program_state.h"

namespace {

TextureDescription attachment(uint32_t kind) {
    TextureDescription d = {};
    d.pixelFormat = kind == ATTACHMENT_DEPTH ? PIXEL_FORMAT_R8 : PIXEL_FORMAT_RGBA16F;
    d.wrapMode = WRAP_CLAMP_TO_EDGE;
    d.attachmentKind = kind;
    d.mipLevels = 1;
    d.smooth = 1;
    d.renderTarget = 1;
    return d;
}

void createTarget(GameState* game, FrameBufferRecord* target, uint32_t width, uint32_t height, bool withDepth,
                  uint32_t colorFormat = PIXEL_FORMAT_RGBA16F) {
    // The textures of the previous size go back to the backend before new ones are made.
    freeTargetTextures(target);
    if (width == 0) width = 1;
    if (height == 0) height = 1;
    game->colorAttachment.pixelFormat = colorFormat;
    game->colorAttachment.width = static_cast<uint16_t>(width);
    game->colorAttachment.height = static_cast<uint16_t>(height);
    game->depthAttachment.width = static_cast<uint16_t>(width);
    game->depthAttachment.height = static_cast<uint16_t>(height);
    TextureDescription* attachments[2] = {&game->colorAttachment, &game->depthAttachment};
    gRenderer.createFrameBufferInRenderer(&gRendererState, target, width, height, attachments, withDepth ? 2 : 1);
}

// A width-only resize keeps the font sizes: the atlas is rebuilt only for a new size,
// or to build the glyphs queued since the last build.
void resizeFont(FontAtlas* font, uint32_t pixelSize) {
    if (font->pixelSize == pixelSize && font->pendingCount == 0 && font->pageCount > 0) return;
    font->pixelSize = pixelSize;
    rebuildFontAtlas(font);
}

} // namespace

void listRenderTargets(RenderTargets* t, FrameBufferRecord* out[RENDER_TARGET_COUNT]) {
    FrameBufferRecord* all[RENDER_TARGET_COUNT] = {&t->scene,      &t->quarterA,   &t->quarterB,
                                                   &t->monitor[0], &t->monitor[1], &t->monitor[2],
                                                   &t->monitor[3], &t->monitorScene, &t->eighthA,
                                                   &t->eighthB,    &t->finalPicture,   &t->halfPicture};
    for (uint32_t i = 0; i < RENDER_TARGET_COUNT; ++i) out[i] = all[i];
}

void freeTargetTextures(FrameBufferRecord* target) {
    if (!target->textures || !gRenderer.pushFreeTextureDescriptorInRenderer) return;
    for (uint32_t i = 0; i < target->attachmentCount; ++i)
        if (target->textures[i] != RENDERER_INVALID_ID)
            gRenderer.pushFreeTextureDescriptorInRenderer(&gRendererState, target->textures[i]);
}

uint32_t largeFontSize(uint32_t clientHeight) { return 36u * clientHeight / 720u; }
uint32_t smallFontSize(uint32_t clientHeight) { return 20u * clientHeight / 720u; }

void resizeGameTargets(GameState* game, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    uint32_t w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
    gRenderer.setViewPortOnRenderer(&gRendererState, 0, 0, width, height);
    game->clientWidth = w;
    game->clientHeight = h;
    setGuiViewport(&game->gui, 0, 0, width, height);

    resizeFont(&game->largeFont, largeFontSize(h));
    resizeFont(&game->smallFont, smallFontSize(h));

    game->colorAttachment = attachment(ATTACHMENT_COLOR);
    game->depthAttachment = attachment(ATTACHMENT_DEPTH);
    RenderTargets* t = &game->targets;
    createTarget(game, &t->scene, w, h, true);
    createTarget(game, &t->quarterA, w / 4, h / 4, false);
    createTarget(game, &t->quarterB, w / 4, h / 4, false);
    // A monitor's picture is 8 bits per channel: it is shown as it is, and what is
    // brighter than white would be white on the screen anyway.
    for (uint32_t i = 0; i < MONITOR_COUNT; ++i) {
        createTarget(game, &t->monitor[i], w / 2, h / 2, false, PIXEL_FORMAT_RGBA8);
        if (i == 0) createTarget(game, &t->monitorScene, w / 2, h / 2, true);
    }
    createTarget(game, &t->eighthA, w / 8, h / 8, false);
    createTarget(game, &t->eighthB, w / 8, h / 8, false);
    createTarget(game, &t->finalPicture, w, h, false, PIXEL_FORMAT_RGBA8);
    createTarget(game, &t->halfPicture, w / 2, h / 2, false, PIXEL_FORMAT_RGBA8);
    game->colorAttachment.pixelFormat = PIXEL_FORMAT_RGBA16F;
    forgetDrawnViews(&game->viewCache);
}
