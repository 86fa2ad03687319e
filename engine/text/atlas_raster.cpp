#include "engine/text/atlas_raster.h"

#include "engine/program/program_state.h"
#include "engine/text/atlas_packing.h"

#include <stdlib.h>
#include <string.h>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

bool resizePageList(FontAtlas* atlas, const AtlasPacking* packing) {
    uint32_t count = packing->pageCount;
    if (count != atlas->pageCount) {
        AtlasPage* pages = static_cast<AtlasPage*>(realloc(atlas->pages, count * sizeof(AtlasPage)));
        if (!pages) return false;
        atlas->pages = pages;
        int32_t* perPage = static_cast<int32_t*>(realloc(atlas->glyphsPerPage, count * sizeof(int32_t)));
        if (!perPage) return false;
        atlas->glyphsPerPage = perPage;
        for (uint32_t i = atlas->pageCount; i < count; ++i) {
            AtlasPage page = {};
            page.texture = RENDERER_INVALID_ID;
            page.description.wrapMode = WRAP_CLAMP_TO_EDGE;
            page.description.smooth = 1;
            atlas->pages[i] = page;
        }
        atlas->pageCount = count;
    }
    for (uint32_t i = 0; i < count; ++i) {
        atlas->pages[i].description.width = static_cast<uint16_t>(packing->pages[i].width);
        atlas->pages[i].description.height = static_cast<uint16_t>(packing->pages[i].height);
        atlas->glyphsPerPage[i] = packing->pages[i].glyphCount;
    }
    return true;
}

// Copies one glyph's bitmap (kept from its metrics load, or rendered now) into the
// page. Grey bitmaps are copied as they are; one-bit bitmaps (embedded strikes) are
// widened to 0 or 255 first.
void rasteriseGlyph(FontAtlas* atlas, uint32_t glyph, uint8_t* page, int32_t width, int32_t height,
                    int32_t shelfHeight, uint8_t* scratch, size_t scratchSize, RenderedGlyphs* kept) {
    GlyphBitmap bitmap;
    if (!kept || !findRenderedGlyph(kept, atlas->codes[glyph], &bitmap)) {
        FT_Face face = atlas->face;
        FT_UInt index = FT_Get_Char_Index(face, atlas->codes[glyph]);
        if (index >= static_cast<FT_UInt>(face->num_glyphs)) index = 0;
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0) {
            atlas->atlasPositions[glyph].y += shelfHeight;
            atlas->bearings[glyph] = AtlasPoint{0, 0};
            return;
        }
        bitmap = slotBitmap(face->glyph);
    }
    int32_t rows = bitmap.rows;
    int32_t columns = bitmap.width;
    const uint8_t* pixels = bitmap.buffer;
    int32_t pitch = bitmap.pitch;
    if (bitmap.pixelMode == FT_PIXEL_MODE_MONO && pixels) {
        if (static_cast<size_t>(rows) * columns > scratchSize) {
            pixels = nullptr;
        } else {
            int32_t stride = pitch < 0 ? -pitch : pitch;
            for (int32_t r = 0; r < rows; ++r) {
                const uint8_t* source = bitmap.buffer + (pitch >= 0 ? r : rows - 1 - r) * stride;
                for (int32_t c = 0; c < columns; ++c)
                    scratch[r * columns + c] = (source[c >> 3] & (0x80 >> (c & 7))) ? 255 : 0;
            }
            pixels = scratch;
            pitch = columns;
        }
    } else if (bitmap.pixelMode != FT_PIXEL_MODE_GRAY) {
        pixels = nullptr;
    }
    copyGlyphBitmap(page, width, height, &atlas->atlasPositions[glyph], shelfHeight, pixels, rows, columns, pitch);
    atlas->bearings[glyph] = AtlasPoint{bitmap.left, bitmap.top - rows};
}

} // namespace

int32_t largestAtlasPageSize() {
    uint32_t size = ATLAS_LARGEST_PAGE_SIZE;
    if (gRenderer.getMaxTextureSizeInRenderer) {
        uint32_t reported = gRenderer.getMaxTextureSizeInRenderer(&gRendererState);
        if (reported > 0 && reported < size) size = reported;
    }
    return static_cast<int32_t>(size);
}

void packAndRasteriseAtlas(FontAtlas* atlas, RenderedGlyphs* kept) {
    if (!atlas->face) return;
    int32_t maxSize = largestAtlasPageSize();
    PackedPage* existing = nullptr;
    if (atlas->pageCount) {
        existing = static_cast<PackedPage*>(malloc(atlas->pageCount * sizeof(PackedPage)));
        if (!existing) return;
        for (uint32_t i = 0; i < atlas->pageCount; ++i)
            existing[i] = PackedPage{atlas->pages[i].description.width, atlas->pages[i].description.height, 0};
    }
    AtlasPoint* positions = nullptr;
    if (atlas->glyphCount) {
        positions = static_cast<AtlasPoint*>(malloc(atlas->glyphCount * sizeof(AtlasPoint)));
        if (!positions) {
            free(existing);
            return;
        }
    }
    AtlasPacking packing = {};
    bool packed = packGlyphs(atlas->sizes, atlas->glyphCount, existing, atlas->pageCount, maxSize, positions, &packing);
    free(existing);
    if (!packed || !resizePageList(atlas, &packing)) {
        free(positions);
        releaseAtlasPacking(&packing);
        return;
    }
    releaseAtlasPacking(&packing);
    if (atlas->glyphCount) memcpy(atlas->atlasPositions, positions, atlas->glyphCount * sizeof(AtlasPoint));
    free(positions);

    size_t stagingSize = 0;
    for (uint32_t i = 0; i < atlas->pageCount; ++i) {
        size_t bytes = static_cast<size_t>(atlas->pages[i].description.width) * atlas->pages[i].description.height;
        if (bytes > stagingSize) stagingSize = bytes;
    }
    uint8_t* staging = static_cast<uint8_t*>(malloc(stagingSize ? stagingSize : 1));
    uint8_t* scratch = static_cast<uint8_t*>(malloc(stagingSize ? stagingSize : 1));
    if (!staging || !scratch) {
        free(staging);
        free(scratch);
        return;
    }
    uint32_t glyph = 0;
    for (uint32_t p = 0; p < atlas->pageCount; ++p) {
        AtlasPage* page = &atlas->pages[p];
        int32_t width = page->description.width;
        int32_t height = page->description.height;
        memset(staging, 0, static_cast<size_t>(width) * height);
        int32_t shelfHeight = 0;
        uint32_t end = glyph + static_cast<uint32_t>(atlas->glyphsPerPage[p]);
        for (; glyph < end && glyph < atlas->glyphCount; ++glyph) {
            if (atlas->atlasPositions[glyph].x == 0) shelfHeight = atlas->sizes[glyph].y;
            rasteriseGlyph(atlas, glyph, staging, width, height, shelfHeight, scratch, stagingSize, kept);
        }
        page->description.pixelFormat = PIXEL_FORMAT_R8;
        page->description.mipLevels = 1;
        if (!(atlas->flags & FONT_ATLAS_SMOOTH)) {
            page->description.smooth = 0;
            if (gRenderer.setTextureSmoothInRenderer)
                gRenderer.setTextureSmoothInRenderer(&gRendererState, &page->texture, false);
        } else {
            page->description.smooth = 1;
        }
        if (gRenderer.uploadTextureInRenderer)
            page->texture = gRenderer.uploadTextureInRenderer(&gRendererState, staging,
                                                              static_cast<uint64_t>(width) * height,
                                                              &page->description, 1, page->texture);
    }
    free(staging);
    free(scratch);
}
