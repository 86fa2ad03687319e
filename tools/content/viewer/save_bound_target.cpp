#include "tools/content/viewer/save_bound_target.h"

#include "engine/program/program_state.h"
#include "tools/content/image.h"

#include <stdio.h>
#include <string.h>

#include <vector>

bool saveBoundTarget(readPixelsInRendererFn readPixels, const char* path, uint32_t width, uint32_t height) {
    if (width == 0 || height == 0) return false;
    std::vector<uint8_t> pixels((size_t)width * height * 4);
    if (!readPixels(&gRendererState, 0, 0, (int32_t)width, (int32_t)height, pixels.data())) {
        fprintf(stderr, "readPixelsInRenderer refused %u x %u for %s\n", width, height, path);
        return false;
    }
    Image image = makeImage(width, height);
    for (uint32_t y = 0; y < height; ++y)
        memcpy(imagePixel(&image, 0, height - 1 - y), &pixels[(size_t)y * width * 4], (size_t)width * 4);
    if (!writePng(path, &image, false)) {
        fprintf(stderr, "cannot write %s\n", path);
        return false;
    }
    return true;
}
