#include "text_test_support.h"

#include "engine/program/program_state.h"
#include "engine/platform/module_directory.h"
#include "engine/text/utf8_decode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <stdio.h>
#include <string.h>

namespace {

std::map<uint32_t, RecordedTexture> gTextures;
uint32_t gMaxTextureSize;
uint32_t gNextTexture;

uint32_t maxTextureSize(RendererState*) { return gMaxTextureSize; }

uint32_t uploadTexture(RendererState*, void* pixels, uint64_t byteSize, TextureDescription* description,
                       uint16_t levels, uint32_t currentId) {
    uint32_t id = currentId == RENDERER_INVALID_ID ? gNextTexture++ : currentId;
    RecordedTexture& texture = gTextures[id];
    texture.description = *description;
    size_t bytes = static_cast<size_t>(description->width) * description->height;
    const uint8_t* source = static_cast<const uint8_t*>(pixels);
    texture.pixels.assign(source, source + (pixels ? bytes : 0));
    return id;
}

void setTextureSmooth(RendererState*, uint32_t* id, bool smooth) {
    if (*id == RENDERER_INVALID_ID) *id = gNextTexture++;
    RecordedTexture& texture = gTextures[*id];
    texture.smoothCalled = true;
    texture.smooth = smooth;
}

void pushFreeTexture(RendererState*, uint32_t) {}

bool copyFile(const char* from, const std::string& to) {
    FILE* in = fopen(from, "rb");
    if (!in) return false;
    FILE* out = fopen(to.c_str(), "wb");
    if (!out) {
        fclose(in);
        return false;
    }
    char buffer[65536];
    size_t got;
    bool ok = true;
    while ((got = fread(buffer, 1, sizeof(buffer), in)) > 0) ok = ok && fwrite(buffer, 1, got, out) == got;
    fclose(in);
    return fclose(out) == 0 && ok;
}

} // namespace

std::string makeFontModuleDirectory(const char* name) {
    std::string directory = std::string(QUARLO_TEST_SCRATCH) + "/" + name + "/";
    std::error_code error;
    std::filesystem::remove_all(directory, error);
    std::filesystem::create_directories(directory + "data/corvex/fonts", error);
    if (error) return std::string();
    if (!copyFile(QUARLO_TEST_FONT, directory + "data/corvex/fonts/Rubik-Regular.ttf")) {
        ADD_FAILURE() << "missing fixture: " QUARLO_TEST_FONT " (fonts-lato)";
        return std::string();
    }
    setModuleDirectory(directory.c_str());
    return directory;
}

void bindTextureRecorder(uint32_t maxSize) {
    gRenderer = RendererApi{};
    gTextures.clear();
    gMaxTextureSize = maxSize;
    gNextTexture = 1;
    gRenderer.getMaxTextureSizeInRenderer = maxTextureSize;
    gRenderer.uploadTextureInRenderer = uploadTexture;
    gRenderer.setTextureSmoothInRenderer = setTextureSmooth;
    gRenderer.pushFreeTextureDescriptorInRenderer = pushFreeTexture;
}

void unbindTextureRecorder() {
    gRenderer = RendererApi{};
    gTextures.clear();
}

RecordedTexture* recordedTexture(uint32_t id) {
    auto found = gTextures.find(id);
    return found == gTextures.end() ? nullptr : &found->second;
}

bool makeAtlas(FontAtlas* atlas, uint32_t pixelSize, const char* characters) {
    *atlas = emptyFontAtlas();
    atlas->pixelSize = pixelSize;
    if (loadFontFile(atlas, "data/corvex/fonts/Rubik-Regular.ttf") != 0 || !atlas->face) return false;
    uint32_t codes[512];
    uint32_t count = decodeUtf8(characters, codes, 512);
    for (uint32_t i = 0; i < count; ++i) queuePendingGlyph(atlas, codes[i]);
    addPendingGlyphs(atlas);
    return true;
}
