#include "engine/assets/texture.h"

#include "engine/program/program_state.h"
#include "engine/assets/asset_refusal.h"
#include "engine/assets/image_readers.h"

#include <string.h>

Texture emptyTexture() {
    Texture texture = {};
    texture.id = -1;
    texture.description.smooth = 1;
    return texture;
}

unsigned char* readTextureImage(const char* path, TextureDescription* description, uint16_t* levelsInData,
                                uint64_t* byteSize) {
    *levelsInData = 1;
    *byteSize = 0;
    // The reader is picked by a three-letter extension, compared case-sensitively.
    size_t length = strlen(path);
    const char* extension = length >= 4 && path[length - 4] == '.' ? path + length - 3 : "";
    if (strcmp(extension, "bmp") == 0) {
        description->pixelFormat = PIXEL_FORMAT_BGR8;
        return readBmp(path, &description->width, &description->height, byteSize);
    }
    if (strcmp(extension, "png") == 0) {
        uint32_t channels = 0;
        unsigned char* pixels = readPng(path, &description->width, &description->height, &channels, byteSize);
        if (channels == 4) description->pixelFormat = PIXEL_FORMAT_RGBA8;
        if (channels == 3) description->pixelFormat = PIXEL_FORMAT_RGB8;
        if (channels == 1) description->pixelFormat = PIXEL_FORMAT_R8;
        return pixels;
    }
    if (strcmp(extension, "dds") == 0)
        return readDds(path, &description->width, &description->height, &description->pixelFormat, levelsInData,
                       byteSize);
    description->pixelFormat = PIXEL_FORMAT_BGRA8;
    return readFallbackImage(path, &description->width, &description->height, byteSize);
}

void loadTexture(Texture* texture, const char* path) {
    clearAssetRefusal();
    TextureDescription* description = &texture->description;
    uint16_t levelsInData = 1;
    uint64_t byteSize = 0;
    unsigned char* pixels = readTextureImage(path, description, &levelsInData, &byteSize);
    if (description->mipLevels == 0 && description->attachmentKind == ATTACHMENT_COLOR && pixels)
        description->mipLevels = fullMipCount(description->width, description->height);
    // Refused files still get a texture (without content): the game expects an id in every slot.
    texture->id = static_cast<int32_t>(gRenderer.uploadTextureInRenderer(&gRendererState, pixels, 0, description,
                                                                         levelsInData, static_cast<uint32_t>(texture->id)));
    releaseImagePixels(pixels);
}
