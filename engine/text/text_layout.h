// Text layout: code points placed with a font atlas inside a box, line by line, in
// one of six alignment modes, into one mesh per atlas page (vertex format 8: 2D
// position, texture coordinate, RGBA colour), ready for the text shader.
#pragma once

#include "engine/text/font_atlas.h"

#include <stdint.h>

// What happens when a line ends at a line feed, and when the next glyph would cross
// the box's width.
enum TextAlignment : int32_t {
    TEXT_ALIGN_CUT = 0,         // the glyph starts the next line
    TEXT_ALIGN_BREAK_WORDS = 1, // the line's last character becomes "-" and moves on
    TEXT_ALIGN_WRAP = 2,        // word wrap (French-aware hyphenation), left aligned
    TEXT_ALIGN_RIGHT = 3,       // word wrap, every line right aligned
    TEXT_ALIGN_CENTRE = 4,      // word wrap, every line centred
    TEXT_ALIGN_JUSTIFY = 5,     // word wrap, wrapped lines justified, paragraph ends left
    TEXT_ALIGN_COUNT = 6,
};

struct TextLayoutBox {
    int32_t width; // pixels
    int32_t top;   // y of the box's top edge, pixels, y growing upwards
    FontAtlas* font;
    float color[4];
    int32_t alignment; // TextAlignment
};

struct TextMesh {
    float* vertices;
    uint32_t vertexFloatCount;
    uint32_t vertexFloatCapacity;
    uint32_t* indices;
    uint32_t indexCount;
    uint32_t indexCapacity;
    int32_t vertexFormat;
};

// One mesh per atlas page, grown to the atlas's page count by each layout.
struct TextMeshes {
    TextMesh* meshes;
    uint32_t count;
    uint32_t capacity;
};

struct TextSize {
    int32_t width;  // widest line, pixels
    int32_t height; // lines x the font's line height
};

#define TEXT_VERTEX_FORMAT 8

// Lays out count code points (carriage returns are skipped, line feeds end lines).
// True when every glyph was in the atlas; otherwise every missing code point from the
// first missing one on is queued in the atlas once, and false is returned without
// meshes. An atlas without a face first gets the default font. On success sizeOut,
// when given, receives the text's size.
bool layoutText(const uint32_t* codes, uint32_t count, const TextLayoutBox* box, TextMeshes* meshes,
                TextSize* sizeOut);

void releaseTextMeshes(TextMeshes* meshes);

// Vertex count of a text mesh (its float count over the format's floats per vertex).
uint32_t textMeshVertexCount(const TextMesh* mesh);
