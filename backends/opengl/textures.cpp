// Textures: upload with the pixel-format table, given and generated mip levels,
// filtering, wrap modes, and binding with the bound program's per-unit cache. A
// texture's handle is its GL name.
#include "backends/window/backend_exports.h"
#include "backends/opengl/opengl_backend.h"

#include "backend/pixel_formats.h"

#include <stdio.h>

namespace {

struct TextureFormat {
    GLint internalFormat;
    GLenum dataFormat; // 0 for the block-compressed formats
    GLenum dataType;
    GLint unpackAlignment;
};

// By PixelFormat; the bytes each level takes in the data come from the shared
// pixel-format layouts.
const TextureFormat kTextureFormats[] = {
    {GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, 4},
    {GL_RGBA, GL_BGRA, GL_UNSIGNED_BYTE, 4},
    {GL_RGB, GL_RGB, GL_UNSIGNED_BYTE, 1},
    {GL_RGB, GL_BGR, GL_UNSIGNED_BYTE, 1},
    {GL_RG16F, GL_RG, GL_UNSIGNED_BYTE, 1},
    {GL_RED, GL_RED, GL_UNSIGNED_BYTE, 1},
    {GL_RGBA16F, GL_RGBA, GL_FLOAT, 4},
    {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, 4},
    {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, 4},
    {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, 4},
};
static_assert(sizeof(kTextureFormats) / sizeof(kTextureFormats[0]) ==
                  sizeof(kPixelFormatLayouts) / sizeof(kPixelFormatLayouts[0]),
              "one GL format per pixel format");
const TextureFormat kOtherFormat = {GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, 1};
const TextureFormat kDepthFormat = {GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT, GL_FLOAT, 4};

const GLint kWrapModes[] = {GL_MIRRORED_REPEAT, GL_REPEAT, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_BORDER};

const TextureFormat& formatOf(const TextureDescription* description) {
    if (description->attachmentKind == ATTACHMENT_DEPTH) return kDepthFormat;
    if (description->pixelFormat < sizeof(kTextureFormats) / sizeof(kTextureFormats[0]))
        return kTextureFormats[description->pixelFormat];
    return kOtherFormat;
}

// The pixel format whose layout the data follows: an attachment or a value outside
// the table carries four bytes per texel, as RGBA8 does.
uint32_t dataLayoutOf(const TextureDescription* description) {
    if (description->attachmentKind == ATTACHMENT_DEPTH || !pixelFormatLayout(description->pixelFormat))
        return PIXEL_FORMAT_RGBA8;
    return description->pixelFormat;
}

void uploadLevel(const TextureFormat& format, GLint level, uint32_t width, uint32_t height, const void* data,
                 uint64_t size) {
    if (format.dataFormat == 0) {
        glCompressedTexImage2D(GL_TEXTURE_2D, level, static_cast<GLenum>(format.internalFormat),
                               static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0,
                               static_cast<GLsizei>(size), data);
    } else {
        glTexImage2D(GL_TEXTURE_2D, level, format.internalFormat, static_cast<GLsizei>(width),
                     static_cast<GLsizei>(height), 0, format.dataFormat, format.dataType, data);
    }
}

// The highest level sampling may use. GL treats a texture whose mip filter reaches
// levels that were never specified as incomplete and samples black, so the range
// stops at the last level that exists.
void setLevelRange(uint32_t lastLevel) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(lastLevel));
}

void applyWrapMode(uint32_t wrapMode) {
    if (wrapMode >= sizeof(kWrapModes) / sizeof(kWrapModes[0])) return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, kWrapModes[wrapMode]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, kWrapModes[wrapMode]);
}

// Anisotropic filtering only for smooth textures: with it, drivers (llvmpipe among
// them) blend texels even under GL_NEAREST, and point filtering would be lost.
void setAnisotropy(const OpenGLBackendState* gl, bool smooth) {
    if (gl->maxAnisotropy > 0)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, smooth ? gl->maxAnisotropy : 1.0f);
}

ProgramSlot* boundProgramSlot(RendererState* state) {
    return state->currentShader ? programSlot(state, state->currentShader) : nullptr;
}

// Generates a name for a handle that has none yet and binds it on unit 0.
bool prepareTexture(RendererState* state, uint32_t* textureId) {
    if (!openGLState(state) || !textureId) return false;
    if (*textureId == RENDERER_INVALID_ID) {
        GLuint name = 0;
        glGenTextures(1, &name);
        *textureId = name;
    }
    bindTextureInRenderer(state, *textureId, 0);
    return true;
}

} // namespace

void bindTextureOutsideCache(RendererState* state, uint32_t texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    if (ProgramSlot* slot = boundProgramSlot(state)) slot->boundTextures[0] = texture;
}

uint32_t uploadTextureInRenderer(RendererState* state, void* pixels, uint64_t byteSize,
                                 TextureDescription* description, uint16_t levelsInData, uint32_t currentId) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl || !description) return RENDERER_INVALID_ID;
    GLuint name = currentId;
    if (currentId == RENDERER_INVALID_ID) glGenTextures(1, &name);
    bindTextureOutsideCache(state, name);

    const TextureFormat& format = formatOf(description);
    const uint32_t layout = dataLayoutOf(description);
    glPixelStorei(GL_UNPACK_ALIGNMENT, format.unpackAlignment);
    setAnisotropy(gl, description->smooth != 0);
    const uint32_t wantedLevels = description->mipLevels > 0 ? description->mipLevels : 1;
    if (description->smooth) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                        wantedLevels > 1 && !description->renderTarget ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    }
    applyWrapMode(description->wrapMode);

    uint32_t width = description->width;
    uint32_t height = description->height;
    const uint8_t* data = static_cast<const uint8_t*>(pixels);
    const uint64_t firstLevelBytes = levelBytes(layout, width, height);
    // byteSize, when given, is what the buffer holds: a short buffer gives an empty
    // texture of the right size rather than a read past its end.
    if (data && byteSize != 0 && firstLevelBytes > byteSize) data = nullptr;

    uploadLevel(format, 0, width, height, data, firstLevelBytes);
    if (description->attachmentKind == ATTACHMENT_DEPTH || !data) {
        setLevelRange(0);
        return name;
    }
    if (levelsInData < wantedLevels) {
        setLevelRange(wantedLevels - 1);
        glGenerateMipmap(GL_TEXTURE_2D);
        return name;
    }

    uint32_t level = 1;
    uint64_t offset = firstLevelBytes;
    for (; level < wantedLevels; ++level) {
        if (width == 1 && height == 1) break; // the chain ends at one texel
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
        const uint64_t size = levelBytes(layout, width, height);
        if (byteSize != 0 && (offset > byteSize || size > byteSize - offset)) break;
        uploadLevel(format, static_cast<GLint>(level), width, height, data + offset, size);
        offset += size;
    }
    setLevelRange(level - 1);
    return name;
}

uint32_t createAttachmentTexture(RendererState* state, TextureDescription* description, uint32_t width,
                                 uint32_t height) {
    // The attachment takes the frame buffer's size whatever the description says, so
    // that every attachment covers the area the frame buffer is bound with.
    TextureDescription sized = *description;
    sized.width = static_cast<uint16_t>(width > 0xFFFFu ? 0xFFFFu : width);
    sized.height = static_cast<uint16_t>(height > 0xFFFFu ? 0xFFFFu : height);
    return uploadTextureInRenderer(state, nullptr, 0, &sized, 1, RENDERER_INVALID_ID);
}

void bindTextureInRenderer(RendererState* state, uint32_t textureId, int32_t unit) {
    if (!openGLState(state) || unit < 0 || unit >= TEXTURE_UNIT_COUNT) return;
    ProgramSlot* slot = boundProgramSlot(state);
    if (slot) {
        if (slot->boundTextures[unit] == textureId) return;
        slot->boundTextures[unit] = textureId;
    }
    if (unit == 0) {
        glBindTexture(GL_TEXTURE_2D, textureId);
        return;
    }
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, textureId);
    // The sampler "textureN" reads unit N; without a bound program there is no
    // sampler to point.
    if (slot && slot->program) {
        char sampler[16];
        snprintf(sampler, sizeof(sampler), "texture%d", unit);
        GLint location = glGetUniformLocation(slot->program, sampler);
        if (location != -1) glUniform1i(location, unit);
    }
    glActiveTexture(GL_TEXTURE0);
}

uint32_t getTextureIDInRenderer(RendererState* state) {
    if (!openGLState(state)) return RENDERER_INVALID_ID;
    GLuint name = 0;
    glGenTextures(1, &name);
    return name;
}

void pushFreeTextureDescriptorInRenderer(RendererState* state, uint32_t textureId) {
    if (!openGLState(state) || textureId == RENDERER_INVALID_ID) return;
    GLuint name = textureId;
    glDeleteTextures(1, &name);
    // GL unbinds a deleted texture and hands its name out again; a cache entry for it
    // would skip binding the next texture of that name.
    if (ProgramSlot* slot = boundProgramSlot(state))
        for (uint32_t unit = 0; unit < TEXTURE_UNIT_COUNT; ++unit)
            if (slot->boundTextures[unit] == textureId) slot->boundTextures[unit] = RENDERER_INVALID_ID;
}

void setTextureSmoothInRenderer(RendererState* state, uint32_t* textureId, bool smooth) {
    if (!prepareTexture(state, textureId)) return;
    setAnisotropy(openGLState(state), smooth);
    if (smooth) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    }
}

void setTextureWrapModeInRenderer(RendererState* state, uint32_t* textureId, uint32_t wrapMode) {
    if (!prepareTexture(state, textureId)) return;
    applyWrapMode(wrapMode);
}
