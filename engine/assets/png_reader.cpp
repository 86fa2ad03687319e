#include "engine/assets/asset_refusal.h"
#include "engine/assets/image_readers.h"
#include "engine/assets/reader_limits.h"
#include "engine/platform/files.h"

#include <png.h>
#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

struct MemoryStream {
    const unsigned char* bytes;
    size_t size;
    size_t at;
};

void readFromMemory(png_structp png, png_bytep out, size_t length) {
    MemoryStream* stream = static_cast<MemoryStream*>(png_get_io_ptr(png));
    if (length > stream->size - stream->at) png_error(png, "the file ends inside a chunk");
    memcpy(out, stream->bytes + stream->at, length);
    stream->at += length;
}

// libpng's own blocks. A chunk's buffer is sized from its length field before a byte of
// it is read, and a length beyond libpng's limit is only warned about on reading, so a
// small file could ask for 2 GB: no block may be larger than the file plus the working
// room READER_MAX_PNG_WORKING_BYTES allows. A refused block is libpng's "out of memory",
// which skips an ancillary chunk or refuses the file.
png_voidp allocateForPng(png_structp png, png_alloc_size_t size) {
    const MemoryStream* stream = static_cast<const MemoryStream*>(png_get_mem_ptr(png));
    if (size > stream->size + static_cast<png_alloc_size_t>(READER_MAX_PNG_WORKING_BYTES)) return nullptr;
    return malloc(size);
}

void releaseForPng(png_structp, png_voidp block) { free(block); }

char gPngError[200];

// libpng reports a fatal problem here and never returns: the reason is kept and the
// read jumps back to the reader, which releases what it allocated.
void onPngError(png_structp png, png_const_charp message) {
    size_t n = strlen(message);
    if (n >= sizeof(gPngError)) n = sizeof(gPngError) - 1;
    memcpy(gPngError, message, n);
    gPngError[n] = 0;
    png_longjmp(png, 1);
}

const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

} // namespace

unsigned char* readPng(const char* path, uint16_t* widthOut, uint16_t* heightOut, uint32_t* channelsOut,
                       uint64_t* byteSize) {
    uint32_t size = 0;
    char* file = readFileSized(path, &size);
    if (!file) {
        refuseAsset("%s: cannot be opened", path);
        return nullptr;
    }
    if (size < 8 || memcmp(file, kSignature, 8) != 0) {
        delete[] file;
        refuseAsset("%s: no PNG signature", path);
        return nullptr;
    }
    MemoryStream stream = {reinterpret_cast<const unsigned char*>(file), size, 8};
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, onPngError, nullptr, &stream,
                                               allocateForPng, releaseForPng);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(png ? &png : nullptr, nullptr, nullptr);
        delete[] file;
        refuseAsset("%s: libpng could not start", path);
        return nullptr;
    }
    unsigned char* volatile pixels = nullptr;
    gPngError[0] = 0;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        free(pixels);
        delete[] file;
        refuseAsset("%s: %s", path, gPngError);
        return nullptr;
    }
    png_set_read_fn(png, &stream, readFromMemory);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    int bitDepth = png_get_bit_depth(png, info);
    int colorType = png_get_color_type(png, info);
    if (width > READER_MAX_TEXTURE_EDGE || height > READER_MAX_TEXTURE_EDGE) {
        snprintf(gPngError, sizeof(gPngError), "%u x %u pixels, more than the largest texture (%u)", width, height,
                 READER_MAX_TEXTURE_EDGE);
        png_longjmp(png, 1);
    }
    // The stored rows (each with its filter byte) come out of the file's deflate
    // streams, which cannot expand more than READER_MAX_DEFLATE_RATIO times: a header
    // promising more than the file's bytes can hold is refused before any block is sized.
    // Interlaced rows are no larger in total, bar one filter byte per pass row.
    uint64_t storedBytes = static_cast<uint64_t>(png_get_rowbytes(png, info) + 1) * height;
    uint64_t deflatedLimit = static_cast<uint64_t>(size) * READER_MAX_DEFLATE_RATIO + 7 * static_cast<uint64_t>(height);
    if (storedBytes > deflatedLimit) {
        snprintf(gPngError, sizeof(gPngError), "%u x %u pixels need %llu bytes, more than %u bytes of PNG can hold",
                 width, height, static_cast<unsigned long long>(storedBytes), size);
        png_longjmp(png, 1);
    }

    // 8-bit grey, RGB and RGBA come as stored. The layouts without a pixel format of
    // their own become the nearest that has one.
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
        if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (bitDepth == 16) png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    uint32_t channels = png_get_channels(png, info);
    size_t rowSize = png_get_rowbytes(png, info);
    if (rowSize != static_cast<size_t>(width) * channels) png_error(png, "unexpected row layout after conversion");
    size_t blockSize = rowSize * height;
    pixels = static_cast<unsigned char*>(malloc(blockSize ? blockSize : 1));
    if (!pixels) png_error(png, "not enough memory for the pixels");
    // Row 0 of the file is the top of the picture: it goes last, so the block is bottom-up.
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, pixels + rowSize * (height - 1 - y), nullptr);
    png_destroy_read_struct(&png, &info, nullptr);

    if (channels == 4) {
        for (size_t i = 0; i < blockSize; i += 4) {
            float alpha = pixels[i + 3];
            for (int c = 0; c < 3; ++c) pixels[i + c] = static_cast<unsigned char>((pixels[i + c] * alpha) / 255.0f);
        }
    }
    delete[] file;
    *widthOut = static_cast<uint16_t>(width);
    *heightOut = static_cast<uint16_t>(height);
    *channelsOut = channels;
    *byteSize = blockSize;
    return pixels;
}
