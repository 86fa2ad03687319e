#include "tools/content/bc_encoder.h"

#include <math.h>
#include <string.h>

static uint16_t packRgb565(const float* c) {
    int r = (int)(c[0] * 31.0f / 255.0f + 0.5f);
    int g = (int)(c[1] * 63.0f / 255.0f + 0.5f);
    int b = (int)(c[2] * 31.0f / 255.0f + 0.5f);
    r = r < 0 ? 0 : (r > 31 ? 31 : r);
    g = g < 0 ? 0 : (g > 63 ? 63 : g);
    b = b < 0 ? 0 : (b > 31 ? 31 : b);
    return (uint16_t)((r << 11) | (g << 5) | b);
}

static void unpackRgb565(uint16_t v, int* rgb) {
    int r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
    rgb[0] = (r << 3) | (r >> 2);
    rgb[1] = (g << 2) | (g >> 4);
    rgb[2] = (b << 3) | (b >> 2);
}

// The four-colour palette of two endpoints (c0 > c1 order is the caller's business).
static void palette4(uint16_t c0, uint16_t c1, int palette[4][3]) {
    unpackRgb565(c0, palette[0]);
    unpackRgb565(c1, palette[1]);
    for (int k = 0; k < 3; ++k) {
        palette[2][k] = (2 * palette[0][k] + palette[1][k]) / 3;
        palette[3][k] = (palette[0][k] + 2 * palette[1][k]) / 3;
    }
}

static void encodeColourBlock(const uint8_t* pixels, uint8_t* out) {
    float mean[3] = {0, 0, 0};
    for (int i = 0; i < 16; ++i)
        for (int k = 0; k < 3; ++k) mean[k] += pixels[i * 4 + k] / 16.0f;
    float cov[6] = {0, 0, 0, 0, 0, 0}; // rr rg rb gg gb bb
    for (int i = 0; i < 16; ++i) {
        float d[3];
        for (int k = 0; k < 3; ++k) d[k] = pixels[i * 4 + k] - mean[k];
        cov[0] += d[0] * d[0];
        cov[1] += d[0] * d[1];
        cov[2] += d[0] * d[2];
        cov[3] += d[1] * d[1];
        cov[4] += d[1] * d[2];
        cov[5] += d[2] * d[2];
    }
    // Principal axis by a fixed number of power iterations, starting from the
    // covariance row of the channel that varies most (never orthogonal to the axis
    // when there is any variation, unlike a fixed start such as grey).
    int widest = cov[0] >= cov[3] && cov[0] >= cov[5] ? 0 : (cov[3] >= cov[5] ? 1 : 2);
    float axis[3];
    if (widest == 0) axis[0] = cov[0], axis[1] = cov[1], axis[2] = cov[2];
    else if (widest == 1) axis[0] = cov[1], axis[1] = cov[3], axis[2] = cov[4];
    else axis[0] = cov[2], axis[1] = cov[4], axis[2] = cov[5];
    if (axis[0] == 0 && axis[1] == 0 && axis[2] == 0) axis[0] = axis[1] = axis[2] = 1;
    for (int it = 0; it < 8; ++it) {
        float n[3] = {cov[0] * axis[0] + cov[1] * axis[1] + cov[2] * axis[2],
                      cov[1] * axis[0] + cov[3] * axis[1] + cov[4] * axis[2],
                      cov[2] * axis[0] + cov[4] * axis[1] + cov[5] * axis[2]};
        float length = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length < 1e-6f) break;
        for (int k = 0; k < 3; ++k) axis[k] = n[k] / length;
    }
    float lo = 1e30f, hi = -1e30f;
    for (int i = 0; i < 16; ++i) {
        float t = 0;
        for (int k = 0; k < 3; ++k) t += (pixels[i * 4 + k] - mean[k]) * axis[k];
        if (t < lo) lo = t;
        if (t > hi) hi = t;
    }
    float a[3], b[3];
    for (int k = 0; k < 3; ++k) {
        a[k] = mean[k] + axis[k] * hi;
        b[k] = mean[k] + axis[k] * lo;
    }
    uint16_t c0 = packRgb565(a), c1 = packRgb565(b);
    if (c0 < c1) {
        uint16_t t = c0;
        c0 = c1;
        c1 = t;
    }
    uint32_t indices = 0;
    if (c0 != c1) {
        int palette[4][3];
        palette4(c0, c1, palette);
        for (int i = 0; i < 16; ++i) {
            int best = 0, bestError = 1 << 30;
            for (int p = 0; p < 4; ++p) {
                int e = 0;
                for (int k = 0; k < 3; ++k) {
                    int d = pixels[i * 4 + k] - palette[p][k];
                    e += d * d;
                }
                if (e < bestError) {
                    bestError = e;
                    best = p;
                }
            }
            indices |= (uint32_t)best << (2 * i);
        }
    }
    out[0] = (uint8_t)(c0 & 0xFF);
    out[1] = (uint8_t)(c0 >> 8);
    out[2] = (uint8_t)(c1 & 0xFF);
    out[3] = (uint8_t)(c1 >> 8);
    for (int i = 0; i < 4; ++i) out[4 + i] = (uint8_t)(indices >> (8 * i));
}

void encodeBc1Block(const uint8_t* pixels, uint8_t* out) { encodeColourBlock(pixels, out); }

void encodeBc3Block(const uint8_t* pixels, uint8_t* out) {
    int lo = 255, hi = 0;
    for (int i = 0; i < 16; ++i) {
        int a = pixels[i * 4 + 3];
        if (a < lo) lo = a;
        if (a > hi) hi = a;
    }
    uint64_t bits = 0;
    if (hi > lo) {
        // Eight-value mode (a0 > a1): a0, a1 and six steps between them.
        int values[8];
        values[0] = hi;
        values[1] = lo;
        for (int k = 1; k <= 6; ++k) values[1 + k] = ((7 - k) * hi + k * lo) / 7;
        for (int i = 0; i < 16; ++i) {
            int a = pixels[i * 4 + 3], best = 0, bestError = 1 << 30;
            for (int p = 0; p < 8; ++p) {
                int d = a - values[p];
                if (d * d < bestError) {
                    bestError = d * d;
                    best = p;
                }
            }
            bits |= (uint64_t)best << (3 * i);
        }
    }
    out[0] = (uint8_t)hi;
    out[1] = (uint8_t)lo;
    for (int i = 0; i < 6; ++i) out[2 + i] = (uint8_t)(bits >> (8 * i));
    encodeColourBlock(pixels, out + 8);
}

void decodeBc1Block(const uint8_t* block, uint8_t* pixels) {
    uint16_t c0 = (uint16_t)(block[0] | (block[1] << 8)), c1 = (uint16_t)(block[2] | (block[3] << 8));
    int palette[4][3];
    palette4(c0, c1, palette);
    bool threeColour = c0 <= c1;
    if (threeColour)
        for (int k = 0; k < 3; ++k) {
            palette[2][k] = (palette[0][k] + palette[1][k]) / 2;
            palette[3][k] = 0;
        }
    uint32_t indices = (uint32_t)block[4] | ((uint32_t)block[5] << 8) | ((uint32_t)block[6] << 16) |
                       ((uint32_t)block[7] << 24);
    for (int i = 0; i < 16; ++i) {
        int p = (indices >> (2 * i)) & 3;
        for (int k = 0; k < 3; ++k) pixels[i * 4 + k] = (uint8_t)palette[p][k];
        pixels[i * 4 + 3] = (threeColour && p == 3) ? 0 : 255;
    }
}

void decodeBc3Block(const uint8_t* block, uint8_t* pixels) {
    int a0 = block[0], a1 = block[1];
    int values[8];
    values[0] = a0;
    values[1] = a1;
    if (a0 > a1) {
        for (int k = 1; k <= 6; ++k) values[1 + k] = ((7 - k) * a0 + k * a1) / 7;
    } else {
        for (int k = 1; k <= 4; ++k) values[1 + k] = ((5 - k) * a0 + k * a1) / 5;
        values[6] = 0;
        values[7] = 255;
    }
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) bits |= (uint64_t)block[2 + i] << (8 * i);
    // The colour half of BC3 is always read in four-colour mode.
    uint16_t c0 = (uint16_t)(block[8] | (block[9] << 8)), c1 = (uint16_t)(block[10] | (block[11] << 8));
    int palette[4][3];
    palette4(c0, c1, palette);
    uint32_t indices = (uint32_t)block[12] | ((uint32_t)block[13] << 8) | ((uint32_t)block[14] << 16) |
                       ((uint32_t)block[15] << 24);
    for (int i = 0; i < 16; ++i) {
        int p = (indices >> (2 * i)) & 3;
        for (int k = 0; k < 3; ++k) pixels[i * 4 + k] = (uint8_t)palette[p][k];
        pixels[i * 4 + 3] = (uint8_t)values[(bits >> (3 * i)) & 7];
    }
}
