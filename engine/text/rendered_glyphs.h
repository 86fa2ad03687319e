// Glyph bitmaps kept from the load that measured them, for the page copy that follows:
// hinting a TrueType glyph (FreeType's bytecode interpreter) costs far more than
// rendering it, so a build that loads a glyph once with FT_LOAD_RENDER and keeps its
// bitmap does half the work of one that loads it again to render it.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct FT_GlyphSlotRec_;

// One glyph's bitmap as FreeType rendered it (any pixel mode, its own pitch).
struct GlyphBitmap {
    const uint8_t* buffer; // null for a glyph with no pixels
    int32_t rows;
    int32_t width;
    int32_t pitch; // bytes from one row to the next, negative for a bottom-up buffer
    uint8_t pixelMode;
    int32_t left; // bitmap left
    int32_t top;  // bitmap top
};

struct RenderedGlyph {
    uint32_t code;
    int32_t rows, width, pitch, left, top;
    uint8_t pixelMode;
    size_t offset; // of the bitmap's first byte in the shared block
    bool hasPixels;
};

struct RenderedGlyphs {
    RenderedGlyph* glyphs;
    uint32_t count;
    uint32_t capacity;
    uint8_t* bytes;
    size_t byteCount;
    size_t byteCapacity;
    bool sorted; // by code, once looked up
};

// The bitmap in the slot of the glyph just loaded with FT_LOAD_RENDER.
GlyphBitmap slotBitmap(const FT_GlyphSlotRec_* slot);

// Keeps a copy of the bitmap under its code point. False (nothing kept) when memory
// runs out: the glyph is then rendered again at the copy.
bool keepRenderedGlyph(RenderedGlyphs* kept, uint32_t code, const GlyphBitmap* bitmap);

// The kept bitmap of a code point; false when there is none.
bool findRenderedGlyph(RenderedGlyphs* kept, uint32_t code, GlyphBitmap* out);

void releaseRenderedGlyphs(RenderedGlyphs* kept);
