// A small deterministic BC1 / BC3 (DXT1 / DXT5) block encoder: endpoints along the
// block's principal colour axis, indices by nearest palette entry. Quality is that of
// a plain range fit, plenty for procedural textures seen on small monitors.
#pragma once

#include <stdint.h>

// pixels: 16 RGBA8 texels, row by row (row 0 is the block's top). Writes 8 bytes.
void encodeBc1Block(const uint8_t* pixels, uint8_t* out);
// Writes 16 bytes: the alpha block, then a four-colour BC1 block.
void encodeBc3Block(const uint8_t* pixels, uint8_t* out);

// Decoders, used by the tests to measure the encoder's error.
void decodeBc1Block(const uint8_t* block, uint8_t* pixels);
void decodeBc3Block(const uint8_t* block, uint8_t* pixels);
