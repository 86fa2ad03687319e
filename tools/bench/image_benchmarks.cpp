// Image decoding: PNG against stb_image and libpng's simplified API, BMP against
// stb_image, DDS against a plain copy of its pixel bytes (its blocks go to the GPU as
// they are). The peers decode as they would for any program (rows top-down, colour as
// stored, except libpng's simplified API, which writes rows bottom-up at no cost);
// the checks bring their output to the engine's layout outside the timed loops.
#include "engine/assets/image_readers.h"
#include "tools/bench/bench_files.h"
#include "tools/bench/generated_assets.h"

#include <benchmark/benchmark.h>
#include <png.h>
#include <stb_image.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Image {
    std::vector<uint8_t> pixels;
    uint32_t width, height, channels;
};

struct ImageFile {
    std::string path;
    uint32_t channels; // what the engine gives, asked of the peers
};

uint64_t fileBytes(const std::vector<ImageFile>& files) {
    uint64_t total = 0;
    for (const ImageFile& file : files) {
        struct stat info;
        if (stat(file.path.c_str(), &info) == 0) total += static_cast<uint64_t>(info.st_size);
    }
    return total;
}

// Top-down rows to bottom-up.
void flipRows(Image* image) {
    size_t row = static_cast<size_t>(image->width) * image->channels;
    for (uint32_t y = 0; y < image->height / 2; ++y)
        std::swap_ranges(image->pixels.begin() + y * row, image->pixels.begin() + (y + 1) * row,
                         image->pixels.begin() + (image->height - 1 - y) * row);
}

// The engine's premultiplication of RGBA colour by alpha, the same arithmetic.
void premultiply(Image* image) {
    if (image->channels != 4) return;
    for (size_t i = 0; i < image->pixels.size(); i += 4) {
        float alpha = image->pixels[i + 3];
        for (int c = 0; c < 3; ++c)
            image->pixels[i + c] = static_cast<unsigned char>((image->pixels[i + c] * alpha) / 255.0f);
    }
}

bool quarloPng(const std::string& path, Image* out) {
    uint16_t width, height;
    uint32_t channels;
    uint64_t size;
    unsigned char* pixels = readPng(path.c_str(), &width, &height, &channels, &size);
    if (!pixels) return false;
    out->pixels.assign(pixels, pixels + size);
    out->width = width;
    out->height = height;
    out->channels = channels;
    releaseImagePixels(pixels);
    return true;
}

bool stbPng(const std::string& path, uint32_t channels, Image* out) {
    int width, height, stored;
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &stored, static_cast<int>(channels));
    if (!pixels) return false;
    out->pixels.assign(pixels, pixels + static_cast<size_t>(width) * height * channels);
    out->width = static_cast<uint32_t>(width);
    out->height = static_cast<uint32_t>(height);
    out->channels = channels;
    stbi_image_free(pixels);
    flipRows(out);
    premultiply(out);
    return true;
}

png_uint_32 simplifiedFormat(uint32_t channels) {
    return channels == 1 ? PNG_FORMAT_GRAY : channels == 3 ? PNG_FORMAT_RGB : PNG_FORMAT_RGBA;
}

// libpng's simplified API, rows written bottom-up through a negative stride. Returns
// the block (free) or null.
unsigned char* simplifiedPngPixels(const char* path, uint32_t channels, png_image* image) {
    memset(image, 0, sizeof(*image));
    image->version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(image, path)) return nullptr;
    image->format = simplifiedFormat(channels);
    unsigned char* pixels = static_cast<unsigned char*>(malloc(PNG_IMAGE_SIZE(*image)));
    if (!pixels) {
        png_image_free(image);
        return nullptr;
    }
    png_int_32 stride = static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(*image));
    if (!png_image_finish_read(image, nullptr, pixels, -stride, nullptr)) {
        free(pixels);
        return nullptr;
    }
    return pixels;
}

bool simplifiedPng(const std::string& path, uint32_t channels, Image* out) {
    png_image image;
    unsigned char* pixels = simplifiedPngPixels(path.c_str(), channels, &image);
    if (!pixels) return false;
    out->pixels.assign(pixels, pixels + PNG_IMAGE_SIZE(image));
    out->width = image.width;
    out->height = image.height;
    out->channels = channels;
    free(pixels);
    premultiply(out);
    return true;
}

bool sameImage(const Image& a, const Image& b) {
    return a.width == b.width && a.height == b.height && a.channels == b.channels &&
           a.pixels.size() == b.pixels.size() &&
           checksum(a.pixels.data(), a.pixels.size()) == checksum(b.pixels.data(), b.pixels.size());
}

// Splits a PNG corpus into the files each peer decodes to the engine's very pixels.
// With `required`, any disagreement ends the program.
void agreedPngs(const std::vector<std::string>& paths, bool required, std::vector<ImageFile>* withStb,
                std::vector<ImageFile>* withLibpng) {
    for (const std::string& path : paths) {
        Image ours, theirs;
        if (!quarloPng(path, &ours)) {
            if (required) benchFailure("%s: refused by the engine", path.c_str());
            fprintf(stderr, "bench: left out %s: refused by the engine\n", path.c_str());
            continue;
        }
        ImageFile file = {path, ours.channels};
        if (stbPng(path, ours.channels, &theirs) && sameImage(ours, theirs)) {
            withStb->push_back(file);
        } else if (required) {
            benchFailure("%s: stb_image decodes other pixels", path.c_str());
        } else {
            fprintf(stderr, "bench: left out %s against stb_image: other pixels or refused\n", path.c_str());
        }
        if (simplifiedPng(path, ours.channels, &theirs) && sameImage(ours, theirs)) {
            withLibpng->push_back(file);
        } else if (required) {
            benchFailure("%s: libpng's simplified API decodes other pixels", path.c_str());
        } else {
            fprintf(stderr, "bench: left out %s against libpng simplified: other pixels or refused\n", path.c_str());
        }
    }
}

void quarloPngs(benchmark::State& state, const std::vector<ImageFile>& files, uint64_t bytes) {
    for (auto _ : state)
        for (const ImageFile& file : files) {
            uint16_t width, height;
            uint32_t channels;
            uint64_t size;
            unsigned char* pixels = readPng(file.path.c_str(), &width, &height, &channels, &size);
            if (!pixels) state.SkipWithError("the engine refused a file it read before");
            benchmark::DoNotOptimize(pixels);
            releaseImagePixels(pixels);
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void stbImages(benchmark::State& state, const std::vector<ImageFile>& files, uint64_t bytes) {
    for (auto _ : state)
        for (const ImageFile& file : files) {
            int width, height, stored;
            unsigned char* pixels =
                stbi_load(file.path.c_str(), &width, &height, &stored, static_cast<int>(file.channels));
            if (!pixels) state.SkipWithError("stb_image refused a file it read before");
            benchmark::DoNotOptimize(pixels);
            stbi_image_free(pixels);
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void simplifiedPngs(benchmark::State& state, const std::vector<ImageFile>& files, uint64_t bytes) {
    for (auto _ : state)
        for (const ImageFile& file : files) {
            png_image image;
            unsigned char* pixels = simplifiedPngPixels(file.path.c_str(), file.channels, &image);
            if (!pixels) state.SkipWithError("libpng refused a file it read before");
            benchmark::DoNotOptimize(pixels);
            free(pixels);
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void registerPngRows(const std::string& what, const std::vector<std::string>& paths, bool required) {
    std::vector<ImageFile> withStb, withLibpng;
    agreedPngs(paths, required, &withStb, &withLibpng);
    if (withStb.empty() || withLibpng.empty()) benchFailure("%s: no file the peers decode alike", what.c_str());
    std::string stbRow = "PNG: " + what + (paths.size() > 1 ? ", " + std::to_string(withStb.size()) + " files" : "");
    std::string libpngRow =
        "PNG: " + what + (paths.size() > 1 ? ", " + std::to_string(withLibpng.size()) + " files" : "");
    benchmark::RegisterBenchmark((stbRow + "|quarlo").c_str(), quarloPngs, withStb, fileBytes(withStb))
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((stbRow + "|stb_image").c_str(), stbImages, withStb, fileBytes(withStb))
        ->Unit(benchmark::kMicrosecond);
    if (libpngRow != stbRow)
        benchmark::RegisterBenchmark((libpngRow + "|quarlo").c_str(), quarloPngs, withLibpng, fileBytes(withLibpng))
            ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((libpngRow + "|libpng simplified").c_str(), simplifiedPngs, withLibpng,
                                 fileBytes(withLibpng))
        ->Unit(benchmark::kMicrosecond);
}

// ---- BMP

// stb_image's RGB rows, top-down, brought to the engine's BGR bottom-up rows with the
// file's padding to 4 bytes (zero).
bool stbBmpAsEngine(const std::string& path, uint64_t engineSize, std::vector<uint8_t>* out) {
    int width, height, stored;
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &stored, 3);
    if (!pixels) return false;
    size_t row = static_cast<size_t>(width) * 3;
    size_t paddedRow = (row + 3) & ~static_cast<size_t>(3);
    size_t fileRow = engineSize == paddedRow * height ? paddedRow : row;
    out->assign(fileRow * height, 0);
    for (int y = 0; y < height; ++y) {
        const unsigned char* source = pixels + static_cast<size_t>(height - 1 - y) * row;
        uint8_t* target = out->data() + static_cast<size_t>(y) * fileRow;
        for (int x = 0; x < width; ++x) {
            target[3 * x] = source[3 * x + 2];
            target[3 * x + 1] = source[3 * x + 1];
            target[3 * x + 2] = source[3 * x];
        }
    }
    stbi_image_free(pixels);
    return true;
}

std::vector<ImageFile> agreedBmps(const std::vector<std::string>& paths) {
    std::vector<ImageFile> kept;
    for (const std::string& path : paths) {
        uint16_t width, height;
        uint64_t size;
        unsigned char* pixels = readBmp(path.c_str(), &width, &height, &size);
        if (!pixels) benchFailure("%s: refused by the engine", path.c_str());
        std::vector<uint8_t> theirs;
        bool same = stbBmpAsEngine(path, size, &theirs) && theirs.size() == size &&
                    checksum(pixels, size) == checksum(theirs.data(), theirs.size());
        releaseImagePixels(pixels);
        if (!same) benchFailure("%s: stb_image decodes other pixels", path.c_str());
        kept.push_back(ImageFile{path, 3});
    }
    return kept;
}

void quarloBmps(benchmark::State& state, const std::vector<ImageFile>& files, uint64_t bytes) {
    for (auto _ : state)
        for (const ImageFile& file : files) {
            uint16_t width, height;
            uint64_t size;
            unsigned char* pixels = readBmp(file.path.c_str(), &width, &height, &size);
            if (!pixels) state.SkipWithError("the engine refused a file it read before");
            benchmark::DoNotOptimize(pixels);
            releaseImagePixels(pixels);
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// ---- DDS

struct DdsFile {
    std::string path;
    uint64_t dataOffset; // 128, or 148 with the DX10 header
    uint64_t dataSize;   // what the engine reads
    uint64_t fileSize;
};

// The peer: the file with one read, then its pixel bytes copied into their own block;
// both blocks are already there (the limit of a reader that uploads blocks as stored).
bool readAndCopyPixels(const DdsFile& file, uint8_t* bytes, size_t size, uint8_t* pixels) {
    FILE* stream = fopen(file.path.c_str(), "rb");
    if (!stream) return false;
    bool ok = fread(bytes, 1, size, stream) == size && file.dataOffset + file.dataSize <= size;
    fclose(stream);
    if (ok) memcpy(pixels, bytes + file.dataOffset, file.dataSize);
    return ok;
}

std::vector<DdsFile> checkedDds(const std::vector<std::string>& paths) {
    std::vector<DdsFile> files;
    for (const std::string& path : paths) {
        std::vector<uint8_t> bytes;
        if (!readWholeFile(path, &bytes) || bytes.size() < 128) benchFailure("%s: cannot be read", path.c_str());
        uint16_t width, height, levels;
        uint32_t format;
        uint64_t size;
        unsigned char* pixels = readDds(path.c_str(), &width, &height, &format, &levels, &size);
        if (!pixels) benchFailure("%s: refused by the engine", path.c_str());
        bool dx10 = memcmp(&bytes[84], "DX10", 4) == 0;
        DdsFile file = {path, dx10 ? 148u : 128u, size, bytes.size()};
        std::vector<uint8_t> block(bytes.size()), copy(size);
        // The engine flips rows and blocks: the same bits, in another order.
        bool same = readAndCopyPixels(file, block.data(), block.size(), copy.data()) &&
                    setBitCount(pixels, size) == setBitCount(copy.data(), size);
        releaseImagePixels(pixels);
        if (!same) benchFailure("%s: the engine's pixels are not the file's bytes reordered", path.c_str());
        files.push_back(file);
    }
    return files;
}

void quarloDds(benchmark::State& state, const std::vector<DdsFile>& files, uint64_t bytes) {
    for (auto _ : state)
        for (const DdsFile& file : files) {
            uint16_t width, height, levels;
            uint32_t format;
            uint64_t size;
            unsigned char* pixels = readDds(file.path.c_str(), &width, &height, &format, &levels, &size);
            if (!pixels) state.SkipWithError("the engine refused a file it read before");
            benchmark::DoNotOptimize(pixels);
            releaseImagePixels(pixels);
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void copyDds(benchmark::State& state, const std::vector<DdsFile>& files, uint64_t bytes) {
    std::vector<std::vector<uint8_t>> blocks, copies;
    for (const DdsFile& file : files) {
        blocks.emplace_back(file.fileSize);
        copies.emplace_back(file.dataSize);
    }
    for (auto _ : state)
        for (size_t i = 0; i < files.size(); ++i) {
            if (!readAndCopyPixels(files[i], blocks[i].data(), blocks[i].size(), copies[i].data()))
                state.SkipWithError("a file could not be read");
            benchmark::DoNotOptimize(copies[i].data());
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string data = requiredFolder("QUARLO_BENCH_DATA", "build/bench/data");
    std::string suite = requiredFolder("QUARLO_BENCH_PNGSUITE", ".cache/src/libpng/contrib/pngsuite");

    registerPngRows("pngsuite", filesWithExtension(suite, {".png"}), false);
    registerPngRows("the game's textures", filesWithExtension(data, {".png"}), true);
    registerPngRows("generated, 4096 x 4096 RGB", {generatedLargePng()}, true);

    std::vector<ImageFile> bmps = agreedBmps(filesWithExtension(data, {".bmp"}));
    if (bmps.empty()) benchFailure("%s holds no .bmp file", data.c_str());
    std::string bmpRow = "BMP: the game's textures, " + std::to_string(bmps.size()) + " files";
    uint64_t bmpBytes = fileBytes(bmps);
    benchmark::RegisterBenchmark((bmpRow + "|quarlo").c_str(), quarloBmps, bmps, bmpBytes)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((bmpRow + "|stb_image").c_str(), stbImages, bmps, bmpBytes)
        ->Unit(benchmark::kMicrosecond);

    std::vector<DdsFile> dds = checkedDds(filesWithExtension(data, {".dds"}));
    if (dds.empty()) benchFailure("%s holds no .dds file", data.c_str());
    std::string ddsRow = "DDS: the game's textures, " + std::to_string(dds.size()) + " files";
    uint64_t ddsBytes = 0;
    for (const DdsFile& file : dds) ddsBytes += file.dataOffset + file.dataSize;
    benchmark::RegisterBenchmark((ddsRow + "|quarlo").c_str(), quarloDds, dds, ddsBytes)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((ddsRow + "|read+memcpy").c_str(), copyDds, dds, ddsBytes)
        ->Unit(benchmark::kMicrosecond);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
