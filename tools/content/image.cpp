#include "tools/content/image.h"

static uint8_t toByte(float v) {
    if (!(v > 0.0f)) return 0;
    if (v >= 1.0f) return 255;
    return (uint8_t)(v * 255.0f + 0.5f);
}

Image makeImage(uint32_t width, uint32_t height) {
    Image image;
    image.width = width;
    image.height = height;
    image.rgba.assign((size_t)width * height * 4, 0);
    return image;
}

uint8_t* imagePixel(Image* image, uint32_t x, uint32_t y) {
    return &image->rgba[((size_t)y * image->width + x) * 4];
}

const uint8_t* imagePixel(const Image* image, uint32_t x, uint32_t y) {
    return &image->rgba[((size_t)y * image->width + x) * 4];
}

void setPixel(Image* image, uint32_t x, uint32_t y, float r, float g, float b, float a) {
    uint8_t* p = imagePixel(image, x, y);
    p[0] = toByte(r);
    p[1] = toByte(g);
    p[2] = toByte(b);
    p[3] = toByte(a);
}

Image halveImage(const Image* image) {
    uint32_t w = image->width > 1 ? image->width / 2 : 1;
    uint32_t h = image->height > 1 ? image->height / 2 : 1;
    Image out = makeImage(w, h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint32_t x0 = image->width > 1 ? 2 * x : 0, x1 = image->width > 1 ? 2 * x + 1 : 0;
            uint32_t y0 = image->height > 1 ? 2 * y : 0, y1 = image->height > 1 ? 2 * y + 1 : 0;
            const uint8_t* a = imagePixel(image, x0, y0);
            const uint8_t* b = imagePixel(image, x1, y0);
            const uint8_t* c = imagePixel(image, x0, y1);
            const uint8_t* d = imagePixel(image, x1, y1);
            uint8_t* o = imagePixel(&out, x, y);
            for (int k = 0; k < 4; ++k) o[k] = (uint8_t)((a[k] + b[k] + c[k] + d[k] + 2) / 4);
        }
    return out;
}
