// An 8-bit RGBA picture in memory, rows top-down (row 0 is the top of the picture),
// the order PNG and DDS files store. Writers that need another order convert.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

struct Image {
    uint32_t width;
    uint32_t height;
    std::vector<uint8_t> rgba; // width * height * 4
};

Image makeImage(uint32_t width, uint32_t height);
uint8_t* imagePixel(Image* image, uint32_t x, uint32_t y);
const uint8_t* imagePixel(const Image* image, uint32_t x, uint32_t y);
void setPixel(Image* image, uint32_t x, uint32_t y, float r, float g, float b, float a = 1.0f);

// The next mip level: a 2 x 2 box filter, each side halved (never below 1).
Image halveImage(const Image* image);

// Writers; false on an I/O error. PNG keeps the alpha channel only when asked and
// writes no time stamp, so the bytes depend on the pixels alone.
bool writePng(const char* path, const Image* image, bool withAlpha);
// 24-bit BMP, rows bottom-up, each padded to 4 bytes; the data size field is set.
bool writeBmp(const char* path, const Image* image);

enum DdsKind { DDS_BC1, DDS_BC3 };
// Block-compressed DDS with the whole mip chain down to 1 x 1. Width and height must
// be powers of two.
bool writeDds(const char* path, const Image* image, DdsKind kind);
