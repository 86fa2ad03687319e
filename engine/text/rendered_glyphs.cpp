#include "engine/text/rendered_glyphs.h"

#include "engine/text/growable.h"

#include <stdlib.h>
#include <string.h>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

int compareCodes(const void* a, const void* b) {
    uint32_t x = static_cast<const RenderedGlyph*>(a)->code, y = static_cast<const RenderedGlyph*>(b)->code;
    return x < y ? -1 : x > y ? 1 : 0;
}

} // namespace

GlyphBitmap slotBitmap(const FT_GlyphSlotRec_* slot) {
    const FT_Bitmap* bitmap = &slot->bitmap;
    return GlyphBitmap{bitmap->buffer,
                       static_cast<int32_t>(bitmap->rows),
                       static_cast<int32_t>(bitmap->width),
                       bitmap->pitch,
                       bitmap->pixel_mode,
                       slot->bitmap_left,
                       slot->bitmap_top};
}

bool keepRenderedGlyph(RenderedGlyphs* kept, uint32_t code, const GlyphBitmap* bitmap) {
    if (!reserveElements(&kept->glyphs, &kept->capacity, kept->count + 1)) return false;
    size_t stride = static_cast<size_t>(bitmap->pitch < 0 ? -static_cast<int64_t>(bitmap->pitch) : bitmap->pitch);
    size_t size = bitmap->buffer && bitmap->rows > 0 ? stride * static_cast<size_t>(bitmap->rows) : 0;
    if (kept->byteCount + size > kept->byteCapacity) {
        size_t capacity = kept->byteCapacity < 4096 ? 4096 : kept->byteCapacity;
        while (capacity < kept->byteCount + size) capacity *= 2;
        uint8_t* bytes = static_cast<uint8_t*>(realloc(kept->bytes, capacity));
        if (!bytes) return false;
        kept->bytes = bytes;
        kept->byteCapacity = capacity;
    }
    // The rows are kept in the buffer's own order; the pitch's sign says which that is.
    if (size) memcpy(kept->bytes + kept->byteCount, bitmap->buffer, size);
    kept->glyphs[kept->count++] = RenderedGlyph{code,           bitmap->rows, bitmap->width, bitmap->pitch,
                                                bitmap->left,   bitmap->top,  bitmap->pixelMode,
                                                kept->byteCount, size != 0};
    kept->byteCount += size;
    kept->sorted = false;
    return true;
}

bool findRenderedGlyph(RenderedGlyphs* kept, uint32_t code, GlyphBitmap* out) {
    if (kept->count == 0) return false;
    if (!kept->sorted) {
        qsort(kept->glyphs, kept->count, sizeof(RenderedGlyph), compareCodes);
        kept->sorted = true;
    }
    RenderedGlyph key = {};
    key.code = code;
    const RenderedGlyph* found =
        static_cast<const RenderedGlyph*>(bsearch(&key, kept->glyphs, kept->count, sizeof(RenderedGlyph), compareCodes));
    if (!found) return false;
    *out = GlyphBitmap{found->hasPixels ? kept->bytes + found->offset : nullptr,
                       found->rows,
                       found->width,
                       found->pitch,
                       found->pixelMode,
                       found->left,
                       found->top};
    return true;
}

void releaseRenderedGlyphs(RenderedGlyphs* kept) {
    free(kept->glyphs);
    free(kept->bytes);
    *kept = RenderedGlyphs{};
}
