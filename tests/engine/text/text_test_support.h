// Shared set-up of the text tests: a scratch module directory holding a real TrueType
// font (Lato Regular from fonts-lato) under the default font's name, and a small
// texture-recording stand-in for the backend's texture entry points.
#pragma once

#include "backend/renderer_types.h"
#include "engine/text/font_atlas.h"

#include <stdint.h>
#include <string>
#include <vector>

// Makes <scratch>/<name>/ with data/corvex/fonts/Rubik-Regular.ttf in it and makes it
// the module directory. Returns the directory (with a trailing slash), empty on failure.
std::string makeFontModuleDirectory(const char* name);

struct RecordedTexture {
    TextureDescription description;
    std::vector<uint8_t> pixels; // last upload, width x height bytes for one-channel pages
    bool smoothCalled;
    bool smooth;
};

// Binds getMaxTextureSizeInRenderer, uploadTextureInRenderer, setTextureSmoothInRenderer
// and pushFreeTextureDescriptorInRenderer into gRenderer (every other slot null).
void bindTextureRecorder(uint32_t maxTextureSize);
void unbindTextureRecorder();
RecordedTexture* recordedTexture(uint32_t id);

// An atlas on the test font at a pixel size, with the given code points added.
bool makeAtlas(FontAtlas* atlas, uint32_t pixelSize, const char* characters);
