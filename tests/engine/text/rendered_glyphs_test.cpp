#include "engine/text/rendered_glyphs.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

TEST(RenderedGlyphs, KeptBitmapsAreCopiesFoundByCodeWhateverTheOrder) {
    RenderedGlyphs kept = {};
    // A grey glyph stored bottom-up (negative pitch, padded rows), a one-bit glyph and
    // one without pixels (a space), kept out of code order.
    uint8_t grey[2 * 4] = {1, 2, 3, 0xEE, 4, 5, 6, 0xEE};
    uint8_t mono[2] = {0xA0, 0x40};
    GlyphBitmap greyBitmap = {grey, 2, 3, -4, FT_PIXEL_MODE_GRAY, 1, 9};
    GlyphBitmap monoBitmap = {mono, 2, 3, 1, FT_PIXEL_MODE_MONO, -2, 5};
    GlyphBitmap space = {nullptr, 0, 0, 0, FT_PIXEL_MODE_GRAY, 0, 0};
    ASSERT_TRUE(keepRenderedGlyph(&kept, 'z', &greyBitmap));
    ASSERT_TRUE(keepRenderedGlyph(&kept, ' ', &space));
    ASSERT_TRUE(keepRenderedGlyph(&kept, 0x153, &monoBitmap));
    grey[0] = 99; // the kept bitmap is the one handed over, not the buffer it came from

    GlyphBitmap found;
    ASSERT_TRUE(findRenderedGlyph(&kept, 'z', &found));
    EXPECT_EQ(found.rows, 2);
    EXPECT_EQ(found.width, 3);
    EXPECT_EQ(found.pitch, -4);
    EXPECT_EQ(found.left, 1);
    EXPECT_EQ(found.top, 9);
    ASSERT_NE(found.buffer, nullptr);
    EXPECT_EQ(found.buffer[0], 1);
    EXPECT_EQ(found.buffer[6], 6);
    ASSERT_TRUE(findRenderedGlyph(&kept, 0x153, &found));
    EXPECT_EQ(found.pixelMode, FT_PIXEL_MODE_MONO);
    EXPECT_EQ(found.buffer[0], 0xA0);
    EXPECT_EQ(found.buffer[1], 0x40);
    ASSERT_TRUE(findRenderedGlyph(&kept, ' ', &found));
    EXPECT_EQ(found.buffer, nullptr);
    EXPECT_FALSE(findRenderedGlyph(&kept, 'a', &found));

    // Keeping more after a look-up still finds every glyph.
    for (uint32_t code = 0x400; code < 0x440; ++code) ASSERT_TRUE(keepRenderedGlyph(&kept, code, &greyBitmap));
    ASSERT_TRUE(findRenderedGlyph(&kept, 0x43F, &found));
    EXPECT_EQ(found.buffer[0], 99);
    ASSERT_TRUE(findRenderedGlyph(&kept, 'z', &found));
    EXPECT_EQ(found.buffer[0], 1);
    releaseRenderedGlyphs(&kept);
    EXPECT_FALSE(findRenderedGlyph(&kept, 'z', &found));
}

} // namespace
