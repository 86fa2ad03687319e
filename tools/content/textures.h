// The procedural textures: one generator per file, all deterministic (integer hash
// noise, no clock, no random state), sizes powers of two.
#pragma once

#include "tools/content/image.h"

#include <stdint.h>

enum TextureFormat { TEXTURE_PNG_RGB, TEXTURE_PNG_RGBA, TEXTURE_BMP, TEXTURE_DDS_BC1, TEXTURE_DDS_BC3 };

struct TextureSpec {
    const char* path; // relative to the program directory
    TextureFormat format;
    uint32_t width, height;
    void (*generate)(Image* image);
};

// Every texture of the data folder, level, interactables and the fixed white and black
// textures included.
const TextureSpec* textureTable(uint32_t* count);

// Hash noise shared by the generators: a value in [0, 1) for integer lattice points,
// and smooth value noise that tiles with the given period.
float hashNoise(uint32_t x, uint32_t y, uint32_t seed);
float tiledNoise(float x, float y, uint32_t period, uint32_t seed);
