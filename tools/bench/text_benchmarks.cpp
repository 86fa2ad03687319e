// Fonts and text: the engine's atlas (FreeType glyphs packed on shelves) against
// stb_truetype packing and baking the same glyphs, for the whole French character set
// at the game's two sizes; and text layout with word wrapping, which has no peer and
// is given as glyphs per second.
#include "engine/program/program_state.h"
#include "engine/text/font_atlas.h"
#include "engine/text/language_file.h"
#include "engine/text/text_layout.h"
#include "engine/text/utf8_decode.h"
#include "tools/bench/bench_files.h"

#include <benchmark/benchmark.h>
#include <stb_rect_pack.h>
#include <stb_truetype.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

// The game's two fonts are one face at two sizes: 36 and 20 pixels for its 720-pixel
// window.
const char* const kGameFont = "PatuaOne-Regular.ttf";
const uint32_t kGameSizes[2] = {36, 20};

// Whatever French text may need beyond printable ASCII: the accented letters and
// ligatures in both cases, the quotation marks, apostrophe, ellipsis, dashes, the
// spaces of French typography, the euro and degree signs.
const uint32_t kFrenchExtras[] = {
    0xE0, 0xE2, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEE, 0xEF, 0xF4, 0x153, 0xF9, 0xFB, 0xFC, 0xFF,
    0xC0, 0xC2, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCE, 0xCF, 0xD4, 0x152, 0xD9, 0xDB, 0xDC, 0x178,
    0xAB, 0xBB, 0x2019, 0x201C, 0x201D, 0x2026, 0x2013, 0x2014, 0xA0, 0x202F, 0x20AC, 0xB0};

struct FontInput {
    std::vector<uint8_t> font;
    std::vector<uint32_t> codes; // the character set, each code point once
};

// ---- the engine's atlas

FontAtlas buildAtlas(const FontInput& input, uint32_t pixelSize) {
    FontAtlas atlas = emptyFontAtlas();
    atlas.flags = FONT_ATLAS_SMOOTH;
    atlas.pixelSize = pixelSize;
    uint8_t* copy = new uint8_t[input.font.size()];
    memcpy(copy, input.font.data(), input.font.size());
    loadFontFromMemory(&atlas, copy, static_cast<uint32_t>(input.font.size()));
    for (uint32_t code : input.codes) queuePendingGlyph(&atlas, code);
    // As at the game's first resize: the queued set built in one go.
    rebuildFontAtlas(&atlas);
    return atlas;
}

// The ink of every page the atlas uploads, caught at the backend's upload entry.
uint64_t gUploadedInk;
uint32_t captureUpload(RendererState*, void* pixels, uint64_t size, TextureDescription*, uint16_t, uint32_t) {
    const uint8_t* p = static_cast<const uint8_t*>(pixels);
    for (uint64_t i = 0; i < size; ++i) gUploadedInk += p[i];
    return 1;
}

// ---- stb_truetype

struct StbBake {
    bool packed;
    uint64_t ink;
};

StbBake stbBake(const FontInput& input, uint32_t pixelSize, int width, int height,
                std::vector<stbtt_packedchar>* glyphs, std::vector<uint8_t>* pixels) {
    stbtt_pack_context context;
    StbBake result = {};
    if (!stbtt_PackBegin(&context, pixels->data(), width, height, 0, 1, nullptr)) return result;
    stbtt_pack_range range = {};
    range.font_size = STBTT_POINT_SIZE(static_cast<float>(pixelSize));
    range.array_of_unicode_codepoints = reinterpret_cast<int*>(const_cast<uint32_t*>(input.codes.data()));
    range.num_chars = static_cast<int>(input.codes.size());
    range.chardata_for_range = glyphs->data();
    result.packed = stbtt_PackFontRanges(&context, input.font.data(), 0, &range, 1) != 0;
    stbtt_PackEnd(&context);
    return result;
}

struct AtlasPair {
    FontInput* input;
    uint32_t pixelSize;
    int stbWidth, stbHeight; // the page the engine ended with, doubled until stb fits
};

void quarloAtlas(benchmark::State& state, AtlasPair pair) {
    for (auto _ : state) {
        FontAtlas atlas = buildAtlas(*pair.input, pair.pixelSize);
        benchmark::DoNotOptimize(atlas.pages);
        releaseFontAtlas(&atlas);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * pair.input->codes.size()));
}

void stbAtlas(benchmark::State& state, AtlasPair pair) {
    for (auto _ : state) {
        std::vector<stbtt_packedchar> glyphs(pair.input->codes.size());
        std::vector<uint8_t> pixels(static_cast<size_t>(pair.stbWidth) * pair.stbHeight);
        StbBake bake = stbBake(*pair.input, pair.pixelSize, pair.stbWidth, pair.stbHeight, &glyphs, &pixels);
        if (!bake.packed) state.SkipWithError("stb_truetype could not pack the glyphs");
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * pair.input->codes.size()));
}

// Both sides must have made every glyph, with about the same ink: the rasterisers
// differ (FreeType hints, stb does not), so the coverage is compared, not the bytes.
AtlasPair checkedAtlasPair(FontInput* input, uint32_t pixelSize) {
    gRenderer.uploadTextureInRenderer = captureUpload;
    gUploadedInk = 0;
    FontAtlas atlas = buildAtlas(*input, pixelSize);
    gRenderer.uploadTextureInRenderer = nullptr;
    if (atlas.glyphCount != input->codes.size() || atlas.pageCount == 0)
        benchFailure("the atlas at %u pixels holds %u glyphs of %zu", pixelSize, atlas.glyphCount,
                     input->codes.size());
    AtlasPair pair = {input, pixelSize, atlas.pages[0].description.width, atlas.pages[0].description.height};
    uint32_t pages = atlas.pageCount;
    const int engineWidth = pair.stbWidth, engineHeight = pair.stbHeight;
    uint64_t ours = gUploadedInk;
    releaseFontAtlas(&atlas);
    if (pages != 1) benchFailure("the atlas at %u pixels needs %u pages; the comparison expects one", pixelSize, pages);
    for (;;) {
        std::vector<stbtt_packedchar> glyphs(input->codes.size());
        std::vector<uint8_t> pixels(static_cast<size_t>(pair.stbWidth) * pair.stbHeight);
        StbBake bake = stbBake(*input, pixelSize, pair.stbWidth, pair.stbHeight, &glyphs, &pixels);
        if (bake.packed) {
            uint64_t theirs = 0;
            for (uint8_t p : pixels) theirs += p;
            double ratio = theirs ? static_cast<double>(ours) / theirs : 0.0;
            if (ratio < 0.85 || ratio > 1.15)
                benchFailure("at %u pixels the atlas's ink is %.2f times stb_truetype's", pixelSize, ratio);
            fprintf(stderr, "bench: %u px: %zu glyphs, engine page %d x %d, stb page %d x %d, ink ratio %.3f\n",
                    pixelSize, input->codes.size(), engineWidth, engineHeight, pair.stbWidth, pair.stbHeight, ratio);
            return pair;
        }
        if (pair.stbWidth >= 4096) benchFailure("stb_truetype cannot pack the glyphs at %u pixels", pixelSize);
        pair.stbWidth *= 2;
        pair.stbHeight *= 2;
    }
}

// ---- layout

struct LayoutInput {
    FontAtlas* atlas;
    std::vector<std::vector<uint32_t>> texts;
    uint64_t glyphs;
};

void quarloLayout(benchmark::State& state, LayoutInput* input) {
    TextMeshes meshes = {};
    TextLayoutBox box = {520, 600, input->atlas, {1, 1, 1, 1}, TEXT_ALIGN_WRAP};
    for (auto _ : state)
        for (const std::vector<uint32_t>& text : input->texts) {
            TextSize size;
            if (!layoutText(text.data(), static_cast<uint32_t>(text.size()), &box, &meshes, &size))
                state.SkipWithError("a glyph was missing from the atlas");
            benchmark::DoNotOptimize(meshes.meshes);
        }
    releaseTextMeshes(&meshes);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * input->glyphs));
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string data = requiredFolder("QUARLO_BENCH_DATA", "build/bench/data");

    static FontInput input;
    std::string fontPath = data + "/" + kGameFont;
    if (!readWholeFile(fontPath, &input.font) || input.font.empty()) benchFailure("%s: cannot be read", fontPath.c_str());
    std::vector<uint8_t> languageBytes;
    std::string languagePath = data + "/fr";
    if (!readWholeFile(languagePath, &languageBytes)) benchFailure("%s: cannot be read", languagePath.c_str());
    static LanguageFile french = {};
    if (!readLanguageFile(&french, languageBytes.data(), static_cast<uint32_t>(languageBytes.size()), "fr"))
        benchFailure("%s: refused (%s)", languagePath.c_str(), french.failure);
    // The whole French set: printable ASCII, the French extras, and whatever else the
    // game's French texts use.
    std::vector<uint32_t> wanted;
    for (uint32_t code = 0x20; code < 0x7F; ++code) wanted.push_back(code);
    for (uint32_t code : kFrenchExtras) wanted.push_back(code);
    for (uint32_t i = 0; i < french.characterCount; ++i) wanted.push_back(languageCharacter(&french, i));
    for (uint32_t code : wanted) {
        bool seen = false;
        for (uint32_t c : input.codes) seen = seen || c == code;
        if (!seen) input.codes.push_back(code);
    }

    for (uint32_t size : kGameSizes) {
        AtlasPair pair = checkedAtlasPair(&input, size);
        std::string row = "atlas: the French set, " + std::to_string(input.codes.size()) + " glyphs, " +
                          std::to_string(size) + " px";
        benchmark::RegisterBenchmark((row + "|quarlo").c_str(), quarloAtlas, pair)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((row + "|stb_truetype").c_str(), stbAtlas, pair)->Unit(benchmark::kMicrosecond);
    }

    // Every French text of the game, each laid out on its own in a 520-pixel box, as
    // the game lays out its texts every frame.
    static FontAtlas smallFont = buildAtlas(input, kGameSizes[1]);
    static LayoutInput layout = {&smallFont, {}, 0};
    for (uint32_t id = 0; id < french.textCount; ++id) {
        const char* text = languageText(&french, static_cast<int32_t>(id));
        if (!text || !text[0]) continue;
        std::vector<uint32_t> codes(strlen(text) + 1);
        codes.resize(decodeUtf8(text, codes.data(), static_cast<uint32_t>(codes.size())));
        layout.glyphs += codes.size();
        layout.texts.push_back(codes);
    }
    if (layout.texts.empty()) benchFailure("%s holds no text", languagePath.c_str());
    std::string layoutRow = "layout: the game's French texts, " + std::to_string(layout.glyphs) +
                            " glyphs, word wrap, " + std::to_string(kGameSizes[1]) + " px";
    benchmark::RegisterBenchmark((layoutRow + "|quarlo").c_str(), quarloLayout, &layout)
        ->Unit(benchmark::kMicrosecond);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
