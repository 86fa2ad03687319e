// The image readers behind loadTexture. Each returns one newly allocated pixel block
// (released with releaseImagePixels) with its rows bottom-up, or null when the file
// cannot be read or is refused; assetRefusal() then says why and the out-values are
// left as they were (except where noted).
#pragma once

#include "backend/renderer_types.h"

#include <stdint.h>

// 24-bit uncompressed BMP, BGR as stored, rows bottom-up with the file's row padding.
unsigned char* readBmp(const char* path, uint16_t* width, uint16_t* height, uint64_t* byteSize);

// A BMP-layout file under any other name, widened to B, G, R, R per pixel.
unsigned char* readFallbackImage(const char* path, uint16_t* width, uint16_t* height, uint64_t* byteSize);

// PNG through libpng. 8-bit grey, RGB and RGBA arrive as stored (RGBA with its colour
// premultiplied by alpha); palette images become RGB (RGBA with transparency), 16-bit
// samples are scaled to 8 bits, grey below 8 bits is widened to 8, grey with alpha
// becomes RGBA. channels is 1, 3 or 4.
unsigned char* readPng(const char* path, uint16_t* width, uint16_t* height, uint32_t* channels, uint64_t* byteSize);

// DDS: uncompressed 8-bit layouts and BC1/BC2/BC3, every level flipped to bottom-up.
// format receives the pixel format (PIXEL_FORMAT_UNSUPPORTED for a layout it does not
// read or a refused file) and levels the header's mip-map count (0 when refused).
unsigned char* readDds(const char* path, uint16_t* width, uint16_t* height, uint32_t* format, uint16_t* levels,
                       uint64_t* byteSize);

void releaseImagePixels(void* pixels);

// What loadTexture reads from a path: the reader picked by the name, the description's
// width, height and pixel format filled as that reader gives them, the levels in data
// and the block size. Null when no pixels could be had (the description may still
// have its pixel format set, as the upload expects).
unsigned char* readTextureImage(const char* path, TextureDescription* description, uint16_t* levelsInData,
                                uint64_t* byteSize);

// 1 + floor(log2(max(width, height))): 1 for 1 x 1, 2 for 2 x 2 and 3 x 3, 3 for 4 x 4.
uint32_t fullMipCount(uint32_t width, uint32_t height);
