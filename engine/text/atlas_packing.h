// Placing glyph bitmaps in atlas pages: top-down shelves on pages that grow from
// 128 x 128 to the largest size before another page opens, and the copy of one
// rendered bitmap into its place. Both are free of FreeType and the backend.
#pragma once

#include "engine/text/font_atlas.h"

struct PackedPage {
    int32_t width;
    int32_t height;
    int32_t glyphCount;
};

struct AtlasPacking {
    PackedPage* pages;
    uint32_t pageCount;
    uint32_t pageCapacity;
};

// Packs glyphs of the given sizes (sorted tallest first) onto shelves, starting on the
// existing pages (their sizes; none means one fresh 128 x 128 page). A shelf takes
// glyphs left to right one texel apart while x + width + 1 stays below the page width;
// the next shelf starts one texel below the previous one. A full last page doubles up
// to maxSize (its glyphs laid out again) before a new 128 x 128 page is opened; a full
// page that has a successor hands over to it at its own size. A glyph too large even
// for an empty page of the largest size is placed on its own at the page's top left
// and clipped there. Writes each glyph's lower-left corner into positions and the
// pages' final sizes and glyph counts into out. False when memory runs out.
bool packGlyphs(const AtlasPoint* sizes, uint32_t glyphCount, const PackedPage* existing, uint32_t existingCount,
                int32_t maxSize, AtlasPoint* positions, AtlasPacking* out);

void releaseAtlasPacking(AtlasPacking* packing);

// Copies a rendered bitmap (row 0 on top, rows of `pitch` bytes, negative pitch for a
// bottom-up buffer) upside down into a bottom-up page, hanging it from the top of its
// shelf: position->y moves up by shelfHeight - rows first, so that bitmap row 0 lands
// at page row y + rows - 1. Texels outside the page are skipped; each texel is ORed
// into what is there.
void copyGlyphBitmap(uint8_t* page, int32_t pageWidth, int32_t pageHeight, AtlasPoint* position,
                     int32_t shelfHeight, const uint8_t* bitmap, int32_t rows, int32_t width, int32_t pitch);
