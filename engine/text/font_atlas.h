// A font at one pixel size: a TrueType face opened with FreeType over a file held in
// memory, and single-channel atlas pages holding every glyph the texts asked for.
// Glyphs arrive through the pending list: layout queues the code points it lacks,
// addPendingGlyphs adds them and rebuilds every page from scratch.
#pragma once

#include "backend/renderer_types.h"

#include <stdint.h>

struct FT_FaceRec_;

#define FONT_ATLAS_SMOOTH 0x01u // flags bit: pages filter linearly; clear: nearest
// flags bit: layout found no face and the default font could not be opened either; it
// is not read again for every text of every frame.
#define FONT_ATLAS_DEFAULT_FONT_FAILED 0x80u
#define ATLAS_FIRST_PAGE_SIZE 128
#define ATLAS_LARGEST_PAGE_SIZE 4096
#define DEFAULT_FONT_PATH "data/corvex/fonts/Rubik-Regular.ttf"

struct AtlasPoint {
    int32_t x;
    int32_t y;
};

struct AtlasPage {
    uint32_t texture; // RENDERER_INVALID_ID until the first upload
    TextureDescription description;
};

// The glyph tables (codes .. bearings) are parallel arrays of glyphCount entries,
// ordered page by page; glyphsPerPage says how many belong to each page.
struct FontAtlas {
    uint32_t pixelSize;
    uint32_t pageCount;
    uint32_t glyphCount;
    uint8_t flags;
    AtlasPage* pages;
    int32_t* glyphsPerPage;
    uint32_t* codes;
    AtlasPoint* atlasPositions; // lower-left texel of the bitmap in its page
    AtlasPoint* sizes;          // glyph box from the font metrics, pixels
    AtlasPoint* advances;       // pen advance, pixels
    AtlasPoint* bearings;       // bitmap left, bitmap top - rows
    uint32_t pendingCount;
    uint32_t pendingCapacity;
    uint32_t* pending; // code points asked for and not yet in the tables
    uint8_t* fileData; // the font file, kept for FreeType, which reads the face from it
    FT_FaceRec_* face; // null until a font file opened
    uint32_t glyphCapacity;
};

// What layout needs of one glyph.
struct GlyphInfo {
    uint32_t page;
    float u, v;   // lower-left texture coordinate
    float du, dv; // texture size
    AtlasPoint size;
    AtlasPoint advance;
    AtlasPoint bearing;
};

// Zero record: no face, no page, no glyph, nearest filtering.
FontAtlas emptyFontAtlas();

// The process-wide FreeType library, created on first use; false when FreeType fails.
bool ensureFreeType();

// Reads the whole file (relative to the module directory) and opens a face on it,
// replacing any face and file the atlas had. Returns FreeType's error code; 0 when
// the file cannot be read (the atlas is then left as it was, without a new face).
int32_t loadFontFile(FontAtlas* atlas, const char* path);

// The same from bytes the atlas takes over (allocated with new[]).
int32_t loadFontFromMemory(FontAtlas* atlas, uint8_t* data, uint32_t size);

// Sets the pixel size and reloads, sorts, packs and rasterises every glyph in the
// tables and every pending one (after a resize). Nothing without a face.
void rebuildFontAtlas(FontAtlas* atlas);

// Moves the pending code points into the tables, then packs and rasterises all pages.
// Without a face the pending list is dropped, as no glyph could be made.
void addPendingGlyphs(FontAtlas* atlas);

// Queues a code point for the next addPendingGlyphs, once.
void queuePendingGlyph(FontAtlas* atlas, uint32_t code);

// False (and *info untouched) when the code point is not in the tables.
bool lookUpGlyph(const FontAtlas* atlas, uint32_t code, GlyphInfo* info);

// Releases the face, the file, the tables and the page textures' ids (the textures
// go back to the backend when it is bound).
void releaseFontAtlas(FontAtlas* atlas);

// Sorts the glyph tables together by height, tallest first.
void sortGlyphsByHeight(FontAtlas* atlas);
