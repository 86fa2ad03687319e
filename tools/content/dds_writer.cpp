#include "tools/content/bc_encoder.h"
#include "tools/content/byte_writer.h"
#include "tools/content/image.h"

static bool isPowerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

// One level, blocks left to right, top to bottom; texels beyond a level smaller than
// a block repeat its last row and column.
static void putLevel(ByteBuffer* out, const Image* level, DdsKind kind) {
    uint32_t blocksAcross = (level->width + 3) / 4, blocksDown = (level->height + 3) / 4;
    for (uint32_t by = 0; by < blocksDown; ++by)
        for (uint32_t bx = 0; bx < blocksAcross; ++bx) {
            uint8_t texels[64];
            for (uint32_t y = 0; y < 4; ++y)
                for (uint32_t x = 0; x < 4; ++x) {
                    uint32_t sx = bx * 4 + x, sy = by * 4 + y;
                    if (sx >= level->width) sx = level->width - 1;
                    if (sy >= level->height) sy = level->height - 1;
                    const uint8_t* p = imagePixel(level, sx, sy);
                    for (int k = 0; k < 4; ++k) texels[(y * 4 + x) * 4 + k] = p[k];
                }
            uint8_t block[16];
            if (kind == DDS_BC1) {
                encodeBc1Block(texels, block);
                putBytes(out, block, 8);
            } else {
                encodeBc3Block(texels, block);
                putBytes(out, block, 16);
            }
        }
}

bool writeDds(const char* path, const Image* image, DdsKind kind) {
    if (!isPowerOfTwo(image->width) || !isPowerOfTwo(image->height)) return false;
    uint32_t levels = 1;
    for (uint32_t w = image->width, h = image->height; w > 1 || h > 1; w = w > 1 ? w / 2 : 1, h = h > 1 ? h / 2 : 1)
        ++levels;
    uint32_t blockBytes = kind == DDS_BC1 ? 8 : 16;
    uint32_t topSize = ((image->width + 3) / 4) * ((image->height + 3) / 4) * blockBytes;

    ByteBuffer out;
    putBytes(&out, "DDS ", 4);
    putU32(&out, 124);
    // CAPS | HEIGHT | WIDTH | PIXELFORMAT | MIPMAPCOUNT | LINEARSIZE
    putU32(&out, 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000 | 0x80000);
    putU32(&out, image->height);
    putU32(&out, image->width);
    putU32(&out, topSize);
    putU32(&out, 0);      // depth
    putU32(&out, levels); // mip-map count
    for (int i = 0; i < 11; ++i) putU32(&out, 0);
    // Pixel format: size, FOURCC flag, the code, then unused bit count and masks.
    putU32(&out, 32);
    putU32(&out, 0x4);
    putBytes(&out, kind == DDS_BC1 ? "DXT1" : "DXT5", 4);
    for (int i = 0; i < 5; ++i) putU32(&out, 0);
    putU32(&out, 0x1000 | 0x400000 | 0x8); // TEXTURE | MIPMAP | COMPLEX
    for (int i = 0; i < 4; ++i) putU32(&out, 0);

    Image level = *image;
    for (uint32_t i = 0; i < levels; ++i) {
        putLevel(&out, &level, kind);
        if (i + 1 < levels) level = halveImage(&level);
    }
    return writeBuffer(path, &out);
}
