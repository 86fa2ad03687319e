#include "tools/content/text_raster.h"

#include "engine/text/utf8_decode.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string.h>

#include <vector>

namespace {

FT_Library gLibrary = nullptr;
FT_Face gFaces[2] = {nullptr, nullptr};

int layout(Image* image, bool title, uint32_t pixelHeight, const char* text, int x, int y, float r, float g, float b) {
    FT_Face face = gFaces[title ? 0 : 1];
    if (!face) return 0;
    FT_Set_Pixel_Sizes(face, 0, pixelHeight);
    int pen = x;
    FT_UInt previous = 0;
    // The game's own decoder, so the textures spell a text as the game would lay it out.
    std::vector<uint32_t> codes(strlen(text) + 1);
    codes.resize(decodeUtf8(text, codes.data(), (uint32_t)codes.size()));
    for (uint32_t c : codes) {
        FT_UInt glyph = FT_Get_Char_Index(face, c);
        if (previous && glyph && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern) == 0) pen += (int)(kern.x >> 6);
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) continue;
        FT_GlyphSlot slot = face->glyph;
        if (image) {
            const FT_Bitmap* bm = &slot->bitmap;
            for (unsigned row = 0; row < bm->rows; ++row)
                for (unsigned col = 0; col < bm->width; ++col) {
                    int px = pen + slot->bitmap_left + (int)col, py = y - slot->bitmap_top + (int)row;
                    if (px < 0 || py < 0 || px >= (int)image->width || py >= (int)image->height) continue;
                    float a = bm->buffer[row * bm->pitch + col] / 255.0f;
                    uint8_t* d = imagePixel(image, (uint32_t)px, (uint32_t)py);
                    d[0] = (uint8_t)(d[0] + (r * 255.0f - d[0]) * a + 0.5f);
                    d[1] = (uint8_t)(d[1] + (g * 255.0f - d[1]) * a + 0.5f);
                    d[2] = (uint8_t)(d[2] + (b * 255.0f - d[2]) * a + 0.5f);
                }
        }
        pen += (int)(slot->advance.x >> 6);
        previous = glyph;
    }
    return pen - x;
}

} // namespace

bool initTextRaster() {
    if (gLibrary) return true;
    if (FT_Init_FreeType(&gLibrary) != 0) return false;
    if (FT_New_Face(gLibrary, kTitleFontSource, 0, &gFaces[0]) != 0) gFaces[0] = nullptr;
    if (FT_New_Face(gLibrary, kBodyFontSource, 0, &gFaces[1]) != 0) gFaces[1] = nullptr;
    return gFaces[0] && gFaces[1];
}

void shutdownTextRaster() {
    for (FT_Face& face : gFaces)
        if (face) {
            FT_Done_Face(face);
            face = nullptr;
        }
    if (gLibrary) FT_Done_FreeType(gLibrary);
    gLibrary = nullptr;
}

int measureText(bool title, uint32_t pixelHeight, const char* text) {
    return layout(nullptr, title, pixelHeight, text, 0, 0, 0, 0, 0);
}

int drawText(Image* image, bool title, uint32_t pixelHeight, const char* text, int x, int y, TextAlign align,
             float r, float g, float b) {
    if (align == ALIGN_CENTRE) x -= measureText(title, pixelHeight, text) / 2;
    return layout(image, title, pixelHeight, text, x, y, r, g, b);
}
