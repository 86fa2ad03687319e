// Where the texts at the cursor go: the names of the things pointed at through a
// monitor, the name of the inventory item under or dragged by the cursor, and the
// feedback of a refused action. Each sits on a dark backing panel, so it reads over
// light walls and dark rooms alike, near the cursor but never over the hint box, the
// counter, the typed digits, the paper note or the inventory bar, and where it can
// be, clear of the thing it names.
#pragma once

#include "game/game_state.h"

#include <stdint.h>

// A rectangle of the 1280 x 720 design space: lower-left corner and size, y up.
struct LabelBox {
    float x, y, width, height;
};

bool labelBoxesOverlap(const LabelBox* a, const LabelBox* b);
// Area the two share (0 when apart).
float labelOverlapArea(const LabelBox* a, const LabelBox* b);

enum LabelKind { LABEL_FEEDBACK, LABEL_ITEM, LABEL_OBJECT };

struct PlacedLabel {
    LabelKind kind;
    const char* text;
    FontAtlas* font;
    LabelBox panel; // the backing panel; the text sits inside it, padded
    bool namesThing;
    LabelBox thing; // where the named thing shows on screen, when namesThing
};

enum { LABEL_CAPACITY = 8, LABEL_RESERVED_CAPACITY = 8 };

struct LabelLayout {
    uint32_t reservedCount;
    LabelBox reserved[LABEL_RESERVED_CAPACITY]; // boxes no label may cover this frame
    uint32_t count;
    PlacedLabel labels[LABEL_CAPACITY];
};

// The lower-left corner of a width x height label for a cursor at (cursorX, cursorY):
// near the cursor and off the point it rests on, inside the screen, overlapping none
// of the keepClear boxes, and covering as little as it can of the thing it names
// (when given; a thing under 60 units with a margin as wide as itself around it).
// False when no such place was found (the best try is still returned).
bool placeLabel(float cursorX, float cursorY, float width, float height, const LabelBox* keepClear,
                uint32_t keepClearCount, const LabelBox* thing, LabelBox* placed);

// The boxes of this frame's fixed texts and panels that labels keep clear of.
void reservedLabelBoxes(const GameState* game, LabelBox* out, uint32_t* count);

// Where the thing hit through monitor k shows on screen (design space); false when it
// cannot be told (behind the camera).
bool thingOnScreen(const GameState* game, uint32_t monitor, PickKind kind, uint32_t index, LabelBox* box);

// This frame's labels, measured and placed (nothing while paused or at the end).
void layOutLabels(GameState* game, LabelLayout* layout);

// Draws this frame's labels with their panels.
void drawLabels(GameState* game);

// A backing panel under the counter's text, which the monitors' pictures behind it
// would otherwise swallow.
void drawCounterBacking(GameState* game);

// A dark panel behind the title of the pause or end screen (and, paused, the line
// under it), drawn before them so that they read over any picture.
void drawMenuScreenBacking(GameState* game);

// The pause screen's line under its title: Escape goes back to the game.
void drawPauseResumeLine(GameState* game);
