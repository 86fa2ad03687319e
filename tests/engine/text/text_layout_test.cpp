#include "engine/text/line_breaking.h"
#include "engine/text/text_layout.h"
#include "engine/text/utf8_decode.h"
#include "tests/support/test_files.h"
#include "text_test_support.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string.h>
#include <vector>

namespace {

struct Quad {
    float x, y, w, h, u, v;
};

std::vector<Quad> quadsOf(const TextMesh* mesh) {
    std::vector<Quad> quads;
    for (uint32_t f = 0; f + 32 <= mesh->vertexFloatCount; f += 32) {
        const float* q = mesh->vertices + f;
        quads.push_back(Quad{q[0], q[1], q[16] - q[0], q[9] - q[1], q[2], q[3]});
    }
    return quads;
}

std::vector<uint32_t> codesOf(const char* text) {
    std::vector<uint32_t> codes(strlen(text) + 1);
    codes.resize(decodeUtf8(text, codes.data(), static_cast<uint32_t>(codes.size())));
    return codes;
}

class TextLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(makeFontModuleDirectory("layout").empty());
        bindTextureRecorder(4096);
        std::string characters;
        for (char c = 32; c < 127; ++c) characters += c;
        characters += "àéç";
        ASSERT_TRUE(makeAtlas(&atlas, 36, characters.c_str()));
        lineHeight = static_cast<int32_t>(atlas.face->size->metrics.height >> 6);
        ppem = atlas.face->size->metrics.y_ppem;
    }
    void TearDown() override {
        releaseTextMeshes(&meshes);
        releaseFontAtlas(&atlas);
        unbindTextureRecorder();
    }
    // Lays text out in a box of the given width whose top is at y = 0.
    std::vector<Quad> layOut(const char* text, int32_t width, int32_t mode, TextSize* size = nullptr) {
        std::vector<uint32_t> codes = codesOf(text);
        TextLayoutBox box = {width, 0, &atlas, {0.9f, 0.8f, 0.7f, 1.0f}, mode};
        EXPECT_TRUE(layoutText(codes.data(), static_cast<uint32_t>(codes.size()), &box, &meshes, size)) << text;
        return quadsOf(&meshes.meshes[0]);
    }
    GlyphInfo glyph(uint32_t code) {
        GlyphInfo info = {};
        EXPECT_TRUE(lookUpGlyph(&atlas, code, &info));
        return info;
    }
    int32_t advance(uint32_t code) { return glyph(code).advance.x; }
    // The pen x at which a quad's character was placed.
    float penX(const Quad& q, uint32_t code) { return q.x - glyph(code).bearing.x; }
    float baseline(const Quad& q, uint32_t code) { return q.y - glyph(code).bearing.y; }
    bool isHyphen(const Quad& q) {
        GlyphInfo hyphen = glyph('-');
        return q.u == hyphen.u && q.v == hyphen.v;
    }
    FontAtlas atlas = {};
    TextMeshes meshes = {};
    int32_t lineHeight = 0;
    int32_t ppem = 0;
};

TEST_F(TextLayoutTest, AKernedPairMovesTheCharactersAfterIt) {
    FT_Vector kerning;
    ASSERT_EQ(FT_Get_Kerning(atlas.face, FT_Get_Char_Index(atlas.face, 'A'), FT_Get_Char_Index(atlas.face, 'V'),
                             FT_KERNING_DEFAULT, &kerning),
              0);
    int32_t kern = static_cast<int32_t>(kerning.x >> 6);
    ASSERT_LT(kern, 0) << "Lato kerns A V";
    std::vector<Quad> quads = layOut("AVA", 1000, TEXT_ALIGN_CUT);
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_EQ(penX(quads[0], 'A'), 0.0f);
    EXPECT_EQ(penX(quads[1], 'V'), advance('A'));
    EXPECT_EQ(penX(quads[2], 'A'), advance('A') + advance('V') + kern);
    // The first baseline is one em below the box's top; a quad is the glyph's box.
    EXPECT_EQ(baseline(quads[0], 'A'), -ppem);
    EXPECT_EQ(quads[1].w, glyph('V').size.x);
    EXPECT_EQ(quads[1].h, glyph('V').size.y);
    const float* colour = meshes.meshes[0].vertices + 4;
    EXPECT_FLOAT_EQ(colour[0], 0.9f);
    EXPECT_FLOAT_EQ(colour[3], 1.0f);
    EXPECT_EQ(meshes.meshes[0].indexCount, 18u);
    const uint32_t expected[6] = {4, 6, 5, 5, 6, 7};
    EXPECT_EQ(memcmp(meshes.meshes[0].indices + 6, expected, sizeof(expected)), 0);
    // The mesh grew by the program's one array rule: 96 floats and 18 indices asked for
    // one quad at a time.
    EXPECT_EQ(meshes.meshes[0].vertexFloatCapacity, 128u);
    EXPECT_EQ(meshes.meshes[0].indexCapacity, 32u);
}

TEST_F(TextLayoutTest, WordWrapPutsTheSecondWordOnTheNextLineWithoutTheSpace) {
    int32_t hello = 0;
    for (char c : std::string("Hello ")) hello += advance(c);
    TextSize size;
    std::vector<Quad> quads = layOut("Hello world", hello + 20, TEXT_ALIGN_WRAP, &size);
    ASSERT_EQ(quads.size(), 10u); // the space is dropped
    EXPECT_EQ(penX(quads[5], 'w'), 0.0f);
    EXPECT_EQ(baseline(quads[5], 'w'), -ppem - lineHeight);
    EXPECT_EQ(baseline(quads[4], 'o'), -ppem);
    EXPECT_EQ(size.height, 2 * lineHeight);
    // Mode 0 cuts the line at the edge instead: the space stays on the first line.
    quads = layOut("Hello world", hello + 2, TEXT_ALIGN_CUT);
    ASSERT_EQ(quads.size(), 11u);
    EXPECT_EQ(penX(quads[6], 'w'), 0.0f);
    EXPECT_EQ(baseline(quads[6], 'w'), -ppem - lineHeight);
}

TEST_F(TextLayoutTest, AWordWithoutSpacesBreaksAtTheLastHyphenationPoint) {
    // "examen": the edge falls after "exame"; "a|m" is the last break point before it.
    int32_t width = advance('e') + advance('x') + advance('a') + advance('m') + advance('e') + 2;
    std::vector<Quad> quads = layOut("examen", width, TEXT_ALIGN_WRAP);
    ASSERT_EQ(quads.size(), 7u); // e x a - / m e n
    EXPECT_TRUE(isHyphen(quads[3]));
    EXPECT_EQ(penX(quads[4], 'm'), 0.0f);
    EXPECT_EQ(baseline(quads[4], 'm'), -ppem - lineHeight);
    // A vowel followed by x is no break point: "aaax" stays whole, without a hyphen.
    width = 3 * advance('a') + advance('x') + 2;
    quads = layOut("aaaxaaa", width, TEXT_ALIGN_WRAP);
    ASSERT_EQ(quads.size(), 7u);
    for (const Quad& q : quads) EXPECT_FALSE(isHyphen(q));
    EXPECT_EQ(baseline(quads[3], 'x'), -ppem);
    EXPECT_EQ(baseline(quads[4], 'a'), -ppem - lineHeight);
}

TEST_F(TextLayoutTest, HyphenationPoints) {
    EXPECT_TRUE(isHyphenationPoint('a', 'm'));
    EXPECT_TRUE(isHyphenationPoint(0xE9, 't')); // é t
    EXPECT_TRUE(isHyphenationPoint('o', 0xE7)); // o ç
    EXPECT_TRUE(isHyphenationPoint('l', 'l'));
    EXPECT_TRUE(isHyphenationPoint('x', 'x'));
    EXPECT_FALSE(isHyphenationPoint('e', 'x'));
    EXPECT_FALSE(isHyphenationPoint('m', 'e'));
    EXPECT_FALSE(isHyphenationPoint('r', 't'));
    EXPECT_FALSE(isHyphenationPoint('a', 'A'));
}

TEST_F(TextLayoutTest, BreakingInsideWordsReplacesTheLastCharacterByAHyphen) {
    int32_t width = advance('a') + advance('b') + advance('c') + 1;
    std::vector<Quad> quads = layOut("abcd", width, TEXT_ALIGN_BREAK_WORDS);
    ASSERT_EQ(quads.size(), 5u); // a b - / c d
    EXPECT_TRUE(isHyphen(quads[2]));
    EXPECT_EQ(penX(quads[3], 'c'), 0.0f);
    EXPECT_EQ(baseline(quads[3], 'c'), -ppem - lineHeight);
}

TEST_F(TextLayoutTest, CentringCentresEveryLine) {
    const int32_t width = 400;
    std::vector<Quad> quads = layOut("Hi\nthere you", width, TEXT_ALIGN_CENTRE);
    ASSERT_EQ(quads.size(), 11u);
    // Line one "Hi", line two "there you": equal margins on both sides, to a pixel.
    float left1 = penX(quads[0], 'H');
    float right1 = width - (penX(quads[1], 'i') + advance('i'));
    EXPECT_NEAR(left1, right1, 1.0f);
    EXPECT_GT(left1, 100.0f);
    float left2 = penX(quads[2], 't');
    float right2 = width - (penX(quads[10], 'u') + advance('u'));
    EXPECT_NEAR(left2, right2, 1.0f);
    EXPECT_LT(left2, left1);
    EXPECT_EQ(baseline(quads[2], 't'), -ppem - lineHeight);
}

TEST_F(TextLayoutTest, RightAlignmentEndsEveryLineAtTheEdge) {
    const int32_t width = 300;
    std::vector<Quad> quads = layOut("ab\ncd", width, TEXT_ALIGN_RIGHT);
    ASSERT_EQ(quads.size(), 4u);
    EXPECT_EQ(penX(quads[1], 'b') + advance('b'), width);
    EXPECT_EQ(penX(quads[3], 'd') + advance('d'), width);
}

// Lines ended by word wrap are aligned too, measured without the space the break drops.
TEST_F(TextLayoutTest, WrappedLinesAreCentredAndRightAlignedWithoutTheirSpace) {
    int32_t hello = 0;
    for (char c : std::string("Hello ")) hello += advance(c);
    const int32_t width = hello + 40;
    std::vector<Quad> right = layOut("Hello world", width, TEXT_ALIGN_RIGHT);
    ASSERT_EQ(right.size(), 10u);
    EXPECT_EQ(penX(right[4], 'o') + advance('o'), width);
    EXPECT_EQ(penX(right[9], 'd') + advance('d'), width);
    EXPECT_EQ(baseline(right[5], 'w'), -ppem - lineHeight);
    std::vector<Quad> centred = layOut("Hello world", width, TEXT_ALIGN_CENTRE);
    ASSERT_EQ(centred.size(), 10u);
    float left = penX(centred[0], 'H');
    float end = width - (penX(centred[4], 'o') + advance('o'));
    EXPECT_NEAR(left, end, 1.0f);
    EXPECT_GT(left, 10.0f);
}

TEST_F(TextLayoutTest, JustifyingLeavesTheLastLineOfAParagraphAlone) {
    const char* text = "aa bb cc dd ee ff gg";
    int32_t width = 4 * advance('a') + 3 * advance(' ') + 8;
    std::vector<Quad> wrapped = layOut(text, width, TEXT_ALIGN_WRAP);
    std::vector<Quad> justified = layOut(text, width, TEXT_ALIGN_JUSTIFY);
    ASSERT_EQ(wrapped.size(), justified.size());
    // Lines hold "aa bb" (5 characters with the space), the last one "gg".
    ASSERT_EQ(baseline(wrapped[5], 'c'), -ppem - lineHeight);
    size_t last = justified.size() - 2;
    for (size_t i = 0; i < last; i += 5) {
        // The space's width grew: the second word ends at the edge (within the space
        // count's rounding), while the plain wrap left room.
        uint32_t code = "bdf"[i / 5];
        float end = penX(justified[i + 4], code) + advance(code);
        EXPECT_GT(end, width - 2.0f) << "line " << i / 5;
        EXPECT_LE(end, static_cast<float>(width));
        EXPECT_LT(penX(wrapped[i + 4], code) + advance(code), width - 4.0f);
    }
    EXPECT_EQ(penX(justified[last], 'g'), penX(wrapped[last], 'g'));
    EXPECT_EQ(penX(justified[last + 1], 'g'), penX(wrapped[last + 1], 'g'));
}

TEST_F(TextLayoutTest, CarriageReturnLineFeedLaysOutAsLineFeed) {
    std::vector<Quad> crlf = layOut("ab\r\ncd", 500, TEXT_ALIGN_WRAP);
    std::vector<float> first(meshes.meshes[0].vertices, meshes.meshes[0].vertices + meshes.meshes[0].vertexFloatCount);
    std::vector<Quad> lf = layOut("ab\ncd", 500, TEXT_ALIGN_WRAP);
    std::vector<float> second(meshes.meshes[0].vertices, meshes.meshes[0].vertices + meshes.meshes[0].vertexFloatCount);
    ASSERT_EQ(crlf.size(), 4u);
    EXPECT_EQ(first, second);
    EXPECT_EQ(baseline(crlf[2], 'c'), -ppem - lineHeight);
}

TEST_F(TextLayoutTest, MissingGlyphsAreQueuedOnceAndNoMeshIsBuilt) {
    std::vector<uint32_t> codes = codesOf("ab\xE2\x82\xAC" "c\xE2\x82\xAC\xC3\xBF");
    TextLayoutBox box = {500, 0, &atlas, {1, 1, 1, 1}, TEXT_ALIGN_WRAP};
    EXPECT_FALSE(layoutText(codes.data(), static_cast<uint32_t>(codes.size()), &box, &meshes, nullptr));
    ASSERT_EQ(atlas.pendingCount, 2u); // the euro sign once, then ÿ
    EXPECT_EQ(atlas.pending[0], 0x20ACu);
    EXPECT_EQ(atlas.pending[1], 0xFFu);
    EXPECT_EQ(meshes.meshes[0].vertexFloatCount, 0u);
    addPendingGlyphs(&atlas);
    EXPECT_TRUE(layoutText(codes.data(), static_cast<uint32_t>(codes.size()), &box, &meshes, nullptr));
    EXPECT_EQ(quadsOf(&meshes.meshes[0]).size(), 6u);
}

TEST_F(TextLayoutTest, AGlyphWiderThanTheBoxTakesALineOfItsOwn) {
    for (int32_t mode = 0; mode < TEXT_ALIGN_COUNT; ++mode) {
        std::vector<Quad> quads = layOut("WWW", 1, mode);
        ASSERT_EQ(quads.size(), 3u) << "mode " << mode;
        EXPECT_EQ(baseline(quads[2], 'W'), -ppem - 2 * lineHeight) << "mode " << mode;
    }
}

TEST_F(TextLayoutTest, AnAtlasWithoutAFaceGetsTheDefaultFont) {
    FontAtlas fresh = emptyFontAtlas();
    fresh.pixelSize = 20;
    std::vector<uint32_t> codes = codesOf("ok");
    TextLayoutBox box = {500, 0, &fresh, {1, 1, 1, 1}, TEXT_ALIGN_CUT};
    EXPECT_FALSE(layoutText(codes.data(), 2, &box, &meshes, nullptr));
    EXPECT_NE(fresh.face, nullptr);
    EXPECT_EQ(fresh.pendingCount, 2u);
    releaseFontAtlas(&fresh);
}

// Without its default font the atlas says so once: later texts neither lay out nor read
// the folder again, and a face given afterwards lays out as usual.
TEST_F(TextLayoutTest, AMissingDefaultFontIsNotLookedForAgain) {
    std::string empty = enterTestDirectory("no-default-font");
    ASSERT_FALSE(empty.empty());
    FontAtlas fresh = emptyFontAtlas();
    fresh.pixelSize = 20;
    std::vector<uint32_t> codes = codesOf("ok");
    TextLayoutBox box = {500, 0, &fresh, {1, 1, 1, 1}, TEXT_ALIGN_CUT};
    EXPECT_FALSE(layoutText(codes.data(), 2, &box, &meshes, nullptr));
    EXPECT_EQ(fresh.face, nullptr);
    EXPECT_NE(fresh.flags & FONT_ATLAS_DEFAULT_FONT_FAILED, 0);
    EXPECT_FALSE(layoutText(codes.data(), 2, &box, &meshes, nullptr));
    leaveTestDirectory(empty);

    ASSERT_FALSE(makeFontModuleDirectory("layout-again").empty());
    loadFontFile(&fresh, DEFAULT_FONT_PATH);
    ASSERT_NE(fresh.face, nullptr);
    EXPECT_FALSE(layoutText(codes.data(), 2, &box, &meshes, nullptr)); // glyphs queued, as for any new face
    EXPECT_EQ(fresh.pendingCount, 2u);
    releaseFontAtlas(&fresh);
}

TEST(Utf8Decoding, LeadBytesDecideTheLengthAndNulStopsEverything) {
    uint32_t codes[8];
    EXPECT_EQ(decodeUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", codes, 8), 4u);
    EXPECT_EQ(codes[0], 'a');
    EXPECT_EQ(codes[1], 0xE9u);
    EXPECT_EQ(codes[2], 0x20ACu);
    EXPECT_EQ(codes[3], 0x1F600u);
    // A sequence cut short by the terminator ends the text there, never reading on.
    const char cut[4] = {'x', '\xE2', '\x82', 0};
    EXPECT_EQ(decodeUtf8(cut, codes, 8), 1u);
    EXPECT_EQ(decodeUtf8("abc", codes, 2), 2u);
    EXPECT_EQ(decodeUtf8("", codes, 8), 0u);
}

} // namespace
