#include "engine/text/font_atlas.h"

#include "engine/assets/dyn_array.h"
#include "engine/platform/files.h"
#include "engine/assets/reader_limits.h"
#include "engine/program/program_state.h"
#include "engine/text/atlas_raster.h"
#include "engine/text/rendered_glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

FT_Library gFreeType;

// The glyph tables share one capacity, grown by the array rule. A table grown before
// another one failed only has room to spare; the capacity moves once all have grown.
bool reserveGlyphs(FontAtlas* atlas, uint32_t needed) {
    if (needed <= atlas->glyphCapacity) return true;
    uint32_t old = atlas->glyphCapacity;
    uint32_t capacity = grownCapacity(old, needed);
    if (!reallocateElements(&atlas->codes, old, capacity) || !reallocateElements(&atlas->atlasPositions, old, capacity) ||
        !reallocateElements(&atlas->sizes, old, capacity) || !reallocateElements(&atlas->advances, old, capacity) ||
        !reallocateElements(&atlas->bearings, old, capacity))
        return false;
    atlas->glyphCapacity = capacity;
    return true;
}

void swapGlyphs(FontAtlas* atlas, uint32_t a, uint32_t b) {
    uint32_t code = atlas->codes[a];
    atlas->codes[a] = atlas->codes[b];
    atlas->codes[b] = code;
    AtlasPoint* tables[4] = {atlas->atlasPositions, atlas->sizes, atlas->advances, atlas->bearings};
    for (AtlasPoint* table : tables) {
        AtlasPoint point = table[a];
        table[a] = table[b];
        table[b] = point;
    }
}

// Quicksort on [low, high] with the middle element as pivot; every glyph strictly
// taller than the pivot ends up before it. Recurses into the smaller side only, so
// the depth stays logarithmic even for a table of equal heights.
void quicksortByHeight(FontAtlas* atlas, int64_t low, int64_t high) {
    while (low < high) {
        int64_t middle = low + (high - low) / 2;
        swapGlyphs(atlas, static_cast<uint32_t>(middle), static_cast<uint32_t>(high));
        int32_t pivot = atlas->sizes[high].y;
        int64_t store = low;
        for (int64_t i = low; i < high; ++i) {
            if (atlas->sizes[i].y > pivot) {
                swapGlyphs(atlas, static_cast<uint32_t>(i), static_cast<uint32_t>(store));
                ++store;
            }
        }
        swapGlyphs(atlas, static_cast<uint32_t>(store), static_cast<uint32_t>(high));
        if (store - low < high - store) {
            quicksortByHeight(atlas, low, store - 1);
            low = store + 1;
        } else {
            quicksortByHeight(atlas, store + 1, high);
            high = store - 1;
        }
    }
}

void setFaceSize(FontAtlas* atlas) {
    // A minimised window asks for 0 pixels; FreeType refuses that size.
    uint32_t size = atlas->pixelSize ? atlas->pixelSize : 1;
    FT_Set_Pixel_Sizes(atlas->face, size, 0);
}

// Loads one glyph's metrics. The glyph is rendered right after (when its outline fits
// the atlas) and its bitmap kept for the page copy, so the page copy does not load it
// again: the metrics of a rendered load are those of a plain one.
void loadGlyphMetrics(FontAtlas* atlas, uint32_t glyph, RenderedGlyphs* kept) {
    FT_Face face = atlas->face;
    AtlasPoint zero = {0, 0};
    atlas->sizes[glyph] = zero;
    atlas->advances[glyph] = zero;
    atlas->bearings[glyph] = zero;
    atlas->atlasPositions[glyph] = zero;
    FT_UInt index = FT_Get_Char_Index(face, atlas->codes[glyph]);
    if (index >= static_cast<FT_UInt>(face->num_glyphs)) index = 0;
    // A glyph FreeType cannot load keeps zero metrics rather than another glyph's.
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0) return;
    const FT_GlyphSlot slot = face->glyph;
    int64_t width = slot->metrics.width >> 6, height = slot->metrics.height >> 6;
    // A box the atlas could not hold (or a negative one) stays empty, and the glyph is
    // never rendered (rendering would allocate a hostile outline's bitmap first); its
    // advance is kept.
    bool fits = glyphFitsAtlas(slot) && width >= 0 && height >= 0 && width <= READER_MAX_GLYPH_EDGE &&
                height <= READER_MAX_GLYPH_EDGE;
    if (fits) atlas->sizes[glyph] = AtlasPoint{static_cast<int32_t>(width), static_cast<int32_t>(height)};
    atlas->advances[glyph] = AtlasPoint{static_cast<int32_t>(slot->advance.x >> 6),
                                        static_cast<int32_t>(slot->advance.y >> 6)};
    // One that loads but cannot be rendered keeps its metrics; the page copy tries again.
    if (!fits || FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
    GlyphBitmap bitmap = slotBitmap(slot);
    keepRenderedGlyph(kept, atlas->codes[glyph], &bitmap);
}

bool inTables(const FontAtlas* atlas, uint32_t code) {
    for (uint32_t i = 0; i < atlas->glyphCount; ++i)
        if (atlas->codes[i] == code) return true;
    return false;
}

// Moves the pending code points that are not in the tables yet to their end.
void takePending(FontAtlas* atlas) {
    for (uint32_t p = 0; p < atlas->pendingCount; ++p) {
        uint32_t code = atlas->pending[p];
        if (inTables(atlas, code)) continue;
        if (!reserveGlyphs(atlas, atlas->glyphCount + 1)) break;
        atlas->codes[atlas->glyphCount] = code;
        atlas->atlasPositions[atlas->glyphCount] = AtlasPoint{0, 0};
        atlas->sizes[atlas->glyphCount] = AtlasPoint{0, 0};
        atlas->advances[atlas->glyphCount] = AtlasPoint{0, 0};
        atlas->bearings[atlas->glyphCount] = AtlasPoint{0, 0};
        ++atlas->glyphCount;
    }
}

} // namespace

FontAtlas emptyFontAtlas() { return FontAtlas{}; }

bool ensureFreeType() {
    if (gFreeType) return true;
    return FT_Init_FreeType(&gFreeType) == 0;
}

int32_t loadFontFromMemory(FontAtlas* atlas, uint8_t* data, uint32_t size) {
    if (!data) return 0;
    if (!ensureFreeType()) {
        delete[] data;
        return FT_Err_Cannot_Open_Resource;
    }
    if (atlas->face) {
        FT_Done_Face(atlas->face);
        atlas->face = nullptr;
    }
    delete[] atlas->fileData;
    atlas->fileData = data;
    FT_Open_Args arguments = {};
    arguments.flags = FT_OPEN_MEMORY;
    arguments.memory_base = data;
    arguments.memory_size = static_cast<FT_Long>(size);
    FT_Face face = nullptr;
    FT_Error error = FT_Open_Face(gFreeType, &arguments, 0, &face);
    atlas->face = error == 0 ? face : nullptr;
    return error;
}

int32_t loadFontFile(FontAtlas* atlas, const char* path) {
    uint32_t size = 0;
    char* data = readFileSized(path, &size);
    if (!data) return 0;
    return loadFontFromMemory(atlas, reinterpret_cast<uint8_t*>(data), size);
}

void sortGlyphsByHeight(FontAtlas* atlas) {
    if (atlas->glyphCount > 1) quicksortByHeight(atlas, 0, static_cast<int64_t>(atlas->glyphCount) - 1);
}

void rebuildFontAtlas(FontAtlas* atlas) {
    if (!atlas->face) return;
    setFaceSize(atlas);
    // Glyphs queued before the rebuild (a language's character set queued at start-up,
    // before the first resize) are built with it instead of being dropped.
    takePending(atlas);
    RenderedGlyphs kept = {};
    for (uint32_t i = 0; i < atlas->glyphCount; ++i) loadGlyphMetrics(atlas, i, &kept);
    sortGlyphsByHeight(atlas);
    packAndRasteriseAtlas(atlas, &kept);
    releaseRenderedGlyphs(&kept);
    atlas->pendingCount = 0;
}

void addPendingGlyphs(FontAtlas* atlas) {
    if (atlas->pendingCount == 0) return;
    if (!atlas->face) {
        atlas->pendingCount = 0;
        return;
    }
    setFaceSize(atlas);
    uint32_t first = atlas->glyphCount;
    takePending(atlas);
    RenderedGlyphs kept = {};
    for (uint32_t i = first; i < atlas->glyphCount; ++i) loadGlyphMetrics(atlas, i, &kept);
    sortGlyphsByHeight(atlas);
    packAndRasteriseAtlas(atlas, &kept);
    releaseRenderedGlyphs(&kept);
    atlas->pendingCount = 0;
}

void queuePendingGlyph(FontAtlas* atlas, uint32_t code) {
    for (uint32_t i = 0; i < atlas->pendingCount; ++i)
        if (atlas->pending[i] == code) return;
    if (!growElements(&atlas->pending, &atlas->pendingCapacity, atlas->pendingCount + 1)) return;
    atlas->pending[atlas->pendingCount++] = code;
}

bool lookUpGlyph(const FontAtlas* atlas, uint32_t code, GlyphInfo* info) {
    for (uint32_t i = 0; i < atlas->glyphCount; ++i) {
        if (atlas->codes[i] != code) continue;
        uint32_t page = 0;
        int64_t sum = 0;
        for (; page < atlas->pageCount; ++page) {
            sum += atlas->glyphsPerPage[page];
            if (sum > i) break;
        }
        // Glyphs beyond the pages' counts were added without a rasterised page.
        if (page >= atlas->pageCount) return false;
        const TextureDescription* description = &atlas->pages[page].description;
        float width = description->width ? description->width : 1.0f;
        float height = description->height ? description->height : 1.0f;
        info->page = page;
        info->u = atlas->atlasPositions[i].x / width;
        info->v = atlas->atlasPositions[i].y / height;
        info->du = atlas->sizes[i].x / width;
        info->dv = atlas->sizes[i].y / height;
        info->size = atlas->sizes[i];
        info->advance = atlas->advances[i];
        info->bearing = atlas->bearings[i];
        return true;
    }
    return false;
}

void releaseFontAtlas(FontAtlas* atlas) {
    if (atlas->face) FT_Done_Face(atlas->face);
    delete[] atlas->fileData;
    if (gRenderer.pushFreeTextureDescriptorInRenderer) {
        for (uint32_t i = 0; i < atlas->pageCount; ++i)
            if (atlas->pages[i].texture != RENDERER_INVALID_ID)
                gRenderer.pushFreeTextureDescriptorInRenderer(&gRendererState, atlas->pages[i].texture);
    }
    releaseBlock(atlas->pages);
    releaseBlock(atlas->glyphsPerPage);
    releaseBlock(atlas->codes);
    releaseBlock(atlas->atlasPositions);
    releaseBlock(atlas->sizes);
    releaseBlock(atlas->advances);
    releaseBlock(atlas->bearings);
    releaseBlock(atlas->pending);
    *atlas = FontAtlas{};
}
