#include "game/rendering.h"

#include "engine/program/program_state.h"
#include "engine/text/gui.h"
#include "engine/text/gui_widget.h"
#include "engine/text/name_ids.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

const float kClearColor[4] = {0.46484375f, 0.70703125f, 0.9921875f, 0.0f};
const float kLightMultiplier[3] = {0.6f, 0.6f, 0.6f};
const float kTextColor[4] = {0.9f, 0.9f, 0.9f, 1.0f};
const float kDigitColor[4] = {0.9f, 0.1f, 0.1f, 1.0f};
const float kPanelGrey[4] = {0.5f, 0.5f, 0.5f, 0.5f};
const float kSlotColor[4] = {0.08f, 0.09f, 0.11f, 0.55f};
const float kDesignWidth = 1280.0f;
const float kDesignHeight = 720.0f;
const float kSlotWidth = 96.0f;
const float kSlotHeight = 128.0f;
const float kPreviewDegreesPerSecond = 20.0f;

Vec3 lightDirection() {
    float length = sqrtf(3.65f);
    return Vec3{1.0f / length, 1.1f / length, -1.2f / length};
}

RendererState* state() { return &gRendererState; }

RenderPassObserver gObserver;

void observe(const char* pass, FrameBufferRecord* target) {
    if (gObserver) gObserver(pass, target);
}

void send3(ShaderRecord* shader, const char* name, Vec3 value) {
    gRenderer.sendVector3DToShaderInRenderer(state(), shader, name, &value.x);
}

void bindTarget(FrameBufferRecord* target) { gRenderer.bindFrameBufferInRenderer(state(), target); }
void unbindTarget(FrameBufferRecord* target) { gRenderer.unbindFrameBufferInRenderer(state(), target); }

// A view's target before its world is drawn: the sky's colour and the far depth, each
// cleared once.
void clearTarget() {
    gRenderer.clearColorBufferOnRenderer(state(), kClearColor);
    gRenderer.clearDepthOnRenderer(state());
}

void depthOn() {
    gRenderer.enableDepthMaskOnRenderer(state(), true);
    gRenderer.enableDepthTestOnRenderer(state(), true);
}

uint32_t colorOf(const FrameBufferRecord* target) {
    return target->textures && target->attachmentCount ? target->textures[0] : RENDERER_INVALID_ID;
}

// The lit program for a view: its projection, the sun, and the spot in front of the eye.
void bindLitProgram(GameState* game, const Mat4* projection, Vec3 spotPosition) {
    ShaderRecord* light = &game->shaders.basicDirectionalLight;
    gRenderer.bindShaderInRenderer(state(), light);
    gRenderer.sendMatrix4x4ToShaderInRenderer(state(), light, "projMat", projection->m);
    send3(light, "lightDirection", lightDirection());
    gRenderer.sendVector3DToShaderInRenderer(state(), light, "lightMultiplier", kLightMultiplier);
    send3(light, "spotPosition", spotPosition);
    gRenderer.sendFloatToShaderInRenderer(state(), light, "shade", 0.0f);
}

// A texture id as drawSceneObject wants it: a pointer to an i32 that lives long enough.
struct BoundTexture {
    int32_t id;
};

void drawObject(GpuMesh* mesh, int32_t* texture, Vec3 position, Vec3 scale, Quat rotation, const Mat4* view) {
    SceneObject object = {mesh, texture, position, scale, rotation, Vec3{0, 0, 0}};
    drawSceneObject(&object, view);
}

// Everything of the building seen through a view: entities (the ones hit through
// highlightMonitor lit up), other cameras' models, the level, the interactables; the
// level and the interactables shaded (darkened with distance and facing down) when
// `shaded`.
void drawWorld(GameState* game, const Mat4* view, int32_t highlightMonitor, int32_t skipCamera, bool shaded) {
    ShaderRecord* light = &game->shaders.basicDirectionalLight;
    for (uint32_t i = 0; i < game->worldCount; ++i) {
        Entity* entity = game->world[i];
        float highlight = highlightMonitor != NO_MONITOR && entity->monitorIndex == highlightMonitor ? 1.0f : 0.0f;
        gRenderer.sendFloatToShaderInRenderer(state(), light, "highlight", highlight);
        drawObject(&entity->gpu, &entity->texture->id, entity->world.translation, entity->world.scale,
                   entity->world.rotation, view);
    }
    gRenderer.sendFloatToShaderInRenderer(state(), light, "highlight", 0.0f);
    for (uint32_t c = 0; c < game->cameraCount; ++c) {
        if (static_cast<int32_t>(c) == skipCamera) continue;
        drawObject(&game->cameraGpu, &game->whiteTexture->id, game->cameras[c].position, game->cameraModelScale,
                   game->cameraModelRotation, view);
    }
    if (shaded) gRenderer.sendFloatToShaderInRenderer(state(), light, "shade", 1.0f);
    for (uint32_t i = 0; i < game->levelMeshCount; ++i) {
        LevelMesh* level = &game->levelMeshes[i];
        drawObject(&level->gpu, &level->texture->id, Vec3{0, 0, 0}, Vec3{1, 1, 1}, identityQuaternion(), view);
    }
    drawInteractables(game, view);
    if (shaded) gRenderer.sendFloatToShaderInRenderer(state(), light, "shade", 0.0f);
}

// One full-screen pass: source texture(s) into a target (or the back buffer when
// target is null), with a post-processing program. It writes every pixel without
// blending, so the target needs no clear first.
void postPass(GameState* game, ShaderRecord* program, FrameBufferRecord* target, uint32_t source, uint32_t second) {
    uint32_t width = target ? target->width : game->clientWidth;
    uint32_t height = target ? target->height : game->clientHeight;
    if (target) bindTarget(target);
    // A full-screen pass neither tests nor writes depth: the scene's depth stays for
    // the passes drawn over it afterwards.
    gRenderer.enableDepthTestOnRenderer(state(), false);
    gRenderer.enableDepthMaskOnRenderer(state(), false);
    gRenderer.bindShaderInRenderer(state(), program);
    gRenderer.sendMatrix4x4ToShaderInRenderer(state(), program, "projMat", game->guiProjection.m);
    gRenderer.sendVector2DToShaderInRenderer(state(), program, "screenSize",
                                             RendererVector2{static_cast<float>(width), static_cast<float>(height)});
    if (second != RENDERER_INVALID_ID) gRenderer.bindTextureInRenderer(state(), second, 1);
    BoundTexture texture = {static_cast<int32_t>(source)};
    drawObject(&game->unitQuadGpu, &texture.id, Vec3{0, 0, 0}, Vec3{kDesignWidth, kDesignHeight, 1},
               identityQuaternion(), &game->guiView);
    observe(program == &game->shaders.onlyBright       ? "onlyBright"
            : program == &game->shaders.verticalBlur   ? "verticalBlur"
            : program == &game->shaders.bloomComposite ? "bloomComposite"
            : program == &game->shaders.finalBlur      ? "finalBlur"
                                                       : "horizontalBlur",
            target);
    depthOn();
    if (target) unbindTarget(target);
}

void bloom(GameState* game, FrameBufferRecord* source, FrameBufferRecord* a, FrameBufferRecord* b) {
    ShaderPrograms* s = &game->shaders;
    postPass(game, &s->onlyBright, a, colorOf(source), RENDERER_INVALID_ID);
    postPass(game, &s->horizontalBlur, b, colorOf(a), RENDERER_INVALID_ID);
    postPass(game, &s->verticalBlur, a, colorOf(b), RENDERER_INVALID_ID);
}

void drawMonitorView(GameState* game, uint32_t k) {
    SecurityCamera* camera = &game->cameras[game->monitors[k].camera];
    RenderTargets* t = &game->targets;

    bindTarget(&t->monitorScene);
    clearTarget();
    depthOn();
    bindLitProgram(game, &camera->projection, add3(camera->position, scale3(camera->direction, 3.0f)));
    drawWorld(game, &camera->view, static_cast<int32_t>(k), static_cast<int32_t>(game->monitors[k].camera), false);
    depthOn();
    observe("monitorView", &t->monitorScene);
    unbindTarget(&t->monitorScene);

    bloom(game, &t->monitorScene, &t->eighthA, &t->eighthB);
    // The monitor's image: the camera's view with its bloom added.
    postPass(game, &game->shaders.bloomComposite, &t->monitor[k], colorOf(&t->monitorScene), colorOf(&t->eighthA));
}

// The targets the room is drawn through: the scene, its bloom and its finished
// picture, at the window's size, or at half of it while the head turns (the monitors'
// scene and bloom targets, free once the monitors are drawn, and a half-size picture).
// A turning view is redrawn every frame; a quarter of the pixels keeps the turn smooth
// on a software rasteriser, and the full size comes back the frame the head stops.
struct RoomTargets {
    FrameBufferRecord* scene;
    FrameBufferRecord* bloomA;
    FrameBufferRecord* bloomB;
    FrameBufferRecord* picture;
};

RoomTargets roomTargets(GameState* game, bool halfSize) {
    RenderTargets* t = &game->targets;
    if (halfSize) return RoomTargets{&t->monitorScene, &t->eighthA, &t->eighthB, &t->halfPicture};
    return RoomTargets{&t->scene, &t->quarterA, &t->quarterB, &t->finalPicture};
}

// The room as the player sees it, into the scene target, and its bloom. The monitor
// panels come first: they cover most of the picture, and what lies behind them then
// fails the depth test before it is shaded. They write alpha 1 and the room alpha 0,
// which keeps the room's bloom off them.
void drawMainView(GameState* game, const RoomTargets& room) {
    RenderTargets* t = &game->targets;
    ShaderPrograms* s = &game->shaders;
    PlayerView* player = &game->player;

    bindTarget(room.scene);
    clearTarget();
    depthOn();
    gRenderer.bindShaderInRenderer(state(), &s->basicFixed);
    gRenderer.sendMatrix4x4ToShaderInRenderer(state(), &s->basicFixed, "projMat", player->projection.m);
    for (uint32_t k = 0; k < MONITOR_COUNT; ++k) {
        const PanelPlacement* panel = &game->monitors[k].panel;
        BoundTexture image = {static_cast<int32_t>(colorOf(&t->monitor[k]))};
        drawObject(&game->unitQuadGpu, &image.id, panel->position, panel->scale, panel->rotation, &player->view);
    }
    observe("panels", room.scene);

    bindLitProgram(game, &player->projection, add3(player->position, scale3(player->forward, 3.0f)));
    drawWorld(game, &player->view, NO_MONITOR, -1, true);
    depthOn();
    observe("mainView", room.scene);
    unbindTarget(room.scene);

    bloom(game, room.scene, room.bloomA, room.bloomB);
}

// The design-space rectangle of inventory slot k (or, for the held item, where the
// cursor drags it).
void slotRectangle(const GameState* game, uint32_t k, const Entity* item, float* x, float* y) {
    *x = kSlotWidth * static_cast<float>(k);
    *y = 0.0f;
    if (item && item == game->heldItem) {
        *x = cursorDesignX(game) - game->grabOffset.x;
        *y = cursorDesignY(game) - game->grabOffset.y;
    }
}

void drawInventory(GameState* game) {
    for (uint32_t k = 0; k < game->inventoryCount; ++k)
        drawGuiRectangle(&game->gui, kSlotWidth * static_cast<float>(k) + 2.0f, 2.0f, kSlotWidth - 4.0f,
                         kSlotHeight - 4.0f, kSlotColor);

    ShaderRecord* light = &game->shaders.basicDirectionalLight;
    float sx = static_cast<float>(game->clientWidth) / kDesignWidth;
    float sy = static_cast<float>(game->clientHeight) / kDesignHeight;
    for (uint32_t k = 0; k < game->inventoryCount; ++k) {
        Entity* item = game->inventory[k];
        float x, y;
        slotRectangle(game, k, item, &x, &y);
        int32_t px = static_cast<int32_t>(x * sx), py = static_cast<int32_t>(y * sy);
        int32_t pw = static_cast<int32_t>(kSlotWidth * sx), ph = static_cast<int32_t>(kSlotHeight * sy);
        if (pw <= 0 || ph <= 0) continue;
        gRenderer.setScissorOnRenderer(state(), px, py, px + pw, py + ph);
        gRenderer.setViewPortOnRenderer(state(), px, py, pw, ph);
        depthOn();
        gRenderer.clearDepthOnRenderer(state());

        Mat4 view, projection = identityMatrix4();
        lookAt(&view, Vec3{0, 2.3f, 2}, Vec3{0, 0, 1.1f}, Vec3{0, 0, 1});
        perspective(&projection, 45.0f, static_cast<float>(pw) / static_cast<float>(ph), 0.1f, 100.0f);
        Quat rotation = item->preview.rotation;
        turnAboutZ(&rotation, game->playTime * kPreviewDegreesPerSecond);

        bindLitProgram(game, &projection, item->preview.translation);
        float highlight = item == game->hoveredItem || item == game->heldItem ? 1.0f : 0.0f;
        gRenderer.sendFloatToShaderInRenderer(state(), light, "highlight", highlight);
        drawObject(&item->gpu, &item->texture->id, item->preview.translation, item->preview.scale, rotation, &view);
    }
    depthOn();
    gRenderer.setScissorOnRenderer(state(), 0, 0, static_cast<int32_t>(game->clientWidth),
                                   static_cast<int32_t>(game->clientHeight));
    gRenderer.setViewPortOnRenderer(state(), 0, 0, static_cast<int32_t>(game->clientWidth),
                                    static_cast<int32_t>(game->clientHeight));
}

const char* textOf(const GameState* game, int32_t id) { return languageText(&game->language, id); }

} // namespace

bool isTwoUnsignedFormat(const char* format) {
    int conversions = 0;
    for (const char* c = format; *c; ++c) {
        if (*c != '%') continue;
        ++c;
        if (*c == '%') continue;
        // Flags and a small width are fine; anything but u is not.
        while (*c == '-' || *c == '0' || *c == ' ' || *c == '+') ++c;
        for (int digits = 0; *c >= '0' && *c <= '9'; ++c)
            if (++digits > 2) return false;
        if (*c != 'u') return false;
        ++conversions;
    }
    return conversions == 2;
}

namespace {

// A label: the text of its id when there is one, else the given name.
void drawLabel(GameState* game, FontAtlas* font, float x, float y, float width, float height, int32_t id,
               const char* name) {
    const char* text = id >= 0 ? textOf(game, id) : nullptr;
    if (!text) text = name;
    if (!text) return;
    drawGuiTextLiteral(&game->gui, font, x, y, width, height, kTextColor, TEXT_ALIGN_WRAP, text);
}

void drawTexts(GameState* game) {
    GuiContext* gui = &game->gui;
    float cx = cursorDesignX(game), cy = cursorDesignY(game);

    Entity* item = game->heldItem ? game->heldItem : game->hoveredItem;
    if (item) {
        drawLabel(game, &game->largeFont, cx, cy, 300, 60, item->id, item->name);
        if (item->id == lookUpNameId(&game->names, "paperNote")) {
            drawGuiRectangle(gui, 40, 130, 620, 100, kPanelGrey);
            const char* note = textOf(game, TEXT_ID_PAPER_NOTE);
            if (note) drawGuiTextLiteral(gui, &game->smallFont, 50, 130, 600, 100, kTextColor, TEXT_ALIGN_WRAP, note);
        }
    }

    for (uint32_t i = 0; i < game->worldCount; ++i)
        if (game->world[i]->monitorIndex != NO_MONITOR)
            drawLabel(game, &game->smallFont, cx, cy, 300, 30, game->world[i]->id, game->world[i]->name);
    float shiftX = game->heldItem ? 15.0f : 0.0f, shiftY = game->heldItem ? -30.0f : 0.0f;
    for (uint32_t i = 0; i < game->interactableCount; ++i) {
        const Interactable* object = &game->interactables[i];
        if (object->monitorIndex == NO_MONITOR) continue;
        drawLabel(game, &game->smallFont, cx + shiftX, cy + shiftY, 300, 30, lookUpNameId(&game->names, object->name),
                  object->name);
    }
    for (uint32_t c = 0; c < game->cameraCount; ++c)
        if (game->cameras[c].monitorIndex != NO_MONITOR)
            drawLabel(game, &game->smallFont, cx, cy, 300, 30, -1, game->cameras[c].name);

    if (game->endReached || game->paused) {
        const char* title = game->endReached ? textOf(game, TEXT_ID_END) : "PAUSE";
        if (title)
            drawGuiTextLiteral(gui, &game->largeFont, kDesignWidth / 2 - 300, 500, 600, 60, kTextColor,
                               TEXT_ALIGN_CENTRE, title);
        const char* label = textOf(game, TEXT_ID_MENU_BUTTON);
        drawGuiWidgetLiteral(gui, &game->menuButton, kMenuButtonStyles, label ? label : "");
    } else if (game->hintStep < HINT_FINAL_STEP) {
        drawGuiRectangle(gui, kDesignWidth / 2 - 10, 100, 620, 100, kPanelGrey);
        const char* hint = textOf(game, TEXT_ID_FIRST_HINT + game->hintStep);
        if (hint)
            drawGuiTextLiteral(gui, &game->smallFont, kDesignWidth / 2, 100, 600, 100, kTextColor, TEXT_ALIGN_CENTRE,
                               hint);
    }

    if (game->typedCount > 0) {
        char digits[KEYPAD_CODE_LENGTH + 1];
        for (uint32_t i = 0; i < game->typedCount; ++i) digits[i] = game->typedDigits[i];
        digits[game->typedCount] = 0;
        drawGuiTextLiteral(gui, &game->largeFont, 100, 500, 600, 100, kDigitColor, TEXT_ALIGN_WRAP, digits);
    }

    // The counter's text is a format from the language file: used as one only when it
    // asks for exactly the two numbers it is given.
    const char* progress = textOf(game, TEXT_ID_PROGRESS);
    if (progress && isTwoUnsignedFormat(progress))
        drawGuiText(gui, &game->smallFont, 100, 650, 300, 60, kTextColor, TEXT_ALIGN_WRAP, progress, game->doneCount,
                    game->requiredCount);
    else if (progress)
        drawGuiTextLiteral(gui, &game->smallFont, 100, 650, 300, 60, kTextColor, TEXT_ALIGN_WRAP, progress);
}

} // namespace

float cursorDesignX(const GameState* game) {
    float x, y;
    guiWindowToDesign(&game->gui, game->input.cursorX, game->input.cursorY, &x, &y);
    return x;
}

float cursorDesignY(const GameState* game) {
    float x, y;
    guiWindowToDesign(&game->gui, game->input.cursorX, game->input.cursorY, &x, &y);
    return y;
}

void drawInteractables(GameState* game, const Mat4* view) {
    for (uint32_t i = 0; i < game->interactableCount; ++i) {
        Interactable* object = &game->interactables[i];
        for (uint32_t k = 0; k < object->subMeshCount; ++k) {
            SubMesh* sub = &object->subMeshes[k];
            drawObject(&sub->gpu, &sub->texture->id, object->position, Vec3{1, 1, 1}, identityQuaternion(), view);
        }
    }
}

void setRenderPassObserver(RenderPassObserver observer) { gObserver = observer; }

namespace {

// The room's finished picture: the scene smoothed, with the room's bloom added, into
// its picture target, which is kept for the frames where the room does not change.
// Every frame copies the kept picture to the back buffer: drawn straight into the back
// buffer, the picture could differ from the kept one by a rounding.
void drawFinalPicture(GameState* game, const RoomTargets& room) {
    postPass(game, &game->shaders.finalBlur, room.picture, colorOf(room.scene), colorOf(room.bloomA));
}

// The back buffer at the start of what is drawn into it: the whole of it, and a depth
// that nothing of an earlier frame hides the inventory previews and texts behind.
void beginBackBuffer(GameState* game) {
    int32_t width = static_cast<int32_t>(game->clientWidth), height = static_cast<int32_t>(game->clientHeight);
    gRenderer.setScissorOnRenderer(state(), 0, 0, width, height);
    gRenderer.setViewPortOnRenderer(state(), 0, 0, width, height);
    gRenderer.clearDepthOnRenderer(state());
}

// The kept picture into the back buffer: copied texel for texel, or, the half-size one,
// enlarged with filtering by the unlit program.
void copyFinalPicture(GameState* game, bool halfSize) {
    ShaderRecord* copy = halfSize ? &game->shaders.basicFixed : &game->shaders.copy;
    gRenderer.enableDepthTestOnRenderer(state(), false);
    gRenderer.enableDepthMaskOnRenderer(state(), false);
    gRenderer.bindShaderInRenderer(state(), copy);
    gRenderer.sendMatrix4x4ToShaderInRenderer(state(), copy, "projMat", game->guiProjection.m);
    const FrameBufferRecord* kept = halfSize ? &game->targets.halfPicture : &game->targets.finalPicture;
    BoundTexture picture = {static_cast<int32_t>(colorOf(kept))};
    drawObject(&game->unitQuadGpu, &picture.id, Vec3{0, 0, 0}, Vec3{kDesignWidth, kDesignHeight, 1},
               identityQuaternion(), &game->guiView);
    depthOn();
}

} // namespace

void renderFrame(GameState* game) {
    if (game->cameraCount == 0 || !game->targets.scene.textures) return;
    beginGuiFrame(&game->gui);

    // The views, each only when what it shows can have changed since it was drawn.
    ViewCache* cache = &game->viewCache;
    bool roomChanged = cache->drawEverything || cache->roomKey == 0;
    for (uint32_t k = 0; k < MONITOR_COUNT; ++k) {
        uint64_t key = monitorViewKey(game, k);
        if (!cache->drawEverything && key == cache->monitorKeys[k]) continue;
        drawMonitorView(game, k);
        cache->monitorKeys[k] = key;
        roomChanged = true;
    }
    // The head turns when the player's view is not the last frame's.
    bool turning = cache->playerViewKnown && memcmp(&cache->lastPlayerView, &game->player.view, sizeof(Mat4)) != 0;
    cache->lastPlayerView = game->player.view;
    cache->playerViewKnown = true;
    uint64_t roomKey = roomViewKey(game, cache->monitorKeys);
    if (roomChanged || roomKey != cache->roomKey || (cache->roomHalfSize && !turning)) {
        RoomTargets room = roomTargets(game, turning);
        drawMainView(game, room);
        drawFinalPicture(game, room);
        cache->roomKey = roomKey;
        cache->roomHalfSize = turning;
    }

    // Every frame: the room's picture, the inventory previews, the texts and menus.
    beginBackBuffer(game);
    copyFinalPicture(game, cache->roomHalfSize);
    observe("finalPicture", nullptr);
    drawInventory(game);
    observe("inventory", nullptr);
    drawTexts(game);
    observe("texts", nullptr);
    gRenderer.setScissorOnRenderer(state(), 0, 0, static_cast<int32_t>(game->clientWidth),
                                   static_cast<int32_t>(game->clientHeight));
}
