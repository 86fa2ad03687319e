// Image files built from byte tables, for the reader tests: PNG chunks with their CRC
// and pixel rows in stored (uncompressed) deflate blocks inside a zlib stream; BMP and
// DDS headers.
#pragma once

#include "tests/support/test_files.h"

#include <stdint.h>

#include <vector>

uint32_t crc32Of(const unsigned char* p, size_t n, uint32_t crc = 0xFFFFFFFFu);
void bigEndian(ByteTable* t, uint32_t v);
void chunk(ByteTable* png, const char* type, const std::vector<unsigned char>& data);

// rows: each row of the picture from the top, without its filter byte.
ByteTable pngFile(uint32_t width, uint32_t height, int bitDepth, int colorType,
                  const std::vector<std::vector<unsigned char>>& rows, const std::vector<unsigned char>& palette = {});

ByteTable bmpFile(int32_t width, int32_t height, uint16_t bits, const std::vector<unsigned char>& data,
                  uint32_t dataSizeField, uint32_t infoSize = 40);

struct DdsHeader {
    uint32_t width = 4, height = 4, linearSize = 0, mipCount = 1;
    uint32_t flags = 0x4;
    const char* fourCC = "DXT1";
    uint32_t bits = 0, masks[4] = {0, 0, 0, 0};
};

ByteTable ddsFile(const DdsHeader& h);
