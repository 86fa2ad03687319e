// Off-screen frame buffers built from textures: colour attachments in order, at most
// one depth attachment, or depth only (a shadow map).
#include "backends/opengl/backend_exports.h"
#include "backends/opengl/opengl_backend.h"

#include <stdlib.h>

namespace {

enum { MAX_COLOR_ATTACHMENTS = 16 };

void bindBackBufferArea(RendererState* state) {
    OpenGLBackendState* gl = openGLState(state);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    setTargetArea(windowRectWidth(&gl->display.window), windowRectHeight(&gl->display.window));
}

bool isCreated(const FrameBufferRecord* frameBuffer) {
    return frameBuffer->handle != RENDERER_INVALID_ID && frameBuffer->handle != 0;
}

// The GL frame buffer a record already names, or 0. A re-creation (every window
// resize) keeps that name instead of leaking one per call.
GLuint existingFrameBuffer(const FrameBufferRecord* frameBuffer) {
    if (!isCreated(frameBuffer)) return 0;
    const GLuint name = frameBuffer->handle;
    return glIsFramebuffer(name) ? name : 0;
}

void detachEverything(GLint maxColorAttachments) {
    for (GLint i = 0; i < maxColorAttachments; ++i)
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i), GL_TEXTURE_2D, 0, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, 0, 0);
}

} // namespace

void createFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer, uint32_t width, uint32_t height,
                                 TextureDescription** attachments, uint32_t attachmentCount) {
    if (!openGLState(state) || !frameBuffer || width == 0 || height == 0) return;
    if (attachmentCount > 0 && !attachments) return;
    free(frameBuffer->textures);
    frameBuffer->textures = nullptr;
    frameBuffer->attachmentCount = 0;
    frameBuffer->width = width;
    frameBuffer->height = height;
    if (attachmentCount > 0) {
        frameBuffer->textures = static_cast<uint32_t*>(malloc(attachmentCount * sizeof(uint32_t)));
        if (!frameBuffer->textures) return;
        for (uint32_t i = 0; i < attachmentCount; ++i) frameBuffer->textures[i] = RENDERER_INVALID_ID;
        frameBuffer->attachmentCount = attachmentCount;
    }

    GLint maxColorAttachments = 0;
    glGetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &maxColorAttachments);
    if (maxColorAttachments > MAX_COLOR_ATTACHMENTS) maxColorAttachments = MAX_COLOR_ATTACHMENTS;
    GLuint name = existingFrameBuffer(frameBuffer);
    if (name != 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, name);
        detachEverything(maxColorAttachments);
    } else {
        glGenFramebuffers(1, &name);
        glBindFramebuffer(GL_FRAMEBUFFER, name);
    }
    frameBuffer->handle = name;

    GLenum drawBuffers[MAX_COLOR_ATTACHMENTS];
    GLint colorCount = 0;
    bool depthAttached = false;
    for (uint32_t i = 0; i < attachmentCount; ++i) {
        TextureDescription* description = attachments[i];
        if (!description) continue;
        uint32_t texture = createAttachmentTexture(state, description, width, height);
        frameBuffer->textures[i] = texture;
        if (description->attachmentKind == ATTACHMENT_COLOR && colorCount < maxColorAttachments) {
            const GLenum point = GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(colorCount);
            glFramebufferTexture2D(GL_FRAMEBUFFER, point, GL_TEXTURE_2D, texture, 0);
            drawBuffers[colorCount++] = point;
        } else if (description->attachmentKind == ATTACHMENT_DEPTH && !depthAttached) {
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, texture, 0);
            depthAttached = true;
        }
    }
    if (colorCount > 0) {
        glDrawBuffers(colorCount, drawBuffers);
    } else {
        glDrawBuffer(GL_NONE);
        glReadBuffer(GL_NONE);
    }
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        OutputDebugStringA("VidPortOpenGL3_0: incomplete frame buffer\n");

    bindBackBufferArea(state);
    frameBuffer->bound = 0;
}

void destroyFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer) {
    if (!frameBuffer) return;
    if (openGLState(state)) {
        GLuint name = existingFrameBuffer(frameBuffer);
        if (name != 0) {
            if (frameBuffer->bound) bindBackBufferArea(state);
            glDeleteFramebuffers(1, &name);
            frameBuffer->handle = RENDERER_INVALID_ID;
            frameBuffer->bound = 0;
        }
    }
    free(frameBuffer->textures);
    frameBuffer->textures = nullptr; // a later creation frees the array it finds
    frameBuffer->attachmentCount = 0;
}

void bindFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer) {
    if (!openGLState(state) || !frameBuffer || !isCreated(frameBuffer)) return;
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer->handle);
    setTargetArea(static_cast<int32_t>(frameBuffer->width), static_cast<int32_t>(frameBuffer->height));
    frameBuffer->bound = 1;
}

void unbindFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer) {
    if (!openGLState(state)) return;
    bindBackBufferArea(state);
    if (frameBuffer) frameBuffer->bound = 0;
}

void clearFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer) {
    if (!openGLState(state) || !frameBuffer || !isCreated(frameBuffer)) return;
    const bool wasBound = frameBuffer->bound != 0;
    if (!wasBound) bindFrameBufferInRenderer(state, frameBuffer);
    clearWithDepthWrites(state, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!wasBound) unbindFrameBufferInRenderer(state, frameBuffer);
}
