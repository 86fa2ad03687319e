#include "engine/text/font_atlas.h"

#include "engine/program/program_state.h"
#include "engine/platform/files.h"
#include "engine/text/atlas_raster.h"
#include "engine/text/growable.h"
#include "engine/text/rendered_glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

FT_Library gFreeType;

bool reserveGlyphs(FontAtlas* atlas, uint32_t needed) {
    if (needed <= atlas->glyphCapacity && atlas->codes) return true;
    uint32_t capacity = grownCapacity(atlas->glyphCapacity, needed);
    if (capacity == 0) return false;
    uint32_t* codes = static_cast<uint32_t*>(malloc(capacity * sizeof(uint32_t)));
    AtlasPoint* blocks[4];
    for (AtlasPoint*& block : blocks) block = static_cast<AtlasPoint*>(malloc(capacity * sizeof(AtlasPoint)));
    bool ok = codes != nullptr;
    for (AtlasPoint* block : blocks) ok = ok && block != nullptr;
    if (!ok) {
        free(codes);
        for (AtlasPoint* block : blocks) free(block);
        return false;
    }
    AtlasPoint** tables[4] = {&atlas->atlasPositions, &atlas->sizes, &atlas->advances, &atlas->bearings};
    if (atlas->glyphCount) memcpy(codes, atlas->codes, atlas->glyphCount * sizeof(uint32_t));
    free(atlas->codes);
    atlas->codes = codes;
    for (int i = 0; i < 4; ++i) {
        if (atlas->glyphCount) memcpy(blocks[i], *tables[i], atlas->glyphCount * sizeof(AtlasPoint));
        free(*tables[i]);
        *tables[i] = blocks[i];
    }
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

// Loads one glyph's metrics. The glyph is rendered in the same load and its bitmap kept
// for the page copy: the metrics of a rendered load are those of a plain one.
void loadGlyphMetrics(FontAtlas* atlas, uint32_t glyph, RenderedGlyphs* kept) {
    FT_Face face = atlas->face;
    AtlasPoint zero = {0, 0};
    atlas->sizes[glyph] = zero;
    atlas->advances[glyph] = zero;
    atlas->bearings[glyph] = zero;
    atlas->atlasPositions[glyph] = zero;
    FT_UInt index = FT_Get_Char_Index(face, atlas->codes[glyph]);
    if (index >= static_cast<FT_UInt>(face->num_glyphs)) index = 0;
    // A glyph that loads but cannot be rendered still gets its metrics (the page copy
    // tries to render it again); one FreeType cannot load keeps zero metrics rather
    // than another glyph's.
    bool rendered = FT_Load_Glyph(face, index, FT_LOAD_RENDER) == 0;
    if (!rendered && FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0) return;
    const FT_GlyphSlot slot = face->glyph;
    atlas->sizes[glyph] = AtlasPoint{static_cast<int32_t>(slot->metrics.width >> 6),
                                     static_cast<int32_t>(slot->metrics.height >> 6)};
    atlas->advances[glyph] = AtlasPoint{static_cast<int32_t>(slot->advance.x >> 6),
                                        static_cast<int32_t>(slot->advance.y >> 6)};
    if (!rendered) return;
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
    atlas->fileSize = size;
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
    if (!reserveElements(&atlas->pending, &atlas->pendingCapacity, atlas->pendingCount + 1)) return;
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
    free(atlas->pages);
    free(atlas->glyphsPerPage);
    free(atlas->codes);
    free(atlas->atlasPositions);
    free(atlas->sizes);
    free(atlas->advances);
    free(atlas->bearings);
    free(atlas->pending);
    *atlas = FontAtlas{};
}
