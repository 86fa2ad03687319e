#include "tools/content/textures.h"

#include "tools/content/layout.h"
#include "tools/content/text_raster.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

float hashNoise(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    h *= 0x27d4eb2du;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777216.0f;
}

float tiledNoise(float x, float y, uint32_t period, uint32_t seed) {
    float fx = floorf(x), fy = floorf(y);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    uint32_t x0 = ((uint32_t)(int32_t)fx) % period, y0 = ((uint32_t)(int32_t)fy) % period;
    uint32_t x1 = (x0 + 1) % period, y1 = (y0 + 1) % period;
    float a = hashNoise(x0, y0, seed), b = hashNoise(x1, y0, seed);
    float c = hashNoise(x0, y1, seed), d = hashNoise(x1, y1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

namespace {

struct Rgb {
    float r, g, b;
};

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Fractal noise over an image of size `size` (square period) with `octaves` octaves.
float fbm(uint32_t x, uint32_t y, uint32_t size, uint32_t basePeriod, int octaves, uint32_t seed) {
    float sum = 0, weight = 0.5f, total = 0;
    uint32_t period = basePeriod;
    for (int o = 0; o < octaves; ++o) {
        float scale = (float)period / size;
        sum += weight * tiledNoise(x * scale, y * scale, period, seed + o * 101);
        total += weight;
        weight *= 0.5f;
        period *= 2;
    }
    return sum / total;
}

void put(Image* image, uint32_t x, uint32_t y, Rgb c) { setPixel(image, x, y, clamp01(c.r), clamp01(c.g), clamp01(c.b)); }

Rgb get(const Image* image, uint32_t x, uint32_t y) {
    const uint8_t* p = imagePixel(image, x, y);
    return Rgb{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
}

void fill(Image* image, Rgb c) {
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < image->width; ++x) put(image, x, y, c);
}

void fillRect(Image* image, int x0, int y0, int x1, int y1, Rgb c) {
    for (int y = y0 < 0 ? 0 : y0; y < y1 && y < (int)image->height; ++y)
        for (int x = x0 < 0 ? 0 : x0; x < x1 && x < (int)image->width; ++x) put(image, (uint32_t)x, (uint32_t)y, c);
}

void strokeRect(Image* image, int x0, int y0, int x1, int y1, int width, Rgb c) {
    fillRect(image, x0, y0, x1, y0 + width, c);
    fillRect(image, x0, y1 - width, x1, y1, c);
    fillRect(image, x0, y0, x0 + width, y1, c);
    fillRect(image, x1 - width, y0, x1, y1, c);
}

void fillCircle(Image* image, float cx, float cy, float radius, Rgb c) {
    for (int y = (int)(cy - radius) - 1; y <= (int)(cy + radius) + 1; ++y)
        for (int x = (int)(cx - radius) - 1; x <= (int)(cx + radius) + 1; ++x) {
            if (x < 0 || y < 0 || x >= (int)image->width || y >= (int)image->height) continue;
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            if (dx * dx + dy * dy <= radius * radius) put(image, (uint32_t)x, (uint32_t)y, c);
        }
}

// Thick line from (x0, y0) to (x1, y1).
void drawLine(Image* image, float x0, float y0, float x1, float y1, float width, Rgb c) {
    float length = sqrtf((x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0));
    int steps = (int)(length * 2) + 1;
    for (int i = 0; i <= steps; ++i) {
        float t = (float)i / steps;
        fillCircle(image, x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, 0.5f * width, c);
    }
}

// Multiplies every pixel by (1 - amount + amount * noise) for a worn look.
void grime(Image* image, uint32_t period, float amount, uint32_t seed) {
    uint32_t size = image->width > image->height ? image->width : image->height;
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < image->width; ++x) {
            float n = fbm(x, y, size, period, 4, seed);
            float k = 1 - amount + amount * (0.6f + 0.8f * n);
            Rgb c = get(image, x, y);
            put(image, x, y, Rgb{c.r * k, c.g * k, c.b * k});
        }
}

void genFloorTiles(Image* image) {
    const uint32_t tile = image->width / 4;
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < image->width; ++x) {
            uint32_t tx = x / tile, ty = y / tile, lx = x % tile, ly = y % tile;
            bool grout = lx < 2 || ly < 2;
            float base = 0.78f + 0.1f * (hashNoise(tx, ty, 7) - 0.5f);
            float speck = hashNoise(x, y, 3) > 0.93f ? -0.12f : 0.0f;
            float n = 0.06f * (fbm(x, y, image->width, 8, 3, 11) - 0.5f);
            float v = grout ? 0.42f : base + speck + n;
            // A bevel: lighter top-left edge, darker bottom-right.
            if (!grout && (lx == 2 || ly == 2)) v += 0.08f;
            if (!grout && (lx == tile - 1 || ly == tile - 1)) v -= 0.08f;
            put(image, x, y, Rgb{v, v, v * 0.98f});
        }
}

void genCarpet(Image* image) {
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < image->width; ++x) {
            float fibre = hashNoise(x, y, 21);
            float n = fbm(x, y, image->width, 16, 3, 23);
            bool square = ((x / 32) + (y / 32)) % 2 == 0;
            float v = 0.55f + 0.25f * fibre + 0.15f * (n - 0.5f) + (square ? 0.04f : -0.04f);
            put(image, x, y, Rgb{v * 0.92f, v * 0.95f, v});
        }
}

void genConcrete(Image* image) {
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < image->width; ++x) {
            float n = fbm(x, y, image->width, 4, 5, 31);
            float pores = hashNoise(x, y, 33) > 0.97f ? -0.1f : 0.0f;
            float stain = fbm(x, y, image->width, 2, 2, 37);
            float v = 0.62f + 0.22f * (n - 0.5f) + pores - 0.1f * clamp01((stain - 0.55f) * 4.0f);
            if (y % 128 == 0) v -= 0.12f; // formwork seam
            put(image, x, y, Rgb{v, v * 0.99f, v * 0.96f});
        }
}

void genBrick(Image* image) {
    const uint32_t rows = 8, bricksAcross = 4;
    uint32_t h = image->height / rows, w = image->width / bricksAcross;
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < image->width; ++x) {
            uint32_t row = y / h, shift = (row % 2) * (w / 2);
            uint32_t bx = (x + shift) % image->width, column = bx / w;
            bool mortar = (y % h) < 3 || (bx % w) < 3;
            float n = fbm(x, y, image->width, 16, 3, 41);
            if (mortar) {
                float m = 0.72f + 0.1f * (n - 0.5f);
                put(image, x, y, Rgb{m, m * 0.97f, m * 0.92f});
                continue;
            }
            float tint = hashNoise(column, row, 43);
            Rgb c = {0.62f + 0.15f * tint, 0.3f + 0.08f * tint, 0.22f + 0.05f * tint};
            float k = 0.85f + 0.3f * n;
            put(image, x, y, Rgb{c.r * k, c.g * k, c.b * k});
        }
}

void genWallPaint(Image* image) {
    // The picture's bottom is the floor: a darker dado band up to a third of the height,
    // a thin rail, and plain paint above.
    uint32_t band = image->height * 2 / 3;
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < image->width; ++x) {
            float n = fbm(x, y, image->width, 8, 4, 51);
            float v = 0.86f + 0.06f * (n - 0.5f);
            Rgb c = {v, v, v};
            if (y > band) c = Rgb{0.52f + 0.05f * (n - 0.5f), 0.55f, 0.6f};
            if (y >= band - 3 && y <= band + 2) c = Rgb{0.35f, 0.37f, 0.42f};
            if (y > image->height - 6) c = Rgb{0.25f, 0.25f, 0.27f}; // skirting
            put(image, x, y, c);
        }
}

void genCeiling(Image* image) {
    uint32_t tile = image->width / 2;
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < image->width; ++x) {
            uint32_t lx = x % tile, ly = y % tile;
            float v = 0.88f + 0.04f * (hashNoise(x, y, 61) - 0.5f);
            if (lx < 2 || ly < 2) v = 0.55f;
            else if ((lx % 8) == 4 && (ly % 8) == 4) v -= 0.15f;
            put(image, x, y, Rgb{v, v, v * 0.97f});
        }
}

void genMetal(Image* image) {
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < image->width; ++x) {
            // Brushed: noise stretched along x.
            float streak = tiledNoise(x / 64.0f, (float)y, image->height, 71);
            float fine = hashNoise(x, y, 73);
            float v = 0.72f + 0.1f * (streak - 0.5f) + 0.05f * (fine - 0.5f);
            put(image, x, y, Rgb{v, v * 1.01f, v * 1.04f});
        }
    for (int i = 0; i < 10; ++i) {
        float x0 = hashNoise(i, 1, 75) * image->width, y0 = hashNoise(i, 2, 75) * image->height;
        drawLine(image, x0, y0, x0 + 40 * (hashNoise(i, 3, 75) - 0.5f), y0 + 12 * (hashNoise(i, 4, 75) - 0.5f), 1.0f,
                 Rgb{0.85f, 0.86f, 0.88f});
    }
}

void genWood(Image* image) {
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < image->width; ++x) {
            float n = fbm(x, y, image->width, 4, 4, 81);
            float grain = sinf((y + 24.0f * n) * 6.2831853f * 12.0f / image->height);
            float v = 0.5f + 0.5f * grain;
            float fine = hashNoise(x / 8, y, 83);
            Rgb c = {0.62f + 0.12f * v + 0.05f * fine, 0.42f + 0.08f * v + 0.03f * fine, 0.25f + 0.05f * v};
            put(image, x, y, c);
        }
}

void genStripes(Image* image) {
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < image->width; ++x) {
            bool yellow = ((x + y) / (image->width / 4)) % 2 == 0;
            float wear = fbm(x, y, image->width, 8, 3, 91);
            Rgb c = yellow ? Rgb{0.98f, 0.78f, 0.05f} : Rgb{0.08f, 0.08f, 0.08f};
            if (wear > 0.7f) c = Rgb{0.5f, 0.48f, 0.45f};
            put(image, x, y, c);
        }
}

void genWhite(Image* image) { fill(image, Rgb{1, 1, 1}); }

void genBlack(Image* image) { fill(image, Rgb{0, 0, 0}); }

void genAsphalt(Image* image) {
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < image->width; ++x) {
            float n = fbm(x, y, image->width, 8, 3, 101);
            float grit = hashNoise(x, y, 103);
            float v = 0.4f + 0.08f * (n - 0.5f) + (grit > 0.9f ? 0.12f : 0.0f) - (grit < 0.05f ? 0.08f : 0.0f);
            put(image, x, y, Rgb{v, v, v * 1.03f});
        }
}

void genScreen(Image* image) {
    fill(image, Rgb{0.05f, 0.12f, 0.3f});
    fillRect(image, 0, 0, image->width, 10, Rgb{0.2f, 0.35f, 0.7f});
    for (int i = 0; i < 8; ++i) {
        int length = 30 + (int)(70 * hashNoise(i, 0, 111));
        fillRect(image, 8, 18 + i * 13, 8 + length, 24 + i * 13, Rgb{0.6f, 0.75f, 0.95f});
    }
    fillRect(image, 84, 70, 120, 120, Rgb{0.9f, 0.6f, 0.2f});
}

void genCrate(Image* image) {
    genWood(image);
    uint32_t w = image->width;
    Rgb plank = {0.78f, 0.58f, 0.36f}, edge = {0.42f, 0.28f, 0.16f};
    for (uint32_t y = 0; y < image->height; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            Rgb c = get(image, x, y);
            bool border = x < w / 8 || x >= w - w / 8 || y < w / 8 || y >= w - w / 8;
            bool brace = fabsf((float)x - (float)y) < w / 14.0f;
            if (border || brace) c = Rgb{c.r * 0.5f + plank.r * 0.6f, c.g * 0.5f + plank.g * 0.6f, c.b * 0.5f + plank.b * 0.6f};
            if ((y % (w / 4)) < 2) c = edge;
            put(image, x, y, c);
        }
    strokeRect(image, 0, 0, w, image->height, 3, edge);
}

void genLockerFront(Image* image) {
    uint32_t w = image->width, h = image->height;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            float v = 0.85f + 0.05f * (tiledNoise(x / 32.0f, (float)y, h, 121) - 0.5f);
            put(image, x, y, Rgb{v, v, v});
        }
    strokeRect(image, 0, 0, w, h, 4, Rgb{0.6f, 0.6f, 0.62f});
    // Vent slots near the top and the bottom.
    for (int i = 0; i < 5; ++i) {
        fillRect(image, w / 4, 18 + i * 9, 3 * w / 4, 22 + i * 9, Rgb{0.15f, 0.15f, 0.17f});
        fillRect(image, w / 4, h - 60 + i * 9, 3 * w / 4, h - 56 + i * 9, Rgb{0.15f, 0.15f, 0.17f});
    }
    // Keyhole.
    fillCircle(image, w * 0.78f, h * 0.45f, 5, Rgb{0.3f, 0.3f, 0.32f});
}

void genSign(Image* image, Rgb plate, Rgb border, Rgb ink, const char* big, const char* small) {
    fill(image, plate);
    strokeRect(image, 4, 4, image->width - 4, image->height - 4, 6, border);
    drawText(image, true, image->height * 45 / 100, big, image->width / 2, image->height * 56 / 100, ALIGN_CENTRE,
             ink.r, ink.g, ink.b);
    drawText(image, false, image->height * 24 / 100, small, image->width / 2, image->height * 84 / 100, ALIGN_CENTRE,
             ink.r, ink.g, ink.b);
}

const Rgb kSignBlue = {0.1f, 0.22f, 0.5f}, kSignWhite = {0.97f, 0.97f, 0.97f};

void genSignLockers(Image* i) { genSign(i, kSignBlue, kSignWhite, kSignWhite, "VESTIAIRE", "LOCKER ROOM"); }
void genSignStoreroom(Image* i) {
    genSign(i, Rgb{0.98f, 0.8f, 0.1f}, Rgb{0.1f, 0.1f, 0.1f}, Rgb{0.1f, 0.1f, 0.1f}, "RÉSERVE", "STOREROOM");
}
void genSignOffice(Image* i) { genSign(i, kSignBlue, kSignWhite, kSignWhite, "BUREAUX", "OFFICES"); }
void genSignWarehouse(Image* i) { genSign(i, kSignBlue, kSignWhite, kSignWhite, "ENTREPÔT", "WAREHOUSE"); }
void genSignSecurity(Image* i) { genSign(i, kSignBlue, kSignWhite, kSignWhite, "SÉCURITÉ", "SECURITY"); }
void genSignExit(Image* i) {
    genSign(i, Rgb{0.05f, 0.55f, 0.2f}, kSignWhite, kSignWhite, "SORTIE", "EXIT");
    // An arrow on each side.
    for (int side = 0; side < 2; ++side) {
        float x = side ? i->width - 60.0f : 60.0f, dir = side ? 1.0f : -1.0f, y = i->height * 0.5f;
        drawLine(i, x - 22 * dir, y, x + 22 * dir, y, 10, kSignWhite);
        drawLine(i, x + 22 * dir, y, x + 6 * dir, y - 16, 10, kSignWhite);
        drawLine(i, x + 22 * dir, y, x + 6 * dir, y + 16, 10, kSignWhite);
    }
}

// The building plan, drawn from the room table: north up, the player's room marked.
void genPosterPlan(Image* image) {
    fill(image, Rgb{0.95f, 0.95f, 0.92f});
    strokeRect(image, 0, 0, image->width, image->height, 4, Rgb{0.2f, 0.2f, 0.25f});
    drawText(image, true, 22, "PLAN", image->width / 2, 26, ALIGN_CENTRE, 0.15f, 0.2f, 0.45f);
    const float minX = -2.5f, maxX = 23.0f, minY = -7.0f, maxY = 12.0f;
    const float margin = 12, top = 36;
    float sx = (image->width - 2 * margin) / (maxX - minX);
    float sy = (image->height - top - margin) / (maxY - minY);
    float s = sx < sy ? sx : sy;
    auto px = [&](float x) { return margin + (x - minX) * s; };
    auto py = [&](float y) { return image->height - margin - (y - minY) * s; };
    static const Rgb kRoomFill[ROOM_COUNT] = {{0.98f, 0.85f, 0.5f}, {0.85f, 0.88f, 0.95f}, {0.85f, 0.88f, 0.95f},
                                              {0.8f, 0.92f, 0.85f}, {0.92f, 0.82f, 0.78f}, {0.95f, 0.92f, 0.8f},
                                              {0.85f, 0.85f, 0.85f}, {0.95f, 0.9f, 0.82f}};
    for (int r = 0; r < ROOM_COUNT; ++r) {
        const Room* room = &kRooms[r];
        fillRect(image, (int)px(room->x0), (int)py(room->y1), (int)px(room->x1), (int)py(room->y0), kRoomFill[r]);
        strokeRect(image, (int)px(room->x0), (int)py(room->y1), (int)px(room->x1) + 1, (int)py(room->y0) + 1, 2,
                   Rgb{0.25f, 0.25f, 0.3f});
    }
    for (int k = 0; k < OPENING_COUNT; ++k) {
        const Opening* o = &kOpenings[k];
        if (o->axis == 0)
            fillRect(image, (int)px(o->lo), (int)py(o->line) - 3, (int)px(o->hi), (int)py(o->line) + 3,
                     Rgb{0.8f, 0.2f, 0.15f});
        else
            fillRect(image, (int)px(o->line) - 3, (int)py(o->hi), (int)px(o->line) + 3, (int)py(o->lo),
                     Rgb{0.8f, 0.2f, 0.15f});
    }
    for (int c = 0; c < CAMERA_COUNT; ++c) {
        float x = px(kCameras[c].position.x), y = py(kCameras[c].position.y);
        fillCircle(image, x, y, 5, Rgb{0.85f, 0.1f, 0.1f});
        char label[4];
        snprintf(label, sizeof(label), "%d", c + 1);
        drawText(image, true, 11, label, (int)x + 6, (int)y + 4, ALIGN_LEFT, 0.1f, 0.1f, 0.1f);
    }
    fillCircle(image, px(kPlayerEye.x), py(kPlayerEye.y), 6, Rgb{0.1f, 0.5f, 0.1f});
}

void genPosterSafety(Image* image) {
    fill(image, Rgb{0.96f, 0.96f, 0.94f});
    strokeRect(image, 0, 0, image->width, image->height, 6, Rgb{0.95f, 0.75f, 0.05f});
    float cx = image->width / 2.0f, cy = 80;
    for (int y = 0; y < 90; ++y) {
        float half = y * 0.58f;
        fillRect(image, (int)(cx - half), (int)(cy - 45 + y), (int)(cx + half), (int)(cy - 44 + y),
                 Rgb{0.98f, 0.78f, 0.05f});
    }
    fillRect(image, (int)cx - 5, (int)cy - 15, (int)cx + 5, (int)cy + 20, Rgb{0.1f, 0.1f, 0.1f});
    fillRect(image, (int)cx - 5, (int)cy + 27, (int)cx + 5, (int)cy + 37, Rgb{0.1f, 0.1f, 0.1f});
    drawText(image, true, 22, "ATTENTION", image->width / 2, 165, ALIGN_CENTRE, 0.1f, 0.1f, 0.1f);
    for (int i = 0; i < 5; ++i)
        fillRect(image, 18, 185 + i * 12, image->width - 18 - (int)(30 * hashNoise(i, 0, 131)), 190 + i * 12,
                 Rgb{0.45f, 0.45f, 0.5f});
}

// The camera list on the security room's wall, big enough to read from the chair:
// every camera, its room, and where it is to be found, one under the other (a narrow
// poster, which the monitors do not hide when the player looks left).
void genPosterCameras(Image* image) {
    fill(image, Rgb{0.12f, 0.14f, 0.2f});
    strokeRect(image, 0, 0, image->width, image->height, 8, Rgb{0.95f, 0.8f, 0.2f});
    drawText(image, true, 44, "CAMÉRAS", image->width / 2, 60, ALIGN_CENTRE, 0.95f, 0.8f, 0.2f);
    drawText(image, true, 30, "CAMERAS", image->width / 2, 98, ALIGN_CENTRE, 0.95f, 0.8f, 0.2f);
    struct Place {
        const char* room; // French / English
        const char* french;
        const char* english;
    };
    static const Place kPlaces[CAMERA_COUNT] = {
        {"Couloir / Corridor", "devant ce local", "outside this room"},
        {"Hall", "près de la sortie", "by the exit"},
        {"Digicode / Keypad", "à côté de la sortie", "beside the exit"},
        {"Vestiaire / Lockers", "face aux casiers", "facing the lockers"},
        {"Réserve / Storeroom", "derrière la porte rouge", "behind the red door"},
        {"Couloir / Corridor", "derrière la porte coupe-feu", "behind the fire door"},
        {"Entrepôt / Warehouse", "derrière le rideau bloqué", "behind the jammed shutter"},
        {"Bureaux / Offices", "derrière la porte à badge", "behind the badge door"},
    };
    const int firstRow = 140, rowHeight = 110;
    for (int c = 0; c < CAMERA_COUNT; ++c) {
        int x = 22, y = firstRow + c * rowHeight;
        fillCircle(image, (float)x + 10, (float)y - 14, 10, Rgb{0.9f, 0.15f, 0.1f});
        int nameWidth = drawText(image, true, 40, kCameras[c].name, x + 26, y, ALIGN_LEFT, 0.95f, 0.95f, 0.95f);
        drawText(image, false, 28, kPlaces[c].room, x + 26 + nameWidth + 12, y, ALIGN_LEFT, 0.95f, 0.95f, 0.95f);
        drawText(image, false, 26, kPlaces[c].french, x + 26, y + 32, ALIGN_LEFT, 0.75f, 0.82f, 0.95f);
        drawText(image, false, 26, kPlaces[c].english, x + 26, y + 62, ALIGN_LEFT, 0.75f, 0.82f, 0.95f);
    }
}

void genWhiteboard(Image* image) {
    fill(image, Rgb{0.97f, 0.97f, 0.97f});
    strokeRect(image, 0, 0, image->width, image->height, 8, Rgb{0.7f, 0.72f, 0.75f});
    drawText(image, false, 30, "Réunion lundi 9\u00a0h", 30, 50, ALIGN_LEFT, 0.1f, 0.2f, 0.7f);
    drawText(image, false, 26, "Nouveau code de sortie\u00a0:", 30, 100, ALIGN_LEFT, 0.8f, 0.1f, 0.1f);
    drawText(image, false, 26, "voir le tiroir du haut\u00a0!", 30, 134, ALIGN_LEFT, 0.8f, 0.1f, 0.1f);
    drawText(image, false, 22, "New exit code: top drawer", 30, 176, ALIGN_LEFT, 0.1f, 0.2f, 0.7f);
    // A small bar chart.
    for (int i = 0; i < 5; ++i) {
        int hbar = 30 + (int)(70 * hashNoise(i, 0, 141));
        fillRect(image, 380 + i * 22, 220 - hbar, 396 + i * 22, 220, Rgb{0.2f, 0.6f, 0.3f});
    }
    drawLine(image, 372, 222, 500, 222, 3, Rgb{0.2f, 0.2f, 0.2f});
}

void genNumbers(Image* image) {
    fill(image, Rgb{0.96f, 0.96f, 0.96f});
    uint32_t cell = image->width / 4;
    for (int i = 0; i < 4; ++i) {
        strokeRect(image, i * cell + 2, 2, (i + 1) * cell - 2, image->height - 2, 4, Rgb{0.15f, 0.15f, 0.2f});
        char label[2] = {(char)('1' + i), 0};
        drawText(image, true, 46, label, (int)(i * cell + cell / 2), 50, ALIGN_CENTRE, 0.1f, 0.1f, 0.15f);
    }
}

void genDoorBase(Image* image, Rgb paint, uint32_t seed) {
    uint32_t w = image->width, h = image->height;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            float n = fbm(x, y, h, 8, 3, seed);
            float k = 0.93f + 0.12f * n;
            put(image, x, y, Rgb{paint.r * k, paint.g * k, paint.b * k});
        }
    grime(image, 8, 0.12f, seed + 1);
    strokeRect(image, 0, 0, w, h, 3, Rgb{paint.r * 0.6f, paint.g * 0.6f, paint.b * 0.6f});
    // Kick plate at the bottom.
    fillRect(image, 6, h - 26, w - 6, h - 6, Rgb{0.7f, 0.71f, 0.74f});
}

void genDoorGrey(Image* image) {
    genDoorBase(image, Rgb{0.62f, 0.66f, 0.7f}, 151);
    uint32_t w = image->width;
    fillRect(image, w / 2 - 12, 30, w / 2 + 12, 110, Rgb{0.15f, 0.25f, 0.35f});
    strokeRect(image, w / 2 - 15, 27, w / 2 + 15, 113, 3, Rgb{0.3f, 0.3f, 0.32f});
}

void genDoorRed(Image* image) {
    genDoorBase(image, Rgb{0.78f, 0.1f, 0.08f}, 153);
    uint32_t w = image->width;
    fillRect(image, 14, 70, w - 14, 118, Rgb{0.98f, 0.82f, 0.1f});
    strokeRect(image, 14, 70, w - 14, 118, 3, Rgb{0.1f, 0.1f, 0.1f});
    drawText(image, true, 18, "PRIVÉ", w / 2, 91, ALIGN_CENTRE, 0.1f, 0.1f, 0.1f);
    drawText(image, false, 13, "STAFF ONLY", w / 2, 110, ALIGN_CENTRE, 0.1f, 0.1f, 0.1f);
}

void genDoorOffice(Image* image) {
    genWood(image);
    uint32_t w = image->width, h = image->height;
    strokeRect(image, 0, 0, w, h, 4, Rgb{0.35f, 0.22f, 0.12f});
    fillRect(image, 18, 20, w - 18, 120, Rgb{0.65f, 0.78f, 0.85f});
    strokeRect(image, 16, 18, w - 16, 122, 4, Rgb{0.35f, 0.22f, 0.12f});
    drawText(image, true, 16, "BUREAUX", w / 2, 76, ALIGN_CENTRE, 0.1f, 0.15f, 0.3f);
}

void genDoorExit(Image* image) {
    genDoorBase(image, Rgb{0.12f, 0.55f, 0.25f}, 157);
    uint32_t w = image->width;
    fillRect(image, 10, 120, w - 10, 132, Rgb{0.8f, 0.8f, 0.82f});
    drawText(image, true, 22, "SORTIE", w / 2, 60, ALIGN_CENTRE, 0.97f, 0.97f, 0.97f);
    drawText(image, false, 15, "EXIT", w / 2, 82, ALIGN_CENTRE, 0.97f, 0.97f, 0.97f);
}

void genShutter(Image* image) {
    uint32_t w = image->width, h = image->height;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint32_t slat = y % 16;
            float v = 0.55f + 0.12f * sinf(slat / 16.0f * 3.1415927f) + 0.05f * (hashNoise(x / 4, y, 161) - 0.5f);
            if (slat == 0) v = 0.3f;
            put(image, x, y, Rgb{v * 0.9f, v * 0.95f, v});
        }
    for (uint32_t y = h - 32; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            bool yellow = ((x + y) / 16) % 2 == 0;
            put(image, x, y, yellow ? Rgb{0.98f, 0.78f, 0.05f} : Rgb{0.08f, 0.08f, 0.08f});
        }
    drawText(image, true, 40, "BLOQUÉ", w / 2, 118, ALIGN_CENTRE, 0.75f, 0.08f, 0.05f);
    drawText(image, true, 26, "JAMMED", w / 2, 152, ALIGN_CENTRE, 0.75f, 0.08f, 0.05f);
}

const TextureSpec kTextures[] = {
    {"data/textures/white.png", TEXTURE_PNG_RGBA, 1, 1, genWhite},
    {"data/blackpixel.bmp", TEXTURE_BMP, 1, 1, genBlack},
    {"data/textures/floor_tiles.png", TEXTURE_PNG_RGB, 256, 256, genFloorTiles},
    {"data/textures/carpet.bmp", TEXTURE_BMP, 256, 256, genCarpet},
    {"data/textures/concrete.dds", TEXTURE_DDS_BC1, 256, 256, genConcrete},
    {"data/textures/brick.bmp", TEXTURE_BMP, 256, 256, genBrick},
    {"data/textures/wall_paint.bmp", TEXTURE_BMP, 256, 256, genWallPaint},
    {"data/textures/ceiling.bmp", TEXTURE_BMP, 128, 128, genCeiling},
    {"data/textures/metal.png", TEXTURE_PNG_RGB, 256, 256, genMetal},
    {"data/textures/wood.dds", TEXTURE_DDS_BC3, 256, 256, genWood},
    {"data/textures/stripes.png", TEXTURE_PNG_RGB, 128, 128, genStripes},
    {"data/textures/asphalt.bmp", TEXTURE_BMP, 128, 128, genAsphalt},
    {"data/textures/screen.png", TEXTURE_PNG_RGB, 128, 128, genScreen},
    {"data/textures/crate.png", TEXTURE_PNG_RGB, 128, 128, genCrate},
    {"data/textures/locker_front.png", TEXTURE_PNG_RGB, 128, 256, genLockerFront},
    {"data/textures/sign_lockers.png", TEXTURE_PNG_RGB, 512, 128, genSignLockers},
    {"data/textures/sign_storeroom.png", TEXTURE_PNG_RGB, 512, 128, genSignStoreroom},
    {"data/textures/sign_office.png", TEXTURE_PNG_RGB, 512, 128, genSignOffice},
    {"data/textures/sign_warehouse.png", TEXTURE_PNG_RGB, 512, 128, genSignWarehouse},
    {"data/textures/sign_exit.png", TEXTURE_PNG_RGB, 512, 128, genSignExit},
    {"data/textures/sign_security.png", TEXTURE_PNG_RGB, 512, 128, genSignSecurity},
    {"data/textures/poster_plan.png", TEXTURE_PNG_RGB, 256, 256, genPosterPlan},
    {"data/textures/poster_safety.png", TEXTURE_PNG_RGB, 128, 256, genPosterSafety},
    {"data/textures/poster_cameras.png", TEXTURE_PNG_RGB, 512, 1024, genPosterCameras},
    {"data/textures/whiteboard.png", TEXTURE_PNG_RGB, 512, 256, genWhiteboard},
    {"data/textures/numbers.png", TEXTURE_PNG_RGB, 256, 64, genNumbers},
    {"data/textures/door_grey.png", TEXTURE_PNG_RGB, 128, 256, genDoorGrey},
    {"data/textures/door_red.png", TEXTURE_PNG_RGB, 128, 256, genDoorRed},
    {"data/textures/door_office.png", TEXTURE_PNG_RGB, 128, 256, genDoorOffice},
    {"data/textures/door_exit.png", TEXTURE_PNG_RGB, 128, 256, genDoorExit},
    {"data/textures/shutter.png", TEXTURE_PNG_RGB, 256, 256, genShutter},
};

} // namespace

const TextureSpec* textureTable(uint32_t* count) {
    *count = sizeof(kTextures) / sizeof(kTextures[0]);
    return kTextures;
}
