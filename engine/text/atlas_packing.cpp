#include "engine/text/atlas_packing.h"

#include "engine/assets/dyn_array.h"

namespace {

int32_t clampEdge(int32_t edge, int32_t maxSize) {
    if (edge < 1) edge = ATLAS_FIRST_PAGE_SIZE;
    return edge > maxSize ? maxSize : edge;
}

int32_t doubled(int32_t edge, int32_t maxSize) { return edge >= maxSize / 2 ? maxSize : edge * 2; }

bool appendPage(AtlasPacking* out, int32_t width, int32_t height) {
    if (!growElements(&out->pages, &out->pageCapacity, out->pageCount + 1)) return false;
    out->pages[out->pageCount++] = PackedPage{width, height, 0};
    return true;
}

} // namespace

bool packGlyphs(const AtlasPoint* sizes, uint32_t glyphCount, const PackedPage* existing, uint32_t existingCount,
                int32_t maxSize, AtlasPoint* positions, AtlasPacking* out) {
    if (maxSize < 1) maxSize = 1;
    out->pageCount = 0;
    for (uint32_t i = 0; i < existingCount; ++i)
        if (!appendPage(out, clampEdge(existing[i].width, maxSize), clampEdge(existing[i].height, maxSize))) return false;
    if (out->pageCount == 0 && !appendPage(out, clampEdge(ATLAS_FIRST_PAGE_SIZE, maxSize),
                                           clampEdge(ATLAS_FIRST_PAGE_SIZE, maxSize)))
        return false;

    uint32_t page = 0;
    int32_t width = out->pages[0].width;
    int32_t height = out->pages[0].height;
    uint32_t first = 0; // first glyph of the current page
    int32_t x = 0;
    int32_t y = 0; // lower edge of the current shelf
    uint32_t k = 0;
    while (k < glyphCount) {
        int32_t w = sizes[k].x > 0 ? sizes[k].x : 0;
        int32_t h = sizes[k].y > 0 ? sizes[k].y : 0;
        bool growable = page + 1 == out->pageCount && (width < maxSize || height < maxSize);
        bool hasNext = page + 1 < out->pageCount;
        int32_t px = x;
        int32_t py = y;
        if (k == first) {
            // The first glyph of a page opens its top shelf whatever its width, so a
            // glyph wider than the page cannot send the packer looking for ever.
            px = 0;
            py = height - h;
            if (py < 0 && (hasNext || growable)) {
                if (hasNext) {
                    out->pages[page].width = width;
                    out->pages[page].height = height;
                    out->pages[page].glyphCount = 0;
                    ++page;
                } else {
                    width = doubled(width, maxSize);
                    height = doubled(height, maxSize);
                }
                continue;
            }
        } else {
            if (x + w + 1 >= width) {
                px = 0;
                py = y - (h + 1);
            }
            if (py < 0) {
                if (hasNext) {
                    out->pages[page].width = width;
                    out->pages[page].height = height;
                    out->pages[page].glyphCount = static_cast<int32_t>(k - first);
                    ++page;
                    first = k;
                } else if (growable) {
                    width = doubled(width, maxSize);
                    height = doubled(height, maxSize);
                    k = first; // the page's glyphs again, from the top of the grown page
                } else {
                    out->pages[page].width = width;
                    out->pages[page].height = height;
                    out->pages[page].glyphCount = static_cast<int32_t>(k - first);
                    int32_t edge = clampEdge(ATLAS_FIRST_PAGE_SIZE, maxSize);
                    if (!appendPage(out, edge, edge)) return false;
                    ++page;
                    width = height = edge;
                    first = k;
                }
                continue;
            }
        }
        positions[k] = AtlasPoint{px, py};
        x = px + w + 1;
        y = py;
        ++k;
    }
    out->pages[page].width = width;
    out->pages[page].height = height;
    out->pages[page].glyphCount = static_cast<int32_t>(glyphCount - first);
    for (uint32_t later = page + 1; later < out->pageCount; ++later) out->pages[later].glyphCount = 0;
    return true;
}

void releaseAtlasPacking(AtlasPacking* packing) {
    releaseBlock(packing->pages);
    *packing = AtlasPacking{};
}

void copyGlyphBitmap(uint8_t* page, int32_t pageWidth, int32_t pageHeight, AtlasPoint* position,
                     int32_t shelfHeight, const uint8_t* bitmap, int32_t rows, int32_t width, int32_t pitch) {
    position->y += shelfHeight - rows;
    if (!bitmap || rows <= 0 || width <= 0) return;
    int64_t stride = pitch < 0 ? -static_cast<int64_t>(pitch) : pitch;
    for (int32_t r = 0; r < rows; ++r) {
        int64_t row = static_cast<int64_t>(position->y) + rows - 1 - r;
        if (row < 0 || row >= pageHeight) continue;
        const uint8_t* source = bitmap + (pitch >= 0 ? r : rows - 1 - r) * stride;
        uint8_t* target = page + row * pageWidth;
        for (int32_t c = 0; c < width; ++c) {
            int64_t column = static_cast<int64_t>(position->x) + c;
            if (column < 0 || column >= pageWidth) continue;
            target[column] |= source[c];
        }
    }
}
