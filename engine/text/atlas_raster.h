// Packing the glyph tables of an atlas onto its pages and rendering every page anew.
#pragma once

#include "engine/text/font_atlas.h"
#include "engine/text/rendered_glyphs.h"

// The largest page edge: the backend's maximum texture size, at most 4096 (4096 when
// no backend is bound).
int32_t largestAtlasPageSize();

// Packs the (sorted) glyph tables onto pages, copies each glyph's bitmap into one
// staging buffer, page after page, and uploads every page through the backend (when
// one is bound). A glyph's bitmap comes from `kept` when it was rendered as its
// metrics were loaded, else FreeType renders it here. Leaves the atlas as it was when
// memory runs out.
void packAndRasteriseAtlas(FontAtlas* atlas, RenderedGlyphs* kept);
