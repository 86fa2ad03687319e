// Off-screen frame buffers built from textures: colour attachments in order, at most
// one depth attachment, or depth only (a shadow map).
#include "backends/window/backend_exports.h"
#include "backends/opengl/opengl_backend.h"
#include "engine/assets/dyn_array.h"

#include <stdlib.h>

namespace {

enum { MAX_COLOR_ATTACHMENTS = 16 };

void bindBackBufferArea(RendererState* state) {
    OpenGLBackendState* gl = openGLState(state);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    setTargetArea(windowRectWidth(&gl->display.window), windowRectHeight(&gl->display.window));
}

FrameBufferOwner* ownerEntry(OpenGLBackendState* gl, const FrameBufferRecord* frameBuffer) {
    for (uint32_t i = 0; i < gl->frameBufferCount; ++i)
        if (gl->frameBuffers[i].record == frameBuffer) return &gl->frameBuffers[i];
    return nullptr;
}

// The GL frame buffer the record names, when this context made it for that record;
// else 0. A handle left from an earlier context, or copied from another record, may
// be the name of another record's frame buffer now, which it must neither re-create,
// bind nor delete.
GLuint ownedFrameBuffer(OpenGLBackendState* gl, const FrameBufferRecord* frameBuffer) {
    if (frameBuffer->handle == RENDERER_INVALID_ID || frameBuffer->handle == 0) return 0;
    const FrameBufferOwner* owner = ownerEntry(gl, frameBuffer);
    return owner && owner->frameBuffer == frameBuffer->handle ? owner->frameBuffer : 0;
}

// The record's entry, made when it has none (null when the list cannot grow). A
// record emptied without destroyFrameBufferInRenderer keeps its entry, and with it
// the frame buffer it had.
FrameBufferOwner* ownerSlot(OpenGLBackendState* gl, const FrameBufferRecord* frameBuffer) {
    if (FrameBufferOwner* owner = ownerEntry(gl, frameBuffer)) return owner;
    if (!growBlock(reinterpret_cast<void**>(&gl->frameBuffers), &gl->frameBufferCapacity, gl->frameBufferCount + 1, sizeof(FrameBufferOwner)))
        return nullptr;
    FrameBufferOwner* owner = &gl->frameBuffers[gl->frameBufferCount++];
    *owner = FrameBufferOwner{frameBuffer, 0};
    return owner;
}

void forgetOwner(OpenGLBackendState* gl, const FrameBufferRecord* frameBuffer) {
    FrameBufferOwner* owner = ownerEntry(gl, frameBuffer);
    if (owner) *owner = gl->frameBuffers[--gl->frameBufferCount];
}

void detachEverything(GLint maxColorAttachments) {
    for (GLint i = 0; i < maxColorAttachments; ++i)
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i), GL_TEXTURE_2D, 0, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, 0, 0);
}

} // namespace

void createFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer, uint32_t width, uint32_t height,
                                 TextureDescription** attachments, uint32_t attachmentCount) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl || !frameBuffer || width == 0 || height == 0) return;
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
    // A re-creation (every window resize) keeps the record's frame buffer instead of
    // leaking one per call; so does a record whose handle was emptied without
    // destroyFrameBufferInRenderer, since its entry still holds the name.
    FrameBufferOwner* owner = ownerSlot(gl, frameBuffer);
    if (!owner) {
        free(frameBuffer->textures);
        frameBuffer->textures = nullptr;
        frameBuffer->attachmentCount = 0;
        frameBuffer->handle = RENDERER_INVALID_ID;
        return;
    }
    if (owner->frameBuffer == 0) glGenFramebuffers(1, &owner->frameBuffer);
    const GLuint name = owner->frameBuffer;
    glBindFramebuffer(GL_FRAMEBUFFER, name);
    detachEverything(maxColorAttachments);
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
    if (OpenGLBackendState* gl = openGLState(state)) {
        GLuint name = ownedFrameBuffer(gl, frameBuffer);
        if (name != 0) {
            if (frameBuffer->bound) bindBackBufferArea(state);
            glDeleteFramebuffers(1, &name);
            forgetOwner(gl, frameBuffer);
            frameBuffer->handle = RENDERER_INVALID_ID;
            frameBuffer->bound = 0;
        }
    }
    free(frameBuffer->textures);
    frameBuffer->textures = nullptr; // a later creation frees the array it finds
    frameBuffer->attachmentCount = 0;
}

void bindFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl || !frameBuffer) return;
    const GLuint name = ownedFrameBuffer(gl, frameBuffer);
    if (name == 0) return;
    glBindFramebuffer(GL_FRAMEBUFFER, name);
    setTargetArea(static_cast<int32_t>(frameBuffer->width), static_cast<int32_t>(frameBuffer->height));
    frameBuffer->bound = 1;
}

void unbindFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer) {
    if (!openGLState(state)) return;
    bindBackBufferArea(state);
    if (frameBuffer) frameBuffer->bound = 0;
}

void clearFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl || !frameBuffer || ownedFrameBuffer(gl, frameBuffer) == 0) return;
    const bool wasBound = frameBuffer->bound != 0;
    if (!wasBound) bindFrameBufferInRenderer(state, frameBuffer);
    clearWithDepthWrites(state, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!wasBound) unbindFrameBufferInRenderer(state, frameBuffer);
}
