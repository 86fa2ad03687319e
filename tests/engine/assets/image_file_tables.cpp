#include "tests/engine/assets/image_file_tables.h"

uint32_t crc32Of(const unsigned char* p, size_t n, uint32_t crc) {
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return crc;
}

void bigEndian(ByteTable* t, uint32_t v) { t->u8(v >> 24).u8(v >> 16).u8(v >> 8).u8(v); }

void chunk(ByteTable* png, const char* type, const std::vector<unsigned char>& data) {
    bigEndian(png, static_cast<uint32_t>(data.size()));
    std::vector<unsigned char> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    png->bytes.insert(png->bytes.end(), typed.begin(), typed.end());
    bigEndian(png, crc32Of(typed.data(), typed.size()) ^ 0xFFFFFFFFu);
}

// rows: each row of the picture from the top, without its filter byte.
ByteTable pngFile(uint32_t width, uint32_t height, int bitDepth, int colorType, const std::vector<std::vector<unsigned char>>& rows,
                  const std::vector<unsigned char>& palette) {
    ByteTable png;
    png.u8(0x89).text("PNG").u8(0x0D).u8(0x0A).u8(0x1A).u8(0x0A);
    ByteTable header;
    bigEndian(&header, width);
    bigEndian(&header, height);
    header.u8(bitDepth).u8(colorType).u8(0).u8(0).u8(0);
    chunk(&png, "IHDR", header.bytes);
    if (!palette.empty()) chunk(&png, "PLTE", palette);
    std::vector<unsigned char> raw;
    for (const auto& row : rows) {
        raw.push_back(0); // filter: none
        raw.insert(raw.end(), row.begin(), row.end());
    }
    ByteTable z;
    z.u8(0x78).u8(0x01);
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        z.u8(at + n >= raw.size() ? 1 : 0).u16(static_cast<uint32_t>(n)).u16(static_cast<uint32_t>(~n & 0xFFFF));
        z.bytes.insert(z.bytes.end(), raw.begin() + at, raw.begin() + at + n);
        if (raw.empty()) break;
    }
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
    bigEndian(&z, (b << 16) | a);
    chunk(&png, "IDAT", z.bytes);
    chunk(&png, "IEND", {});
    return png;
}

ByteTable bmpFile(int32_t width, int32_t height, uint16_t bits, const std::vector<unsigned char>& data,
                  uint32_t dataSizeField, uint32_t infoSize) {
    ByteTable t;
    uint32_t offset = 14 + infoSize;
    t.text("BM").u32(static_cast<uint32_t>(offset + data.size())).u32(0).u32(offset);
    t.u32(infoSize).i32(width).i32(height).u16(1).u16(bits).u32(0).u32(dataSizeField).u32(2835).u32(2835).u32(0).u32(0);
    t.zeros(infoSize - 40);
    t.bytes.insert(t.bytes.end(), data.begin(), data.end());
    return t;
}

ByteTable ddsFile(const DdsHeader& h) {
    ByteTable t;
    t.text("DDS ").u32(124).u32(0x1007).u32(h.height).u32(h.width).u32(h.linearSize).u32(0).u32(h.mipCount);
    t.zeros(44);
    t.u32(32).u32(h.flags);
    if (h.fourCC)
        t.text(h.fourCC);
    else
        t.u32(0);
    t.u32(h.bits).u32(h.masks[0]).u32(h.masks[1]).u32(h.masks[2]).u32(h.masks[3]);
    t.u32(0x1000).zeros(16);
    return t;
}
