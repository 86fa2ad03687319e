// Start-up and shut-down of the OpenGL backend: the private record, the window, the
// rendering context that every window of the backend shares, the GL entry points and
// the fixed render state.
#include "backends/window/backend_exports.h"
#include "backends/window/display_mode_lists.h"
#include "backends/window/display_modes.h"
#include "backends/opengl/opengl_backend.h"
#include "backends/opengl/renderer_name.h"
#include "engine/assets/dyn_array.h"

#include <stdlib.h>
#include <string.h>

namespace {

const int kContextAttributes[] = {WGL_CONTEXT_MAJOR_VERSION_ARB, 3, WGL_CONTEXT_MINOR_VERSION_ARB, 0, 0};

const float kUnitQuadVertices[4 * 11] = {
    0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, //
    0, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0, //
    1, 0, 0, 1, 0, 1, 1, 1, 0, 0, 0, //
    1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, //
};
const uint32_t kUnitQuadIndices[6] = {0, 2, 1, 1, 2, 3};

bool setPixelFormat(HDC deviceContext) {
    PIXELFORMATDESCRIPTOR descriptor = {};
    descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 32;
    descriptor.cDepthBits = 16;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    int format = ChoosePixelFormat(deviceContext, &descriptor);
    return format != 0 && SetPixelFormat(deviceContext, format, &descriptor) != 0;
}

// The first window: a 3.0 context when the driver offers wglCreateContextAttribsARB,
// else the legacy one, current on the window. On failure the record keeps no context,
// and initRenderer reports that itself.
void createContext(BackendWindow* record, HDC deviceContext) {
    HGLRC legacy = wglCreateContext(deviceContext);
    if (!legacy) return;
    if (!wglMakeCurrent(deviceContext, legacy)) {
        wglDeleteContext(legacy);
        return;
    }
    PFNWGLCREATECONTEXTATTRIBSARBPROC createContextAttribs = reinterpret_cast<PFNWGLCREATECONTEXTATTRIBSARBPROC>(
        reinterpret_cast<void*>(wglGetProcAddress("wglCreateContextAttribsARB")));
    HGLRC modern = createContextAttribs ? createContextAttribs(deviceContext, nullptr, kContextAttributes) : nullptr;
    if (modern && wglMakeCurrent(deviceContext, modern)) {
        wglDeleteContext(legacy);
        record->renderingContext = modern;
        return;
    }
    if (modern) wglDeleteContext(modern);
    if (wglMakeCurrent(deviceContext, legacy)) {
        record->renderingContext = legacy;
    } else {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(legacy);
    }
}

// WM_CREATE of every backend window. The first window creates the context; windows
// made later by mode switches get a pixel format and the same context, so every GL
// object survives the switch. A context kept from the legacy path is shared the same
// way. A later window the context cannot be made current on is refused, so that the
// switch that made it fails instead of reporting a window GL does not draw into.
bool attachContext(BackendWindow* record, HWND window) {
    HDC deviceContext = GetDC(window);
    record->deviceContext = deviceContext;
    const bool formatSet = deviceContext && setPixelFormat(deviceContext);
    if (!record->renderingContext) {
        if (formatSet) createContext(record, deviceContext);
        return true;
    }
    if (formatSet && wglMakeCurrent(deviceContext, static_cast<HGLRC>(record->renderingContext))) return true;
    OutputDebugStringA("VidPortOpenGL3_0: the OpenGL context cannot be made current on the new window\n");
    if (deviceContext) ReleaseDC(window, deviceContext);
    record->deviceContext = nullptr;
    return false;
}

float readMaxAnisotropy() {
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const char* name = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (name && strcmp(name, "GL_EXT_texture_filter_anisotropic") == 0) {
            GLfloat maximum = 0;
            glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maximum);
            return maximum;
        }
    }
    return 0;
}

void setFixedRenderState(OpenGLBackendState* gl) {
    glEnable(GL_DEPTH_TEST);
    gl->depthTestEnabled = 1;
    gl->depthWriteEnabled = 1;
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glClearColor(1, 1, 1, 0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    glEnable(GL_SCISSOR_TEST);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ZERO); // alpha is not blended
    glActiveTexture(GL_TEXTURE0);
}

void releaseBackendRecord(OpenGLBackendState* gl) {
    releaseBlock(gl->vertexInputs);
    releaseBlock(gl->indexBuffers);
    releaseBlock(gl->buffers);
    releaseBlock(gl->programs);
    releaseBlock(gl->frameBuffers);
    free(gl->display.monitors);
    free(gl);
}

} // namespace

BackendDisplay* backendDisplay(RendererState* state) {
    OpenGLBackendState* gl = openGLState(state);
    return gl ? &gl->display : nullptr;
}

bool initRenderer(RendererState* state, WindowParameters* parameters, const char* title) {
    if (!state || !parameters) return false;
    OpenGLBackendState* gl = static_cast<OpenGLBackendState*>(calloc(1, sizeof(OpenGLBackendState)));
    if (!gl) return false;
    BackendWindow& window = gl->display.window;
    window.instance = GetModuleHandleW(nullptr);
    state->internal = gl;

    state->boundVertexInput = RENDERER_INVALID_ID;
    state->boundIndexBuffer = RENDERER_INVALID_ID;
    dropDisplayListsOfAnEarlierStart(state);
    state->currentShader = nullptr;

    setWindowCreatedHook(attachContext);
    uint32_t screenMode = SCREEN_MODE_WINDOWED;
    if (!openFirstWindow(&window, parameters, title, "(OpenGL3.0)", backendWindowProcedure, &screenMode)) return false;
    state->screenMode = screenMode;
    if (!window.renderingContext) {
        OutputDebugStringA("VidPortOpenGL3_0: no OpenGL context for the window\n");
        return false;
    }

    // Viewport, scissor and size of the client area; the pending resize it flags is
    // cleared below, the program asks for its own after loading.
    resizeBackBuffersOnRenderer(state, static_cast<uint32_t>(windowRectWidth(&window)),
                                static_cast<uint32_t>(windowRectHeight(&window)));

    if (!loadOpenGLFunctions()) return false;
    // Smooth textures filter anisotropically where that is cheap; a software rasteriser
    // pays for it in every sampled pixel (measured here: four times the frame time).
    gl->maxAnisotropy = isSoftwareRenderer(reinterpret_cast<const char*>(glGetString(GL_RENDERER)))
                            ? 0.0f
                            : readMaxAnisotropy();
    setFixedRenderState(gl);
    if (wglSwapIntervalEXT) wglSwapIntervalEXT(1);

    state->freeVertexInputCount = 0;
    state->freeIndexBufferCount = 0;
    state->resizePending = 0;
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    gl->maxTextureSize = maxTextureSize;

    buildStartupDisplayLists(state, &gl->display);

    state->quadVertexInput = createVertexInputBufferInRenderer(state, 4, kUnitQuadVertices, 0);
    state->quadIndexBuffer = createIndexBufferInRendererWithData(state, 6, kUnitQuadIndices);
    return state->quadVertexInput != RENDERER_INVALID_ID && state->quadIndexBuffer != RENDERER_INVALID_ID;
}

void cleanupRenderer(RendererState* state) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl) return;
    BackendWindow& window = gl->display.window;
    leaveScreenModeForCleanup(state);
    if (window.renderingContext) {
        wglMakeCurrent(window.deviceContext, nullptr);
        wglDeleteContext(static_cast<HGLRC>(window.renderingContext));
        window.renderingContext = nullptr;
    }
    closeWindowForCleanup(state, &window);
    state->currentShader = nullptr;
    state->internal = nullptr;
    releaseBackendRecord(gl);
}
