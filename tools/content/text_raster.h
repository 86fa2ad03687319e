// Text drawn into textures (signs, posters, the whiteboard) with FreeType, from the
// same font files the data folder ships. Deterministic for a given font file.
#pragma once

#include "tools/content/image.h"

#include <stdint.h>

// The Debian font files the data folder's fonts are copied from.
inline constexpr const char* kTitleFontSource = "/usr/share/fonts/truetype/lato/Lato-Black.ttf";
inline constexpr const char* kBodyFontSource = "/usr/share/fonts/truetype/open-sans/OpenSans-Regular.ttf";
inline constexpr const char* kTitleFontLicence = "/usr/share/doc/fonts-lato/copyright";
inline constexpr const char* kBodyFontLicence = "/usr/share/doc/fonts-open-sans/copyright";

enum TextAlign { ALIGN_LEFT, ALIGN_CENTRE };

// Opens both faces; false when a font file is missing (the builder then stops).
bool initTextRaster();
void shutdownTextRaster();

// Draws UTF-8 text with its baseline at y (pixels from the top), left edge or centre at
// x, blending colour over the image by the glyph coverage. Returns the text's width.
int drawText(Image* image, bool title, uint32_t pixelHeight, const char* text, int x, int y, TextAlign align,
             float r, float g, float b);
// Width the text would take.
int measureText(bool title, uint32_t pixelHeight, const char* text);
