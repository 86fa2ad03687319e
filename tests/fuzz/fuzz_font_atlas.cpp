// TrueType (and any other FreeType) fonts through the atlas: the face opened from the
// file, the game's characters queued, packed and rendered at the small font's size, then
// the whole atlas rebuilt at the large font's, as a window resize does.
#include "engine/text/font_atlas.h"
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/memory_files.h"

namespace {

// A sample of what the game's texts use (a digit, wide, tall and descending letters,
// punctuation, French letters and marks) and characters fonts often lack. Every glyph
// is loaded and rendered twice per run, so the sample stays small: more characters slow
// the runs more than they add to what FreeType and the atlas are made to do.
void queueCharacters(FontAtlas* atlas) {
    const uint32_t characters[] = {'0', 'W', 'g', 'j', '.', '%', ' ', 0xE9, 0x153, 0x2019, 0x2026, 0xFFFD, 0x1F600};
    for (uint32_t c : characters) queuePendingGlyph(atlas, c);
}

void checkGlyphs(const FontAtlas* atlas) {
    FUZZ_CHECK(atlas->pageCount >= 1);
    int64_t placed = 0;
    for (uint32_t p = 0; p < atlas->pageCount; ++p) {
        const TextureDescription& page = atlas->pages[p].description;
        FUZZ_CHECK(page.width > 0 && page.width <= ATLAS_LARGEST_PAGE_SIZE);
        FUZZ_CHECK(page.height > 0 && page.height <= ATLAS_LARGEST_PAGE_SIZE);
        placed += atlas->glyphsPerPage[p];
    }
    FUZZ_CHECK(placed == atlas->glyphCount);
    for (uint32_t i = 0; i < atlas->glyphCount; ++i) {
        GlyphInfo info;
        FUZZ_CHECK(lookUpGlyph(atlas, atlas->codes[i], &info));
        FUZZ_CHECK(info.page < atlas->pageCount);
        FUZZ_CHECK(info.size.x >= 0 && info.size.y >= 0);
        FUZZ_CHECK(info.size.x <= ATLAS_LARGEST_PAGE_SIZE && info.size.y <= ATLAS_LARGEST_PAGE_SIZE);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setMemoryFile("data/PatuaOne-Regular.ttf", data, size);
    FontAtlas atlas = emptyFontAtlas();
    atlas.flags = FONT_ATLAS_SMOOTH;
    if (loadFontFile(&atlas, "data/PatuaOne-Regular.ttf") == 0 && atlas.face) {
        atlas.pixelSize = 20;
        queueCharacters(&atlas);
        addPendingGlyphs(&atlas);
        checkGlyphs(&atlas);
        atlas.pixelSize = 36;
        rebuildFontAtlas(&atlas);
        checkGlyphs(&atlas);
    }
    releaseFontAtlas(&atlas);
    clearMemoryFiles();
    return 0;
}
