#include "tests/backends/backend_harness.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

Backend gBackend;
WindowLog gWindowLog;
ResizeLog gResizeLog;

namespace {

const wchar_t kWindowClassName[] = L"TollanWindowClass";

void recordResize(int32_t width, int32_t height) {
    ++gResizeLog.calls;
    gResizeLog.width = width;
    gResizeLog.height = height;
}

// Like the program's procedure in what a backend relies on: the window part kept as
// user data, and a resize rewriting the window rectangle with the client size and
// resizing the back buffers.
intptr_t testWindowProcedure(void* handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    HWND window = static_cast<HWND>(handle);
    switch (message) {
    case WM_CREATE: {
        ++gWindowLog.creates;
        const CREATESTRUCTW* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
        break;
    }
    case WM_SIZE: {
        ++gWindowLog.sizes;
        BackendWindow* record = reinterpret_cast<BackendWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        uint32_t width = LOWORD(lParam);
        uint32_t height = HIWORD(lParam);
        if (record && width && height) {
            record->windowRect = RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
            if (gBackend.api.resizeBackBuffersOnRenderer)
                gBackend.api.resizeBackBuffersOnRenderer(&gBackend.state, width, height);
        }
        break;
    }
    case TEST_PROBE_MESSAGE:
        ++gWindowLog.probes;
        gWindowLog.lastProbeWParam = wParam;
        gWindowLog.lastProbeLParam = lParam;
        return 0x5A;
    case WM_CLOSE:
        return 0; // the suite ends the window through cleanupRenderer
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class BackendEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        char path[MAX_PATH] = "VidPortOpenGL3_0.dll";
        DWORD length = GetEnvironmentVariableA("QUARLO_BACKEND_LIBRARY", path, sizeof(path));
        if (length == 0 || length >= sizeof(path)) strcpy(path, "VidPortOpenGL3_0.dll");
        gBackend.module = LoadLibraryA(path);
        ASSERT_NE(gBackend.module, nullptr) << "cannot load " << path;
        bindRendererApi(gBackend.module, &gBackend.api);
        ASSERT_TRUE(hasCalledEntryPoints(&gBackend.api)) << path << " lacks entry points the program calls";
        registerWndProcFn registerWndProc = reinterpret_cast<registerWndProcFn>(
            reinterpret_cast<void*>(GetProcAddress(gBackend.module, RENDERER_REGISTER_WNDPROC_NAME)));
        gBackend.readPixels = reinterpret_cast<readPixelsInRendererFn>(
            reinterpret_cast<void*>(GetProcAddress(gBackend.module, RENDERER_READ_PIXELS_NAME)));
        ASSERT_NE(registerWndProc, nullptr);
        ASSERT_NE(gBackend.readPixels, nullptr);
        gBackend.openGL = strcmp(gBackend.api.getShaderSourceFileExtensionInRenderer(), ".glsl") == 0;

        gBackend.state.resizeCallback = recordResize;
        registerWndProc(testWindowProcedure);
        WindowParameters parameters = {1280, 720, 32, 60, SCREEN_MODE_WINDOWED};
        ASSERT_TRUE(startBackend(&parameters)) << "initRenderer failed";
    }

    void TearDown() override {
        if (!gBackend.module) return;
        if (gBackend.api.cleanupRenderer) {
            gBackend.api.cleanupRenderer(&gBackend.state);
            pumpMessages();
            EXPECT_EQ(gBackend.state.internal, nullptr) << "cleanupRenderer kept its private record";
            EXPECT_EQ(FindWindowW(kWindowClassName, nullptr), nullptr) << "the window outlived cleanupRenderer";
        }
        gBackend.ready = false;
        FreeLibrary(gBackend.module);
        gBackend.module = nullptr;
    }
};

::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new BackendEnvironment);

} // namespace

RendererApi& api() { return gBackend.api; }

bool restartBackend(const WindowParameters* parameters) {
    gBackend.api.cleanupRenderer(&gBackend.state);
    pumpMessages();
    // cleanupRenderer reports nothing: it worked when the window and the private record are gone.
    const bool cleaned = !gBackend.state.internal && !FindWindowW(kWindowClassName, nullptr);
    WindowParameters windowed = {1280, 720, 32, 60, SCREEN_MODE_WINDOWED};
    WindowParameters given = parameters ? *parameters : windowed;
    return startBackend(&given) && cleaned;
}

bool startBackend(const WindowParameters* parameters, const char* title) {
    WindowParameters given = *parameters;
    gBackend.ready = gBackend.api.initRenderer(&gBackend.state, &given, title);
    pumpMessages();
    if (!gBackend.ready) return false;
    return true;
}
RendererState* state() { return &gBackend.state; }

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

HWND backendWindowHandle() { return FindWindowW(kWindowClassName, nullptr); }

const BackendWindow* backendWindowRecord() {
    HWND window = backendWindowHandle();
    return window ? reinterpret_cast<const BackendWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)) : nullptr;
}

Rgba readPixel(int32_t x, int32_t y) {
    Rgba pixel = {0, 0, 0, 0};
    EXPECT_TRUE(gBackend.readPixels(&gBackend.state, x, y, 1, 1, &pixel)) << "reading pixel " << x << ", " << y;
    return pixel;
}

bool sameColor(Rgba actual, Rgba expected, int tolerance, bool withAlpha) {
    return abs(actual.r - expected.r) <= tolerance && abs(actual.g - expected.g) <= tolerance &&
           abs(actual.b - expected.b) <= tolerance && (!withAlpha || abs(actual.a - expected.a) <= tolerance);
}

::testing::AssertionResult colorNear(Rgba actual, Rgba expected, int tolerance, bool withAlpha) {
    if (sameColor(actual, expected, tolerance, withAlpha)) return ::testing::AssertionSuccess();
    char text[128];
    snprintf(text, sizeof(text), "pixel (%d, %d, %d, %d), expected (%d, %d, %d%s%d)", actual.r, actual.g, actual.b,
             actual.a, expected.r, expected.g, expected.b, withAlpha ? ", " : ") ignoring alpha ",
             withAlpha ? expected.a : -1);
    return ::testing::AssertionFailure() << text << (withAlpha ? ")" : "");
}

void BackendTest::SetUp() {
    ASSERT_TRUE(gBackend.ready) << "the backend did not start";
    memset(shaders, 0, sizeof(shaders));
    for (ShaderRecord& shader : shaders) shader.slot = -1;
    memset(targets, 0, sizeof(targets));
    for (FrameBufferRecord& target : targets) target.handle = RENDERER_INVALID_ID;
    api().beginFrameInRenderer(state());
}

void BackendTest::TearDown() {
    if (!gBackend.ready) return;
    for (uint32_t i = 0; i < targetCount; ++i) {
        if (targets[i].bound) api().unbindFrameBufferInRenderer(state(), &targets[i]);
        api().destroyFrameBufferInRenderer(state(), &targets[i]);
    }
    for (uint32_t i = 0; i < shaderCount; ++i) api().cleanupShaderInRenderer(state(), &shaders[i]);
    api().enableDepthTestOnRenderer(state(), true);
    api().enableDepthMaskOnRenderer(state(), true);
    api().enableWireframeOnRenderer(state(), false);
    const int32_t width = static_cast<int32_t>(state()->width);
    const int32_t height = static_cast<int32_t>(state()->height);
    api().setViewPortOnRenderer(state(), 0, 0, width, height);
    api().setScissorOnRenderer(state(), 0, 0, width, height);
    api().endFrameInRenderer(state());
    api().swapBuffersOnRenderer(state());
    pumpMessages();
}

ShaderRecord* BackendTest::newShader() {
    if (shaderCount >= sizeof(shaders) / sizeof(shaders[0])) {
        ADD_FAILURE() << "too many shaders in one test";
        return &shaders[0];
    }
    return &shaders[shaderCount++];
}

FrameBufferRecord* BackendTest::newTarget(uint32_t width, uint32_t height, bool withDepth) {
    if (targetCount >= sizeof(targets) / sizeof(targets[0])) {
        ADD_FAILURE() << "too many frame buffers in one test";
        return &targets[0];
    }
    FrameBufferRecord* target = &targets[targetCount++];
    TextureDescription color = colorDescription(static_cast<uint16_t>(width), static_cast<uint16_t>(height));
    TextureDescription depth = depthDescription(static_cast<uint16_t>(width), static_cast<uint16_t>(height));
    TextureDescription* attachments[2] = {&color, &depth};
    api().createFrameBufferInRenderer(state(), target, width, height, attachments, withDepth ? 2 : 1);
    return target;
}

TextureDescription colorDescription(uint16_t width, uint16_t height, uint32_t pixelFormat) {
    TextureDescription description = {};
    description.width = width;
    description.height = height;
    description.pixelFormat = pixelFormat;
    description.wrapMode = WRAP_CLAMP_TO_EDGE;
    description.attachmentKind = ATTACHMENT_COLOR;
    description.mipLevels = 1;
    description.smooth = 0;
    description.renderTarget = 1;
    return description;
}

TextureDescription depthDescription(uint16_t width, uint16_t height) {
    TextureDescription description = colorDescription(width, height);
    description.attachmentKind = ATTACHMENT_DEPTH;
    return description;
}

const UniformDeclaration kPlacedUniforms[4] = {
    {"area", 0, 4},
    {"depth", 0, 1},
    {"tint", 0, 4},
    {"uvScale", 0, 2},
};

bool buildShader(ShaderRecord* shader, const char* source, int32_t vertexFormat, const UniformDeclaration* uniforms,
                 uint32_t uniformCount, uint32_t cullMode, uint32_t blendMode) {
    if (!source) return false;
    shader->cullMode = cullMode;
    shader->blendMode = blendMode;
    if (!api().loadShaderFromSourceInRenderer(state(), shader, source)) return false;
    api().setShaderInputInRenderer(state(), shader, vertexFormat, uniforms, uniformCount);
    return api().compileShaderInRenderer(state(), shader);
}

void drawPlaced(ShaderRecord* shader, float x0, float y0, float x1, float y1, float depth, const float tint[4],
                float uvScale) {
    const float area[4] = {x0, y0, x1, y1};
    api().bindShaderInRenderer(state(), shader);
    api().sendVector4DToShaderInRenderer(state(), shader, "area", area);
    api().sendFloatToShaderInRenderer(state(), shader, "depth", depth);
    api().sendVector4DToShaderInRenderer(state(), shader, "tint", tint);
    api().sendVector2DToShaderInRenderer(state(), shader, "uvScale", RendererVector2{uvScale, uvScale});
    api().drawIndexedInRenderer(state(), shader, state()->quadIndexBuffer, state()->quadVertexInput);
}

uint32_t solidTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a, uint16_t size) {
    uint8_t* pixels = static_cast<uint8_t*>(malloc(static_cast<size_t>(size) * size * 4));
    for (uint32_t i = 0; i < static_cast<uint32_t>(size) * size; ++i) {
        pixels[i * 4 + 0] = r;
        pixels[i * 4 + 1] = g;
        pixels[i * 4 + 2] = b;
        pixels[i * 4 + 3] = a;
    }
    TextureDescription description = colorDescription(size, size);
    description.renderTarget = 0;
    uint32_t texture = api().uploadTextureInRenderer(state(), pixels, static_cast<uint64_t>(size) * size * 4,
                                                     &description, 1, RENDERER_INVALID_ID);
    free(pixels);
    api().setTextureSmoothInRenderer(state(), &texture, false);
    return texture;
}

float windowDepth(float clipZ) { return difference(DIFFERENCE_CLIP_DEPTH) ? (clipZ + 1.0f) * 0.5f : clipZ; }

int32_t pixelOf(float clip, uint32_t size) {
    float position = (clip + 1.0f) * 0.5f * static_cast<float>(size);
    return static_cast<int32_t>(position);
}
