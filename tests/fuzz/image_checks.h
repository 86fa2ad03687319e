// Checks shared by the image targets: what loadTexture reads from a path, held to the
// description it fills.
#pragma once

#include "backend/renderer_types.h"

#include <stdint.h>

// Reads the path as loadTexture does. With pixels: a size a backend takes, and a block
// as large as the description and the levels say (every byte of it read). Without:
// nothing but the pixel format (and for DDS the size) written.
void readAndCheckTexture(const char* path);
