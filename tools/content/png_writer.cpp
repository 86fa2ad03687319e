#include "tools/content/byte_writer.h"
#include "tools/content/image.h"

#include <png.h>
#include <stdio.h>

// libpng reports errors through longjmp; the only work between setjmp and the end is
// libpng's own, so nothing of ours needs unwinding.
bool writePng(const char* path, const Image* image, bool withAlpha) {
    if (!makeParentDirectories(path)) return false;
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return false;
    }
    std::vector<uint8_t> row((size_t)image->width * 4);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, image->width, image->height, 8, withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < image->height; ++y) {
        const uint8_t* source = imagePixel(image, 0, y);
        if (withAlpha) {
            for (size_t i = 0; i < (size_t)image->width * 4; ++i) row[i] = source[i];
        } else {
            for (uint32_t x = 0; x < image->width; ++x)
                for (int k = 0; k < 3; ++k) row[(size_t)x * 3 + k] = source[(size_t)x * 4 + k];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return fclose(file) == 0;
}
