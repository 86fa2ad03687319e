// Writes the target bound in the backend as a PNG, for the tools that look at what the
// game's passes drew.
#pragma once

#include "backend/renderer_api.h"

#include <stdint.h>

// Reads width x height pixels (rows bottom-up, RGBA8) through readPixels and writes them
// top-down, alpha dropped. False, with a line on stderr, when either step fails.
bool saveBoundTarget(readPixelsInRendererFn readPixels, const char* path, uint32_t width, uint32_t height);
