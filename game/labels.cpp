#include "game/labels.h"

#include "engine/text/gui.h"
#include "engine/text/name_ids.h"
#include "engine/text/text_layout.h"
#include "engine/text/utf8_decode.h"
#include "game/feedback.h"
#include "game/picking.h"
#include "game/rendering.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

const float kDesignWidth = GUI_DESIGN_WIDTH;
const float kDesignHeight = GUI_DESIGN_HEIGHT;

// The fixed texts and panels of the frame (design space).
const LabelBox kHintPanel = {kDesignWidth / 2 - 10, 100, 620, 100};
const LabelBox kCounterBox = {100, 650, 300, 60};
const LabelBox kDigitsBox = {100, 540, 150, 60};
const LabelBox kNotePanel = {40, 130, 620, 100};
const float kSlotWidth = 96.0f;
const float kSlotHeight = 128.0f;

// A label stands this far from the cursor's point, so that the point stays in view,
// and further below it, where the pointer's arrow is.
const float kCursorGap = 14.0f;
const float kPointerDepth = 22.0f;
const float kPadX = 7.0f;
const float kPadY = 3.0f;
const float kSmallLabelWidth = 300.0f;
const float kItemLabelWidth = 300.0f;
// Margin kept between a label and a box it keeps clear of, and from the screen edge.
const float kClearance = 4.0f;
// Below this size on screen, a named thing is avoided with a margin as wide as itself.
const float kSmallThing = 60.0f;

const float kPanelColour[4] = {0.04f, 0.05f, 0.07f, 0.78f};
const float kLabelColour[4] = {0.95f, 0.95f, 0.95f, 1.0f};
const float kFeedbackColour[4] = {1.0f, 0.8f, 0.35f, 1.0f};

float right(const LabelBox* b) { return b->x + b->width; }
float top(const LabelBox* b) { return b->y + b->height; }

LabelBox clampToScreen(LabelBox b) {
    if (b.x + b.width > kDesignWidth - kClearance) b.x = kDesignWidth - kClearance - b.width;
    if (b.y + b.height > kDesignHeight - kClearance) b.y = kDesignHeight - kClearance - b.height;
    if (b.x < kClearance) b.x = kClearance;
    if (b.y < kClearance) b.y = kClearance;
    return b;
}

LabelBox grown(const LabelBox* b, float by) { return LabelBox{b->x - by, b->y - by, b->width + 2 * by, b->height + 2 * by}; }

struct Candidate {
    LabelBox box;
    float blocked; // overlap with boxes to keep clear of
    float cost;
};

void consider(Candidate* best, LabelBox box, float cursorX, float cursorY, const LabelBox* keepClear,
              uint32_t keepClearCount, const LabelBox* avoid, int order) {
    box = clampToScreen(box);
    float blocked = 0.0f;
    for (uint32_t i = 0; i < keepClearCount; ++i) {
        LabelBox margin = grown(&keepClear[i], kClearance * 0.5f);
        blocked += labelOverlapArea(&box, &margin);
    }
    // Near the cursor first; covering the named thing costs as much as moving a long way.
    float cx = box.x + box.width / 2, cy = box.y + box.height / 2;
    float distance = sqrtf((cx - cursorX) * (cx - cursorX) + (cy - cursorY) * (cy - cursorY));
    float cost = distance + 0.01f * order;
    if (avoid) cost += 0.25f * labelOverlapArea(&box, avoid);
    // The point the cursor rests on stays visible.
    LabelBox point = {cursorX - 4, cursorY - 4, 8, 8};
    cost += 50.0f * labelOverlapArea(&box, &point);
    bool better = blocked < best->blocked || (blocked == best->blocked && cost < best->cost);
    if (better) *best = Candidate{box, blocked, cost};
}

bool isPaperNote(const GameState* game, const Entity* item) {
    return item && item->id == lookUpNameId(&game->names, "paperNote");
}

const char* textOrName(const GameState* game, int32_t id, const char* name) {
    const char* text = id >= 0 ? languageText(&game->language, id) : nullptr;
    return text ? text : name;
}

// The text's size in design units, wrapped at maxWidth; false when it cannot be laid out.
bool measureText(GameState* game, FontAtlas* font, const char* text, float maxWidth, float* width, float* height) {
    static uint32_t codes[256];
    static TextMeshes meshes;
    GuiContext* gui = &game->gui;
    if (!text || !text[0] || gui->viewportWidth <= 0 || gui->viewportHeight <= 0) return false;
    // A label longer than the buffer is measured by its beginning, and drawn clipped.
    size_t bytes = strlen(text);
    char cut[sizeof(codes) / sizeof(codes[0])];
    if (bytes >= sizeof(cut)) {
        memcpy(cut, text, sizeof(cut) - 1);
        cut[sizeof(cut) - 1] = 0;
        text = cut;
    }
    uint32_t count = decodeUtf8(text, codes, sizeof(codes) / sizeof(codes[0]));
    float toDesignX = kDesignWidth / static_cast<float>(gui->viewportWidth);
    float toDesignY = kDesignHeight / static_cast<float>(gui->viewportHeight);
    TextLayoutBox box = {static_cast<int32_t>(maxWidth / toDesignX), 0, font, {1, 1, 1, 1}, TEXT_ALIGN_WRAP};
    TextSize size = {0, 0};
    if (font->pendingCount) addPendingGlyphs(font);
    if (!layoutText(codes, count, &box, &meshes, &size)) {
        addPendingGlyphs(font);
        if (!layoutText(codes, count, &box, &meshes, &size)) return false;
    }
    *width = static_cast<float>(size.width) * toDesignX;
    *height = static_cast<float>(size.height) * toDesignY;
    return size.width > 0 && size.height > 0;
}

// Measures a label and places it among the reserved boxes and the labels placed so far.
void addLabel(GameState* game, LabelLayout* layout, LabelKind kind, FontAtlas* font, const char* text,
              float maxWidth, float cursorX, float cursorY, const LabelBox* thing, const LabelBox* alsoAvoid) {
    if (layout->count >= LABEL_CAPACITY || !text) return;
    float width, height;
    if (!measureText(game, font, text, maxWidth, &width, &height)) return;
    LabelBox keepClear[LABEL_RESERVED_CAPACITY + LABEL_CAPACITY];
    uint32_t n = 0;
    for (uint32_t i = 0; i < layout->reservedCount; ++i) keepClear[n++] = layout->reserved[i];
    for (uint32_t i = 0; i < layout->count; ++i) keepClear[n++] = layout->labels[i].panel;
    // What is named is kept clear if possible; a dragged item's picture too.
    LabelBox avoid = {0, 0, 0, 0};
    bool hasAvoid = thing || alsoAvoid;
    if (thing && alsoAvoid) {
        float x0 = fminf(thing->x, alsoAvoid->x), y0 = fminf(thing->y, alsoAvoid->y);
        float x1 = fmaxf(right(thing), right(alsoAvoid)), y1 = fmaxf(top(thing), top(alsoAvoid));
        avoid = LabelBox{x0, y0, x1 - x0, y1 - y0};
    } else if (hasAvoid) {
        avoid = thing ? *thing : *alsoAvoid;
    }
    PlacedLabel* label = &layout->labels[layout->count++];
    label->kind = kind;
    label->text = text;
    label->font = font;
    label->namesThing = thing != nullptr;
    label->thing = thing ? *thing : LabelBox{0, 0, 0, 0};
    placeLabel(cursorX, cursorY, width + 2 * kPadX, height + 2 * kPadY, keepClear, n, hasAvoid ? &avoid : nullptr,
               &label->panel);
}

void drawPanelled(GameState* game, const PlacedLabel* label) {
    const LabelBox* p = &label->panel;
    drawGuiRectangle(&game->gui, p->x, p->y, p->width, p->height, kPanelColour);
    const float* colour = label->kind == LABEL_FEEDBACK ? kFeedbackColour : kLabelColour;
    // A little slack on the width: the measured width is the text's, and the layout
    // must not wrap it again at the edge.
    drawGuiTextLiteral(&game->gui, label->font, p->x + kPadX, p->y + kPadY, p->width - 2 * kPadX + 4,
                       p->height - 2 * kPadY, colour, TEXT_ALIGN_WRAP, label->text);
}

} // namespace

float labelOverlapArea(const LabelBox* a, const LabelBox* b) {
    float w = fminf(right(a), right(b)) - fmaxf(a->x, b->x);
    float h = fminf(top(a), top(b)) - fmaxf(a->y, b->y);
    return w > 0 && h > 0 ? w * h : 0.0f;
}

bool labelBoxesOverlap(const LabelBox* a, const LabelBox* b) { return labelOverlapArea(a, b) > 0.0f; }

bool placeLabel(float cursorX, float cursorY, float width, float height, const LabelBox* keepClear,
                uint32_t keepClearCount, const LabelBox* thing, LabelBox* placed) {
    // A small thing is kept in view with what lies around it: a key of the keypad with
    // the keys beside it, which the player looks for next.
    LabelBox around = {0, 0, 0, 0};
    const LabelBox* avoid = nullptr;
    if (thing) {
        float size = fmaxf(thing->width, thing->height);
        around = size < kSmallThing ? grown(thing, size) : *thing;
        avoid = &around;
    }
    Candidate best = {{0, 0, width, height}, 1e30f, 1e30f};
    LabelBox bases[8];
    uint32_t baseCount = 0;
    bases[baseCount++] = {cursorX + kCursorGap, cursorY + kCursorGap, width, height};          // above right
    bases[baseCount++] = {cursorX - kCursorGap - width, cursorY + kCursorGap, width, height};  // above left
    bases[baseCount++] = {cursorX - kCursorGap - width, cursorY - kCursorGap - height, width, height}; // below left
    bases[baseCount++] = {cursorX + kPointerDepth, cursorY - kPointerDepth - height, width, height};  // below right
    if (avoid) {
        bases[baseCount++] = {cursorX - width / 2, top(avoid) + kCursorGap, width, height};
        bases[baseCount++] = {cursorX - width / 2, avoid->y - kPointerDepth - height, width, height};
        bases[baseCount++] = {avoid->x - kCursorGap - width, cursorY - height / 2, width, height};
        bases[baseCount++] = {right(avoid) + kCursorGap, cursorY - height / 2, width, height};
    }
    int order = 0;
    for (uint32_t b = 0; b < baseCount; ++b) {
        consider(&best, bases[b], cursorX, cursorY, keepClear, keepClearCount, avoid, order++);
        // Pushed out of each box it would cover, to every side, and once more out of
        // the next box the push lands it on.
        LabelBox start = clampToScreen(bases[b]);
        for (uint32_t i = 0; i < keepClearCount; ++i) {
            const LabelBox* r = &keepClear[i];
            if (!labelBoxesOverlap(&start, r)) continue;
            LabelBox pushed[4] = {{start.x, top(r) + kClearance, width, height},
                                  {start.x, r->y - kClearance - height, width, height},
                                  {r->x - kClearance - width, start.y, width, height},
                                  {right(r) + kClearance, start.y, width, height}};
            for (const LabelBox& p : pushed) {
                consider(&best, p, cursorX, cursorY, keepClear, keepClearCount, avoid, order++);
                LabelBox again = clampToScreen(p);
                for (uint32_t j = 0; j < keepClearCount; ++j) {
                    const LabelBox* s = &keepClear[j];
                    if (j == i || !labelBoxesOverlap(&again, s)) continue;
                    LabelBox twice[4] = {{again.x, top(s) + kClearance, width, height},
                                         {again.x, s->y - kClearance - height, width, height},
                                         {s->x - kClearance - width, again.y, width, height},
                                         {right(s) + kClearance, again.y, width, height}};
                    for (const LabelBox& q : twice)
                        consider(&best, q, cursorX, cursorY, keepClear, keepClearCount, avoid, order++);
                }
            }
        }
    }
    *placed = best.box;
    return best.blocked == 0.0f;
}

void reservedLabelBoxes(const GameState* game, LabelBox* out, uint32_t* count) {
    uint32_t n = 0;
    if (!game->endReached && !game->paused && game->hintStep < HINT_FINAL_STEP) out[n++] = kHintPanel;
    out[n++] = kCounterBox;
    if (game->typedCount > 0) out[n++] = kDigitsBox;
    const Entity* item = game->heldItem ? game->heldItem : game->hoveredItem;
    if (isPaperNote(game, item)) out[n++] = kNotePanel;
    if (game->inventoryCount > 0) out[n++] = LabelBox{0, 0, kSlotWidth * static_cast<float>(game->inventoryCount), kSlotHeight};
    *count = n;
}

bool thingOnScreen(const GameState* game, uint32_t monitor, PickKind kind, uint32_t index, LabelBox* box) {
    if (monitor >= MONITOR_COUNT || game->cameraCount == 0) return false;
    PickBox world;
    if (kind == PICK_INTERACTABLE && index < game->interactableCount) {
        const Interactable* object = &game->interactables[index];
        PickBox local = meshPickBox(&object->pickMesh);
        Quat none = identityQuaternion();
        world = placedPickBox(&local, object->position, Vec3{1, 1, 1}, &none);
    } else if (kind == PICK_ENTITY && index < game->entityCount) {
        const Entity* entity = &game->entities[index];
        PickBox local = meshPickBox(&entity->mesh);
        world = placedPickBox(&local, entity->world.translation, entity->world.scale, &entity->world.rotation);
    } else if (kind == PICK_CAMERA && index < game->cameraCount) {
        PickBox local = meshPickBox(&game->cameraMesh);
        world = placedPickBox(&local, game->cameras[index].position, game->cameraModelScale, &game->cameraModelRotation);
    } else {
        return false;
    }
    if (world.lo.x > world.hi.x) return false;
    const SecurityCamera* camera = &game->cameras[game->monitors[monitor].camera];
    float u0 = 1, v0 = 1, u1 = 0, v1 = 0;
    for (int i = 0; i < 8; ++i) {
        Vec3 corner = {(i & 1) ? world.hi.x : world.lo.x, (i & 2) ? world.hi.y : world.lo.y,
                       (i & 4) ? world.hi.z : world.lo.z};
        float u, v;
        if (!worldToPanel(camera, corner, &u, &v)) {
            // Reaching behind the camera, it may cover any part of the picture.
            u0 = v0 = 0;
            u1 = v1 = 1;
            break;
        }
        u0 = fminf(u0, u), v0 = fminf(v0, v), u1 = fmaxf(u1, u), v1 = fmaxf(v1, v);
    }
    u0 = fmaxf(u0, 0.0f), v0 = fmaxf(v0, 0.0f), u1 = fminf(u1, 1.0f), v1 = fminf(v1, 1.0f);
    if (u0 >= u1 || v0 >= v1) return false;
    // The picture's rectangle lands on the tilted panel as a quadrilateral: its box.
    float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
    for (int i = 0; i < 4; ++i) {
        int32_t px, py;
        if (!panelToCursor(game, &game->monitors[monitor].panel, (i & 1) ? u1 : u0, (i & 2) ? v1 : v0, &px, &py))
            return false;
        float dx, dy;
        guiWindowToDesign(&game->gui, px, py, &dx, &dy);
        x0 = fminf(x0, dx), y0 = fminf(y0, dy), x1 = fmaxf(x1, dx), y1 = fmaxf(y1, dy);
    }
    *box = LabelBox{x0, y0, x1 - x0, y1 - y0};
    return true;
}

void layOutLabels(GameState* game, LabelLayout* layout) {
    layout->count = 0;
    reservedLabelBoxes(game, layout->reserved, &layout->reservedCount);
    if (game->endReached || game->paused) return;
    float cx = cursorDesignX(game), cy = cursorDesignY(game);

    // A dragged item's picture follows the cursor by its grab offset.
    LabelBox dragged = {0, 0, 0, 0};
    if (game->heldItem) dragged = LabelBox{cx - game->grabOffset.x, cy - game->grabOffset.y, kSlotWidth, kSlotHeight};
    const LabelBox* draggedBox = game->heldItem ? &dragged : nullptr;

    int32_t feedback = currentFeedback(game);
    if (feedback >= 0)
        addLabel(game, layout, LABEL_FEEDBACK, &game->smallFont, languageText(&game->language, feedback),
                 kSmallLabelWidth, cx, cy, nullptr, draggedBox);

    Entity* item = game->heldItem ? game->heldItem : game->hoveredItem;
    if (item) {
        LabelBox slot = {0, 0, 0, 0};
        const LabelBox* itemBox = draggedBox;
        for (uint32_t k = 0; k < game->inventoryCount && !itemBox; ++k)
            if (game->inventory[k] == item) {
                slot = LabelBox{kSlotWidth * static_cast<float>(k), 0, kSlotWidth, kSlotHeight};
                itemBox = &slot;
            }
        addLabel(game, layout, LABEL_ITEM, &game->largeFont, textOrName(game, item->id, item->name), kItemLabelWidth,
                 cx, cy, itemBox, nullptr);
    }

    for (uint32_t i = 0; i < game->worldCount; ++i) {
        Entity* entity = game->world[i];
        if (entity->monitorIndex == NO_MONITOR) continue;
        LabelBox thing;
        bool seen = thingOnScreen(game, static_cast<uint32_t>(entity->monitorIndex), PICK_ENTITY,
                                  static_cast<uint32_t>(entity - game->entities), &thing);
        addLabel(game, layout, LABEL_OBJECT, &game->smallFont, textOrName(game, entity->id, entity->name),
                 kSmallLabelWidth, cx, cy, seen ? &thing : nullptr, draggedBox);
    }
    for (uint32_t i = 0; i < game->interactableCount; ++i) {
        const Interactable* object = &game->interactables[i];
        if (object->monitorIndex == NO_MONITOR) continue;
        LabelBox thing;
        bool seen = thingOnScreen(game, static_cast<uint32_t>(object->monitorIndex), PICK_INTERACTABLE, i, &thing);
        addLabel(game, layout, LABEL_OBJECT, &game->smallFont,
                 textOrName(game, lookUpNameId(&game->names, object->name), object->name), kSmallLabelWidth, cx, cy,
                 seen ? &thing : nullptr, draggedBox);
    }
    for (uint32_t c = 0; c < game->cameraCount; ++c) {
        const SecurityCamera* camera = &game->cameras[c];
        if (camera->monitorIndex == NO_MONITOR) continue;
        LabelBox thing;
        bool seen = thingOnScreen(game, static_cast<uint32_t>(camera->monitorIndex), PICK_CAMERA, c, &thing);
        addLabel(game, layout, LABEL_OBJECT, &game->smallFont, camera->name, kSmallLabelWidth, cx, cy,
                 seen ? &thing : nullptr, draggedBox);
    }
}

void drawLabels(GameState* game) {
    LabelLayout layout;
    layOutLabels(game, &layout);
    for (uint32_t i = 0; i < layout.count; ++i) drawPanelled(game, &layout.labels[i]);
}

void drawCounterBacking(GameState* game) {
    const char* format = languageText(&game->language, TEXT_ID_PROGRESS);
    if (!format) return;
    char text[128];
    if (isTwoUnsignedFormat(format)) snprintf(text, sizeof(text), format, game->doneCount, game->requiredCount);
    else snprintf(text, sizeof(text), "%s", format);
    float width, height;
    if (!measureText(game, &game->smallFont, text, kCounterBox.width, &width, &height)) return;
    // The counter's text hangs from the top of its box, left aligned.
    drawGuiRectangle(&game->gui, kCounterBox.x - kPadX, top(&kCounterBox) - height - kPadY, width + 2 * kPadX,
                     height + 2 * kPadY, kPanelColour);
}

void drawMenuScreenBacking(GameState* game) {
    // The title's box is 600 x 60 at (640 - 300, 500); the pause line's 600 x 40 at 440.
    float bottom = game->paused && !game->endReached ? 430.0f : 490.0f;
    drawGuiRectangle(&game->gui, kDesignWidth / 2 - 320, bottom, 640, 575 - bottom, kPanelColour);
}

void drawPauseResumeLine(GameState* game) {
    const char* text = languageText(&game->language, TEXT_ID_PAUSE_RESUME);
    if (!text) return;
    drawGuiTextLiteral(&game->gui, &game->smallFont, kDesignWidth / 2 - 300, 440, 600, 40, kLabelColour,
                       TEXT_ALIGN_CENTRE, text);
}
