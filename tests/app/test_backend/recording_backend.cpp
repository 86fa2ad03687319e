// A render backend for testing the program shell. It exports all 95 entry points,
// records the calls that matter to a log file (QUARLO_TEST_BACKEND_LOG), and behaves
// as QUARLO_TEST_BACKEND_INIT says:
//   "window"   (default) initRenderer creates a real window and succeeds;
//   "fail"     initRenderer fails;
//   "nowindow" initRenderer succeeds without ever creating a window.
// QUARLO_TEST_BACKEND_CLOSE_AFTER=N posts WM_CLOSE to the window at the N-th swap.
// Built with RECORDING_BACKEND_INCOMPLETE it lacks one entry point the program calls
// (getMaxTextureSizeInRenderer) and still exports initRenderer and cleanupRenderer.
#include "backend/backend_window.h"
#include "backend/renderer_api.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

RENDERER_ENTRY_POINTS(RENDERER_DECLARE_EXPORT)
RENDERER_EXPORT void registerWndProc(WindowProcedure procedure);

namespace {

WindowProcedure gProgramProcedure;
BackendWindow gWindow;
HMODULE gModule;
int gSwaps;
uint32_t gNextId;

void logLine(const char* format, ...) {
    char path[1024];
    DWORD n = GetEnvironmentVariableA("QUARLO_TEST_BACKEND_LOG", path, sizeof(path));
    if (n == 0 || n >= sizeof(path)) return;
    FILE* log = fopen(path, "a");
    if (!log) return;
    va_list arguments;
    va_start(arguments, format);
    vfprintf(log, format, arguments);
    va_end(arguments);
    fputc('\n', log);
    fclose(log);
}

bool environmentIs(const char* name, const char* value) {
    char text[64];
    DWORD n = GetEnvironmentVariableA(name, text, sizeof(text));
    return n > 0 && n < sizeof(text) && strcmp(text, value) == 0;
}

int environmentNumber(const char* name) {
    char text[64];
    DWORD n = GetEnvironmentVariableA(name, text, sizeof(text));
    return n > 0 && n < sizeof(text) ? atoi(text) : 0;
}

const char* moduleName() {
    static char name[MAX_PATH];
    GetModuleFileNameA(gModule, name, MAX_PATH);
    const char* slash = strrchr(name, '\\');
    return slash ? slash + 1 : name;
}

LRESULT CALLBACK forwardingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const CREATESTRUCTW* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    } else if (!GetWindowLongPtrW(window, GWLP_USERDATA)) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (!gProgramProcedure) return DefWindowProcW(window, message, wParam, lParam);
    return gProgramProcedure(window, message, wParam, lParam);
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        gModule = instance;
        logLine("attach %s", moduleName());
    } else if (reason == DLL_PROCESS_DETACH) {
        logLine("detach %s", moduleName());
    }
    return TRUE;
}

void registerWndProc(WindowProcedure procedure) {
    gProgramProcedure = procedure;
    logLine("registerWndProc %s", procedure ? "set" : "null");
}

bool initRenderer(RendererState* state, WindowParameters* parameters, const char* title) {
    logLine("initRenderer %s %ux%u %s resize=%s", moduleName(), parameters->width, parameters->height, title,
            state->resizeCallback ? "set" : "null");
    if (environmentIs("QUARLO_TEST_BACKEND_INIT", "fail")) return false;
    if (environmentIs("QUARLO_TEST_BACKEND_INIT", "nowindow")) return true;

    gWindow.instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW& windowClass = gWindow.windowClass;
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = forwardingProcedure;
    windowClass.hInstance = gWindow.instance;
    windowClass.lpszClassName = L"QuarloTestBackendWindow";
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassExW(&windowClass);
    gWindow.windowRect = RECT{0, 0, static_cast<LONG>(parameters->width), static_cast<LONG>(parameters->height)};
    RECT outer = gWindow.windowRect;
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    gWindow.window = CreateWindowExW(0, windowClass.lpszClassName, L"Quarlo test backend", WS_OVERLAPPEDWINDOW, 0, 0,
                                     outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                     gWindow.instance, &gWindow);
    if (!gWindow.window) return false;
    gWindow.deviceContext = GetDC(gWindow.window);
    ShowWindow(gWindow.window, SW_SHOW);
    UpdateWindow(gWindow.window);
    state->width = parameters->width;
    state->height = parameters->height;
    state->internal = &gWindow;
    return true;
}

void cleanupRenderer(RendererState*) {
    logLine("cleanupRenderer %s", moduleName());
    if (gWindow.window) DestroyWindow(gWindow.window);
    gWindow.window = nullptr;
}

void beginFrameInRenderer(RendererState* state) {
    logLine("beginFrame");
    if (state->resizePending && state->resizeCallback) {
        state->resizePending = 0;
        state->resizeCallback(static_cast<int32_t>(state->width), static_cast<int32_t>(state->height));
    }
}

void endFrameInRenderer(RendererState*) { logLine("endFrame"); }

void swapBuffersOnRenderer(RendererState*) {
    ++gSwaps;
    logLine("swap %d", gSwaps);
    int closeAfter = environmentNumber("QUARLO_TEST_BACKEND_CLOSE_AFTER");
    if (closeAfter > 0 && gSwaps == closeAfter && gWindow.window) PostMessageW(gWindow.window, WM_CLOSE, 0, 0);
    Sleep(1);
}

void clearColorBufferOnRenderer(RendererState*, const float* rgba) {
    logLine("clearColor %.1f %.1f %.1f %.1f", rgba[0], rgba[1], rgba[2], rgba[3]);
}

void resizeBackBuffersOnRenderer(RendererState* state, uint32_t width, uint32_t height) {
    logLine("resize %ux%u", width, height);
    state->width = width;
    state->height = height;
    state->resizePending = 1;
}

// Everything else: accepted and, where a handle is asked for, answered with a fresh one.
void enableDepthTestOnRenderer(RendererState*, bool) {}
void enableWireframeOnRenderer(RendererState*, bool) {}
void clearCurrentFrameBuffer(RendererState*) {}
void clearDepthOnRenderer(RendererState*) {}
void enableDepthMaskOnRenderer(RendererState*, bool) {}
void setViewPortOnRenderer(RendererState*, int32_t, int32_t, int32_t, int32_t) {}
void setScissorOnRenderer(RendererState*, int32_t, int32_t, int32_t, int32_t) {}
bool rendererToWindowed(RendererState*) { return false; }
bool rendererToFullscreen(RendererState*) { return false; }
bool rendererToBorderlessWindow(RendererState*) { return false; }
void getAvailableRendererResolutions(RendererState*) {}
void getAvailableRendererFrequenciesForResolution(RendererState*) {}
void lockMouseInsideRendererWindow(RendererState*, bool lock) { gWindow.mouseLocked = lock; }
void lockMousePositionInRenderer(RendererState*, int32_t, int32_t) {}
uint32_t createVertexBufferInRenderer(RendererState*, uint32_t) { return gNextId++; }
uint32_t createBufferInRenderer(RendererState*) { return gNextId++; }
uint32_t createIndexBufferInRenderer(RendererState*, uint32_t) { return gNextId++; }
uint32_t createVertexInputBufferInRenderer(RendererState*, uint32_t, const float*, int32_t) { return gNextId++; }
uint32_t updateVertexInputBufferInRenderer(RendererState*, uint32_t id, uint32_t, const float*, int32_t) { return id; }
uint32_t updateVertexInputBufferFromIndexInRenderer(RendererState*, uint32_t id, uint32_t, uint32_t, const float*,
                                                    int32_t) {
    return id;
}
void* openVertexInputBufferInRenderer(RendererState*, uint32_t) { return nullptr; }
void closeVertexInputBufferInRenderer(RendererState*, uint32_t, uint32_t, int32_t) {}
uint32_t createIndexBufferInRendererWithData(RendererState*, uint32_t, const uint32_t*) { return gNextId++; }
uint32_t updateIndexBufferInRenderer(RendererState*, uint32_t id, uint32_t, const uint32_t*) { return id; }
void* openIndexBufferInRenderer(RendererState*, uint32_t) { return nullptr; }
void closeIndexBufferInRenderer(RendererState*, uint32_t, uint32_t) {}
uint32_t uploadTextureInRenderer(RendererState*, void*, uint64_t, TextureDescription*, uint16_t, uint32_t current) {
    return current != RENDERER_INVALID_ID ? current : gNextId++;
}
void bindTextureInRenderer(RendererState*, uint32_t, int32_t) {}
void sendVerticesToBufferInRenderer(RendererState*, uint32_t, const float*, uint32_t) {}
void sendDataToBufferInRenderer(RendererState*, uint32_t, const float*, uint32_t) {}
void sendIndicesToBufferInRenderer(RendererState*, uint32_t, const uint32_t*, uint32_t) {}
void deleteBufferInRenderer(RendererState*, uint32_t) {}
void deleteIndexBufferInRenderer(RendererState*, uint32_t) {}
void deleteVertexInputBufferInRenderer(RendererState*, uint32_t) {}
void bindVertexBufferInRenderer(RendererState*, uint32_t) {}
void bindIndexBufferInRenderer(RendererState*, uint32_t) {}
uint32_t getTextureIDInRenderer(RendererState*) { return gNextId++; }
uint32_t getUniformIDInRenderer(RendererState*) { return 0; }
#ifndef RECORDING_BACKEND_INCOMPLETE
uint32_t getMaxTextureSizeInRenderer(RendererState*) { return 4096; }
#endif
const char* getShaderSourceFileExtensionInRenderer(void) { return ".glsl"; }
const char* defaultGUITextShaderSource(void) { return "#version 130\n"; }
const char* defaultGUIColorShaderSource(void) { return "#version 130\n"; }
const char* defaultGUITransformedTextShaderSource(void) { return "#version 130\n"; }
const char* defaultGUIImageShaderSource(void) { return "#version 130\n"; }
bool setDisplayResolutionInRenderer(RendererState*, int32_t) { return false; }
bool setDisplayFrequencyInRenderer(RendererState*, int32_t) { return false; }
bool setMonitorInRenderer(RendererState*, uint32_t) { return false; }
bool isDepthTestEnabledInRenderer(RendererState*) { return true; }
bool isDepthMaskEnabledInRenderer(RendererState*) { return true; }
void pushFreeTextureDescriptorInRenderer(RendererState*, uint32_t) {}
void setTextureSmoothInRenderer(RendererState*, uint32_t* id, bool) {
    if (*id == RENDERER_INVALID_ID) *id = gNextId++;
}
void setTextureWrapModeInRenderer(RendererState*, uint32_t* id, uint32_t) {
    if (*id == RENDERER_INVALID_ID) *id = gNextId++;
}
uint32_t windowWidthInRenderer(RendererState* state) { return state->width; }
uint32_t windowHeightInRenderer(RendererState* state) { return state->height; }
uint32_t windowRefreshFrequencyInRenderer(RendererState*) { return 60; }
void createFrameBufferInRenderer(RendererState*, FrameBufferRecord* frameBuffer, uint32_t width, uint32_t height,
                                 TextureDescription**, uint32_t count) {
    frameBuffer->width = width;
    frameBuffer->height = height;
}
void destroyFrameBufferInRenderer(RendererState*, FrameBufferRecord*) {}
void bindFrameBufferInRenderer(RendererState*, FrameBufferRecord* frameBuffer) { frameBuffer->bound = 1; }
void unbindFrameBufferInRenderer(RendererState*, FrameBufferRecord* frameBuffer) { frameBuffer->bound = 0; }
void clearFrameBufferInRenderer(RendererState*, FrameBufferRecord*) {}
void sendMatrix4x4ToShaderInRenderer(RendererState*, ShaderRecord*, const char*, const float*) {}
void sendMatrix4x4ToShaderOInRenderer(RendererState*, ShaderRecord*, const char*, const float*, uint64_t) {}
void sendMatrix3x3ToShaderInRenderer(RendererState*, ShaderRecord*, const char*, const float*) {}
void sendSkeletonToShaderInRenderer(RendererState*, ShaderRecord*, const char*, const float*, uint32_t) {}
void sendSkeletonToShaderOInRenderer(RendererState*, ShaderRecord*, const char*, const float*, uint32_t, uint64_t) {}
void sendFloatToShaderInRenderer(RendererState*, ShaderRecord*, const char*, float) {}
void sendFloatToShaderOInRenderer(RendererState*, ShaderRecord*, const char*, float, uint64_t) {}
void sendIntegerToShaderOInRenderer(RendererState*, ShaderRecord*, const char*, int32_t, uint64_t) {}
void sendIntegerToShaderInRenderer(RendererState*, ShaderRecord*, const char*, int32_t) {}
void sendUnsignedIntegerToShaderOInRenderer(RendererState*, ShaderRecord*, const char*, uint32_t, uint64_t) {}
void sendUnsignedIntegerToShaderInRenderer(RendererState*, ShaderRecord*, const char*, uint32_t) {}
void sendVector2DToShaderInRenderer(RendererState*, ShaderRecord*, const char*, RendererVector2) {}
void sendVector2DToShaderOInRenderer(RendererState*, ShaderRecord*, const char*, RendererVector2, uint64_t) {}
void sendVector3DToShaderInRenderer(RendererState*, ShaderRecord*, const char*, const float*) {}
void sendVector3DToShaderOInRenderer(RendererState*, ShaderRecord*, const char*, const float*, uint64_t) {}
void sendVector4DToShaderInRenderer(RendererState*, ShaderRecord*, const char*, const float*) {}
void setShaderOutputInRenderer(RendererState*, ShaderRecord*, uint32_t) {}
void setShaderInputInRenderer(RendererState*, ShaderRecord* shader, int32_t, const UniformDeclaration*, uint32_t) {
    if (shader->slot < 0) shader->slot = static_cast<int32_t>(gNextId++);
}
void drawIndexedInRenderer(RendererState*, ShaderRecord*, uint32_t, uint32_t) {}
void drawIndexedSubIndexCountInRenderer(RendererState*, ShaderRecord*, uint32_t, uint32_t, uint32_t) {}
void drawIndexedSubIndexSetInRenderer(RendererState*, ShaderRecord*, uint32_t, uint32_t, uint32_t, uint32_t) {}
void drawIndexedWithPreviousBuffersInRenderer(RendererState*, ShaderRecord*) {}
bool loadShaderFromSourceInRenderer(RendererState*, ShaderRecord* shader, const char*) {
    if (shader->slot < 0) shader->slot = static_cast<int32_t>(gNextId++);
    return true;
}
bool compileShaderInRenderer(RendererState*, ShaderRecord*) { return true; }
void bindShaderInRenderer(RendererState* state, ShaderRecord* shader) { state->currentShader = shader; }
void unbindShaderInRenderer(RendererState*, ShaderRecord*) {}
void cleanupShaderInRenderer(RendererState*, ShaderRecord* shader) { shader->slot = -1; }
