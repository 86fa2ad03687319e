// The frame entry points, viewport and scissor, the render-state switches, the
// clears, pixel read-back and the entry points that have nothing to do on OpenGL.
#include "backends/window/backend_exports.h"
#include "backends/opengl/opengl_backend.h"

#include "backend/frame_rules.h"

void setTargetArea(int32_t width, int32_t height) {
    glViewport(0, 0, width, height);
    glScissor(0, 0, width, height);
}

void clearWithDepthWrites(RendererState* state, GLbitfield mask) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl) return;
    // Depth is cleared whatever the depth-write switch says; the switch is put back.
    const bool forced = (mask & GL_DEPTH_BUFFER_BIT) && !gl->depthWriteEnabled;
    if (forced) enableDepthMaskOnRenderer(state, true);
    glClear(mask);
    if (forced) enableDepthMaskOnRenderer(state, false);
}

void beginFrameInRenderer(RendererState* state) {
    if (!openGLState(state)) return;
    forgetBoundBuffers(state);
    dispatchPendingResize(state);
}

void endFrameInRenderer(RendererState*) {}

void swapBuffersOnRenderer(RendererState* state) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl || !gl->display.window.deviceContext) return;
    SwapBuffers(gl->display.window.deviceContext);
}

void resizeBackBuffersOnRenderer(RendererState* state, uint32_t width, uint32_t height) {
    if (!openGLState(state)) return;
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glScissor(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    recordBackBufferSize(state, width, height);
}

void setViewPortOnRenderer(RendererState* state, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!openGLState(state)) return;
    glViewport(x, y, width, height);
}

void setScissorOnRenderer(RendererState* state, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    if (!openGLState(state)) return;
    recordScissor(state, x0, y0, x1, y1);
    // A reversed rectangle scissors everything away instead of being refused by GL
    // (which would keep the previous box).
    int64_t width = static_cast<int64_t>(x1) - x0;
    int64_t height = static_cast<int64_t>(y1) - y0;
    glScissor(x0, y0, width > 0 ? static_cast<GLsizei>(width) : 0, height > 0 ? static_cast<GLsizei>(height) : 0);
}

void enableDepthTestOnRenderer(RendererState* state, bool enabled) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl) return;
    gl->depthTestEnabled = enabled ? 1 : 0;
    if (enabled)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
}

bool isDepthTestEnabledInRenderer(RendererState* state) {
    OpenGLBackendState* gl = openGLState(state);
    return gl && gl->depthTestEnabled;
}

void enableDepthMaskOnRenderer(RendererState* state, bool enabled) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl) return;
    gl->depthWriteEnabled = enabled ? 1 : 0;
    glDepthMask(enabled ? GL_TRUE : GL_FALSE);
}

bool isDepthMaskEnabledInRenderer(RendererState* state) {
    OpenGLBackendState* gl = openGLState(state);
    return gl && gl->depthWriteEnabled;
}

void enableWireframeOnRenderer(RendererState* state, bool enabled) {
    if (!openGLState(state)) return;
    glLineWidth(3.0f);
    glPolygonMode(GL_FRONT_AND_BACK, enabled ? GL_LINE : GL_FILL);
}

void clearCurrentFrameBuffer(RendererState* state) {
    clearWithDepthWrites(state, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void clearColorBufferOnRenderer(RendererState* state, const float* rgba) {
    if (!openGLState(state) || !rgba) return;
    glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(1, 1, 1, 0);
}

void clearDepthOnRenderer(RendererState* state) { clearWithDepthWrites(state, GL_DEPTH_BUFFER_BIT); }

uint32_t getMaxTextureSizeInRenderer(RendererState* state) {
    OpenGLBackendState* gl = openGLState(state);
    return gl && gl->maxTextureSize > 0 ? static_cast<uint32_t>(gl->maxTextureSize) : 0;
}

const char* getShaderSourceFileExtensionInRenderer(void) { return ".glsl"; }

bool readPixelsInRenderer(RendererState* state, int32_t x, int32_t y, int32_t width, int32_t height, void* rgbaOut) {
    if (!openGLState(state) || !rgbaOut || width <= 0 || height <= 0) return false;
    clearGLErrors();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgbaOut);
    return glGetError() == GL_NO_ERROR;
}

// Mapped buffers and uniform ids belong to the Direct3D 12 backend; the program
// calls the same sequence on both.
void* openVertexInputBufferInRenderer(RendererState*, uint32_t) { return nullptr; }
void closeVertexInputBufferInRenderer(RendererState*, uint32_t, uint32_t, int32_t) {}
void* openIndexBufferInRenderer(RendererState*, uint32_t) { return nullptr; }
void closeIndexBufferInRenderer(RendererState*, uint32_t, uint32_t) {}
uint32_t getUniformIDInRenderer(RendererState*) { return 0; }
void setShaderOutputInRenderer(RendererState*, ShaderRecord*, uint32_t) {}
