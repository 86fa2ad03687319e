#include "engine/text/atlas_packing.h"
#include "engine/text/atlas_raster.h"
#include "engine/text/font_atlas.h"
#include "text_test_support.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string.h>
#include <vector>

namespace {

// Packs n glyphs of one size on fresh pages.
AtlasPacking packUniform(int32_t w, int32_t h, uint32_t n, int32_t maxSize, std::vector<AtlasPoint>* positions) {
    std::vector<AtlasPoint> sizes(n, AtlasPoint{w, h});
    positions->assign(n, AtlasPoint{-1, -1});
    AtlasPacking packing = {};
    EXPECT_TRUE(packGlyphs(sizes.data(), n, nullptr, 0, maxSize, positions->data(), &packing));
    return packing;
}

TEST(AtlasPacking, GlyphsThatFitKeepOnePageOf128) {
    std::vector<AtlasPoint> positions;
    // 7 columns of 17 + 1 texels fill 126 of 128; 5 shelves of 24 + 1 fill 125.
    AtlasPacking packing = packUniform(17, 24, 35, 4096, &positions);
    ASSERT_EQ(packing.pageCount, 1u);
    EXPECT_EQ(packing.pages[0].width, 128);
    EXPECT_EQ(packing.pages[0].height, 128);
    EXPECT_EQ(packing.pages[0].glyphCount, 35);
    // Top-down shelves: the first at the top edge, each next one 25 texels lower.
    EXPECT_EQ(positions[0].x, 0);
    EXPECT_EQ(positions[0].y, 128 - 24);
    EXPECT_EQ(positions[1].x, 18);
    EXPECT_EQ(positions[7].x, 0);
    EXPECT_EQ(positions[7].y, 128 - 24 - 25);
    EXPECT_EQ(positions[34].y, 128 - 24 - 4 * 25);
    releaseAtlasPacking(&packing);
}

TEST(AtlasPacking, AFullPageGrowsTo256BeforeASecondPageOpens) {
    std::vector<AtlasPoint> positions;
    AtlasPacking packing = packUniform(17, 24, 36, 4096, &positions); // one more than fits
    ASSERT_EQ(packing.pageCount, 1u);
    EXPECT_EQ(packing.pages[0].width, 256);
    EXPECT_EQ(packing.pages[0].height, 256);
    // Laid out again from the top of the grown page: 14 to a shelf now.
    EXPECT_EQ(positions[0].y, 256 - 24);
    EXPECT_EQ(positions[13].x, 13 * 18);
    EXPECT_EQ(positions[14].x, 0);
    EXPECT_EQ(positions[14].y, 256 - 24 - 25);
    releaseAtlasPacking(&packing);

    // 256 is the largest here: the overflow opens a second page of 128 x 128.
    packing = packUniform(17, 24, 14 * 10 + 1, 256, &positions);
    ASSERT_EQ(packing.pageCount, 2u);
    EXPECT_EQ(packing.pages[0].width, 256);
    EXPECT_EQ(packing.pages[0].glyphCount, 140);
    EXPECT_EQ(packing.pages[1].width, 128);
    EXPECT_EQ(packing.pages[1].height, 128);
    EXPECT_EQ(packing.pages[1].glyphCount, 1);
    EXPECT_EQ(positions[140].x, 0);
    EXPECT_EQ(positions[140].y, 128 - 24);
    releaseAtlasPacking(&packing);
}

TEST(AtlasPacking, AShelfEndsWhenTheNextGlyphAndItsGapWouldReachTheEdge) {
    AtlasPoint sizes[3] = {{116, 20}, {10, 12}, {9, 12}};
    AtlasPoint positions[3];
    AtlasPacking packing = {};
    // After the 116-wide glyph the pen is at 117: 117 + 10 + 1 >= 128 starts a shelf.
    ASSERT_TRUE(packGlyphs(sizes, 2, nullptr, 0, 4096, positions, &packing));
    EXPECT_EQ(positions[1].x, 0);
    EXPECT_EQ(positions[1].y, 128 - 20 - 13);
    // A glyph of 9 still fits (117 + 9 + 1 = 127).
    AtlasPoint narrow[2] = {sizes[0], sizes[2]};
    ASSERT_TRUE(packGlyphs(narrow, 2, nullptr, 0, 4096, positions, &packing));
    EXPECT_EQ(positions[1].x, 117);
    EXPECT_EQ(positions[1].y, 128 - 20);
    releaseAtlasPacking(&packing);
}

TEST(AtlasPacking, GlyphsLargerThanAPageGrowItOrStandAlone) {
    // Taller than a fresh page: the page grows instead of clipping the glyph.
    AtlasPoint tall[2] = {{40, 300}, {40, 20}};
    AtlasPoint positions[2];
    AtlasPacking packing = {};
    ASSERT_TRUE(packGlyphs(tall, 2, nullptr, 0, 4096, positions, &packing));
    ASSERT_EQ(packing.pageCount, 1u);
    EXPECT_EQ(packing.pages[0].height, 512);
    EXPECT_EQ(positions[0].y, 512 - 300);
    // Wider and taller than the largest page: each stands alone on its page, clipped,
    // and packing ends.
    AtlasPoint huge[3] = {{5000, 5000}, {5000, 5000}, {10, 10}};
    AtlasPoint placed[3];
    ASSERT_TRUE(packGlyphs(huge, 3, nullptr, 0, 4096, placed, &packing));
    EXPECT_EQ(packing.pageCount, 3u);
    EXPECT_EQ(placed[0].x, 0);
    EXPECT_EQ(placed[1].x, 0);
    for (uint32_t i = 0; i < packing.pageCount; ++i) EXPECT_LE(packing.pages[i].width, 4096);
    EXPECT_EQ(packing.pages[2].glyphCount, 1);
    releaseAtlasPacking(&packing);
}

TEST(AtlasPacking, AFullPageWithASuccessorHandsOverAtItsSize) {
    PackedPage existing[2] = {{128, 128, 0}, {128, 128, 0}};
    std::vector<AtlasPoint> sizes(36, AtlasPoint{17, 24});
    std::vector<AtlasPoint> positions(36);
    AtlasPacking packing = {};
    ASSERT_TRUE(packGlyphs(sizes.data(), 36, existing, 2, 4096, positions.data(), &packing));
    ASSERT_EQ(packing.pageCount, 2u);
    EXPECT_EQ(packing.pages[0].width, 128);
    EXPECT_EQ(packing.pages[0].glyphCount, 35);
    EXPECT_EQ(packing.pages[1].glyphCount, 1);
    EXPECT_EQ(positions[35].y, 128 - 24);
    releaseAtlasPacking(&packing);
}

TEST(GlyphBitmapCopy, GlyphsOfOneShelfHangFromItsTopEdge) {
    const int32_t W = 64, H = 64;
    std::vector<uint8_t> page(W * H, 0);
    // A 20-row and a 12-row bitmap on a shelf whose lower edge is y = 30 and whose
    // first (tallest) glyph is 20 high: the shelf's top texel row is 49.
    std::vector<uint8_t> tall(3 * 20, 0), shortGlyph(4 * 12, 0);
    tall[0] = 200;       // row 0 (the top), first column
    tall[3 * 19] = 100;  // bottom row
    shortGlyph[0] = 150; // top row
    AtlasPoint first = {0, 30}, second = {4, 30};
    copyGlyphBitmap(page.data(), W, H, &first, 20, tall.data(), 20, 3, 3);
    copyGlyphBitmap(page.data(), W, H, &second, 20, shortGlyph.data(), 12, 4, 4);
    EXPECT_EQ(first.y, 30);
    EXPECT_EQ(second.y, 38);
    EXPECT_EQ(page[49 * W + 0], 200); // both tops on row 49
    EXPECT_EQ(page[49 * W + 4], 150);
    EXPECT_EQ(page[30 * W + 0], 100); // the tall glyph's bottom on the shelf's lower edge
    EXPECT_EQ(page[50 * W + 4], 0);
    EXPECT_EQ(page[49 * W + 8], 0);
}

TEST(GlyphBitmapCopy, TexelsOutsideThePageAreSkippedAndOverlapsCombine) {
    const int32_t W = 8, H = 8;
    std::vector<uint8_t> page(W * H, 0);
    page[7 * W + 6] = 0x0F;
    std::vector<uint8_t> bitmap(4 * 4, 0xF0);
    AtlasPoint at = {6, 6}; // two columns and two rows fall outside
    copyGlyphBitmap(page.data(), W, H, &at, 4, bitmap.data(), 4, 4, 4);
    EXPECT_EQ(page[7 * W + 6], 0xFF);
    EXPECT_EQ(page[6 * W + 7], 0xF0);
    EXPECT_EQ(page[5 * W + 6], 0x00);
    // A pitch wider than the bitmap: only width bytes of each row are read.
    std::vector<uint8_t> padded = {1, 2, 99, 99, 3, 4, 99, 99};
    std::vector<uint8_t> small(4 * 4, 0);
    AtlasPoint origin = {0, 0};
    copyGlyphBitmap(small.data(), 4, 4, &origin, 2, padded.data(), 2, 2, 4);
    EXPECT_EQ(small[1 * 4 + 0], 1);
    EXPECT_EQ(small[1 * 4 + 1], 2);
    EXPECT_EQ(small[0 * 4 + 0], 3);
    EXPECT_EQ(small[0 * 4 + 2], 0);
}

class FontAtlasTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(makeFontModuleDirectory("atlas").empty());
        bindTextureRecorder(16384);
    }
    void TearDown() override {
        releaseFontAtlas(&atlas);
        unbindTextureRecorder();
    }
    FontAtlas atlas = {};
};

TEST_F(FontAtlasTest, AFewGlyphsMakeOneUploadedPageOf128) {
    ASSERT_TRUE(makeAtlas(&atlas, 20, "Hello"));
    EXPECT_EQ(atlas.glyphCount, 4u); // H e l o
    ASSERT_EQ(atlas.pageCount, 1u);
    EXPECT_EQ(atlas.pages[0].description.width, 128);
    EXPECT_EQ(atlas.pages[0].description.height, 128);
    EXPECT_EQ(atlas.pages[0].description.pixelFormat, 5u);
    EXPECT_EQ(atlas.pages[0].description.mipLevels, 1u);
    EXPECT_EQ(atlas.pendingCount, 0u);
    RecordedTexture* texture = recordedTexture(atlas.pages[0].texture);
    ASSERT_NE(texture, nullptr);
    // Nearest filtering unless the atlas asks for smooth pages.
    EXPECT_TRUE(texture->smoothCalled);
    EXPECT_FALSE(texture->smooth);
    ASSERT_EQ(texture->pixels.size(), 128u * 128u);
    // Tallest first; every glyph's texels lie inside its box in the page.
    for (uint32_t i = 1; i < atlas.glyphCount; ++i) EXPECT_GE(atlas.sizes[i - 1].y, atlas.sizes[i].y);
    for (uint32_t i = 0; i < atlas.glyphCount; ++i) {
        GlyphInfo glyph;
        ASSERT_TRUE(lookUpGlyph(&atlas, atlas.codes[i], &glyph));
        uint32_t inside = 0;
        for (int32_t y = 0; y < atlas.sizes[i].y; ++y)
            for (int32_t x = 0; x < atlas.sizes[i].x; ++x)
                inside += texture->pixels[(atlas.atlasPositions[i].y + y) * 128 + atlas.atlasPositions[i].x + x];
        EXPECT_GT(inside, 0u) << "glyph " << atlas.codes[i];
        EXPECT_FLOAT_EQ(glyph.u, atlas.atlasPositions[i].x / 128.0f);
        EXPECT_FLOAT_EQ(glyph.dv, atlas.sizes[i].y / 128.0f);
    }
}

TEST_F(FontAtlasTest, ManyGlyphsGrowThePageBeforeOpeningAnother) {
    std::string ascii;
    for (char c = 33; c < 127; ++c) ascii += c;
    ASSERT_TRUE(makeAtlas(&atlas, 36, ascii.c_str()));
    EXPECT_EQ(atlas.glyphCount, 94u);
    ASSERT_EQ(atlas.pageCount, 1u);
    EXPECT_EQ(atlas.pages[0].description.width, 256);
    EXPECT_EQ(atlas.glyphsPerPage[0], 94);
    // The same glyphs at a larger size on a backend whose largest texture is 256:
    // the grown page is full, and the rest goes onto a second page.
    releaseFontAtlas(&atlas);
    bindTextureRecorder(256);
    ASSERT_TRUE(makeAtlas(&atlas, 60, ascii.c_str()));
    ASSERT_GE(atlas.pageCount, 2u);
    EXPECT_EQ(atlas.pages[0].description.width, 256);
    EXPECT_EQ(atlas.glyphsPerPage[0] + atlas.glyphsPerPage[1], 94);
    GlyphInfo last;
    ASSERT_TRUE(lookUpGlyph(&atlas, atlas.codes[93], &last));
    EXPECT_EQ(last.page, atlas.pageCount - 1);
    EXPECT_NE(atlas.pages[1].texture, atlas.pages[0].texture);
}

TEST_F(FontAtlasTest, LookingUpAnAbsentCodePointChangesNothing) {
    ASSERT_TRUE(makeAtlas(&atlas, 20, "ab"));
    FontAtlas before = atlas;
    std::vector<AtlasPoint> positions(atlas.atlasPositions, atlas.atlasPositions + atlas.glyphCount);
    GlyphInfo glyph;
    memset(&glyph, 0x5A, sizeof(glyph));
    GlyphInfo untouched = glyph;
    EXPECT_FALSE(lookUpGlyph(&atlas, 'z', &glyph));
    EXPECT_FALSE(lookUpGlyph(&atlas, 0x1F600, &glyph));
    EXPECT_EQ(memcmp(&glyph, &untouched, sizeof(glyph)), 0);
    EXPECT_EQ(memcmp(&before, &atlas, sizeof(atlas)), 0);
    EXPECT_EQ(memcmp(positions.data(), atlas.atlasPositions, positions.size() * sizeof(AtlasPoint)), 0);
}

TEST_F(FontAtlasTest, PendingCodePointsQueueOnceAndRebuildKeepsEveryGlyph) {
    ASSERT_TRUE(makeAtlas(&atlas, 20, "ab"));
    queuePendingGlyph(&atlas, 'c');
    queuePendingGlyph(&atlas, 'c');
    queuePendingGlyph(&atlas, 'a'); // already in the tables: ignored by the add
    EXPECT_EQ(atlas.pendingCount, 2u);
    addPendingGlyphs(&atlas);
    EXPECT_EQ(atlas.glyphCount, 3u);
    EXPECT_EQ(atlas.pendingCount, 0u);
    // A new pixel size (a resize) re-measures every glyph and keeps the page's texture.
    GlyphInfo small, large;
    ASSERT_TRUE(lookUpGlyph(&atlas, 'b', &small));
    uint32_t texture = atlas.pages[0].texture;
    atlas.pixelSize = 40;
    rebuildFontAtlas(&atlas);
    ASSERT_TRUE(lookUpGlyph(&atlas, 'b', &large));
    EXPECT_GT(large.size.y, small.size.y);
    EXPECT_GT(large.advance.x, small.advance.x);
    EXPECT_EQ(atlas.pages[0].texture, texture);
    // Code points queued before a rebuild are built with it.
    queuePendingGlyph(&atlas, 'z');
    rebuildFontAtlas(&atlas);
    EXPECT_EQ(atlas.pendingCount, 0u);
    EXPECT_TRUE(lookUpGlyph(&atlas, 'z', &large));
    EXPECT_GT(large.size.x, 0);
}

// A build keeps each glyph's bitmap from the load that measured it; the pages, places
// and bearings must be exactly those of glyphs rendered again at the copy, for the
// glyphs of a rebuild and for glyphs added to an existing atlas alike.
TEST_F(FontAtlasTest, KeptBitmapsGiveThePagesOfGlyphsRenderedAtTheCopy) {
    ASSERT_TRUE(makeAtlas(&atlas, 27, "Quelle \xC3\xA9nigme, \xC5\x93uvre \xC3\xA0 faire: gjpqy"));
    for (uint32_t code : {0xC7u, 0x2019u, 0x57u}) queuePendingGlyph(&atlas, code);
    addPendingGlyphs(&atlas);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            atlas.pixelSize = 19;
            rebuildFontAtlas(&atlas);
        }
        ASSERT_EQ(atlas.pageCount, 1u);
        RecordedTexture* page = recordedTexture(atlas.pages[0].texture);
        ASSERT_NE(page, nullptr);
        std::vector<uint8_t> kept = page->pixels;
        std::vector<AtlasPoint> positions(atlas.atlasPositions, atlas.atlasPositions + atlas.glyphCount);
        std::vector<AtlasPoint> bearings(atlas.bearings, atlas.bearings + atlas.glyphCount);
        uint32_t ink = 0;
        for (uint8_t texel : kept) ink += texel;
        EXPECT_GT(ink, 0u);

        // The rendered load measured each glyph as a plain load does.
        for (uint32_t i = 0; i < atlas.glyphCount; ++i) {
            FT_Face face = atlas.face;
            ASSERT_EQ(FT_Load_Glyph(face, FT_Get_Char_Index(face, atlas.codes[i]), FT_LOAD_DEFAULT), 0);
            EXPECT_EQ(atlas.sizes[i].x, face->glyph->metrics.width >> 6) << "glyph " << atlas.codes[i];
            EXPECT_EQ(atlas.sizes[i].y, face->glyph->metrics.height >> 6) << "glyph " << atlas.codes[i];
            EXPECT_EQ(atlas.advances[i].x, face->glyph->advance.x >> 6) << "glyph " << atlas.codes[i];
        }

        packAndRasteriseAtlas(&atlas, nullptr); // every glyph rendered at the copy
        page = recordedTexture(atlas.pages[0].texture);
        EXPECT_TRUE(page->pixels == kept) << "pass " << pass;
        for (uint32_t i = 0; i < atlas.glyphCount; ++i) {
            EXPECT_EQ(atlas.atlasPositions[i].x, positions[i].x) << "glyph " << atlas.codes[i];
            EXPECT_EQ(atlas.atlasPositions[i].y, positions[i].y) << "glyph " << atlas.codes[i];
            EXPECT_EQ(atlas.bearings[i].x, bearings[i].x) << "glyph " << atlas.codes[i];
            EXPECT_EQ(atlas.bearings[i].y, bearings[i].y) << "glyph " << atlas.codes[i];
        }
    }
}

TEST_F(FontAtlasTest, AnUnreadableFontLeavesTheAtlasWithoutAFace) {
    EXPECT_EQ(loadFontFile(&atlas, "data/missing.ttf"), 0);
    EXPECT_EQ(atlas.face, nullptr);
    uint8_t* junk = new uint8_t[16]();
    EXPECT_NE(loadFontFromMemory(&atlas, junk, 16), 0);
    EXPECT_EQ(atlas.face, nullptr);
    // Without a face nothing can be added; the queue is dropped instead of kept forever.
    queuePendingGlyph(&atlas, 'a');
    addPendingGlyphs(&atlas);
    EXPECT_EQ(atlas.glyphCount, 0u);
    EXPECT_EQ(atlas.pendingCount, 0u);
}

} // namespace

// Pages grow up to the backend's largest texture, but never past 4096 however large
// the backend says it can go; a backend that reports nothing leaves 4096.
TEST(AtlasPageLimit, TheBackendsLargestTextureCappedAt4096) {
    bindTextureRecorder(16384);
    EXPECT_EQ(largestAtlasPageSize(), 4096);
    bindTextureRecorder(1024);
    EXPECT_EQ(largestAtlasPageSize(), 1024);
    bindTextureRecorder(0);
    EXPECT_EQ(largestAtlasPageSize(), 4096);
    unbindTextureRecorder();
}

// A smooth atlas uploads its pages as smooth and leaves the filter alone; only a
// nearest atlas switches its pages' filtering.
TEST_F(FontAtlasTest, SmoothAtlasesUploadSmoothPages) {
    atlas = emptyFontAtlas();
    atlas.pixelSize = 20;
    atlas.flags |= FONT_ATLAS_SMOOTH;
    ASSERT_EQ(loadFontFile(&atlas, "data/corvex/fonts/Rubik-Regular.ttf"), 0);
    queuePendingGlyph(&atlas, 'Q');
    addPendingGlyphs(&atlas);
    ASSERT_EQ(atlas.pageCount, 1u);
    RecordedTexture* texture = recordedTexture(atlas.pages[0].texture);
    ASSERT_NE(texture, nullptr);
    EXPECT_FALSE(texture->smoothCalled);
    EXPECT_EQ(texture->description.smooth, 1);
    EXPECT_EQ(atlas.pages[0].description.smooth, 1);
}
