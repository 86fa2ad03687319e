#include "tools/content/byte_writer.h"
#include "tools/content/image.h"

bool writeBmp(const char* path, const Image* image) {
    uint32_t rowBytes = (image->width * 3 + 3) & ~3u;
    uint32_t dataSize = rowBytes * image->height;
    ByteBuffer out;
    // File header: "BM", file size, two reserved words, offset of the pixels.
    putU8(&out, 'B');
    putU8(&out, 'M');
    putU32(&out, 54 + dataSize);
    putU32(&out, 0);
    putU32(&out, 54);
    // Information header (BITMAPINFOHEADER): a positive height means rows bottom-up.
    putU32(&out, 40);
    putI32(&out, (int32_t)image->width);
    putI32(&out, (int32_t)image->height);
    putU16(&out, 1);
    putU16(&out, 24);
    putU32(&out, 0); // no compression
    putU32(&out, dataSize);
    putU32(&out, 2835); // 72 dpi
    putU32(&out, 2835);
    putU32(&out, 0);
    putU32(&out, 0);
    for (uint32_t row = 0; row < image->height; ++row) {
        const uint8_t* p = imagePixel(image, 0, image->height - 1 - row);
        for (uint32_t x = 0; x < image->width; ++x) {
            putU8(&out, p[x * 4 + 2]);
            putU8(&out, p[x * 4 + 1]);
            putU8(&out, p[x * 4 + 0]);
        }
        for (uint32_t pad = image->width * 3; pad < rowBytes; ++pad) putU8(&out, 0);
    }
    return writeBuffer(path, &out);
}
