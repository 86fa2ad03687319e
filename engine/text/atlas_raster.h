// Packing the glyph tables of an atlas onto its pages and rendering every page anew.
#pragma once

#include "engine/text/font_atlas.h"

// The largest page edge: the backend's maximum texture size, at most 4096 (4096 when
// no backend is bound).
int32_t largestAtlasPageSize();

// Packs the (sorted) glyph tables onto pages, renders each glyph with FreeType into
// one staging buffer, page after page, and uploads every page through the backend
// (when one is bound). Leaves the atlas as it was when memory runs out.
void packAndRasteriseAtlas(FontAtlas* atlas);
