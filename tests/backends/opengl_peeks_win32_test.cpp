// What only the OpenGL backend has: GL buffer names behind the handles, the one GL
// context that follows the window through screen-mode switches, and the pixel format
// a window must take for it. The rest of the suite runs on both backends.
#include "tests/backends/backend_harness.h"

#include <GL/gl.h>

#include <vector>

namespace {

const float kRed[4] = {1, 0, 0, 1};

// The GL buffer bound to a target right now; the OpenGL backend binds a buffer to
// give it data, which is how its GL name shows.
GLint boundGLBuffer(GLenum binding) {
    GLint name = -1;
    glGetIntegerv(binding, &name);
    return name;
}
const GLenum kArrayBufferBinding = 0x8894;
const GLenum kElementArrayBufferBinding = 0x8895;

// Vertices of format 0 at clip-space positions; the placed shader maps the unit
// square onto its area, so positions are given in 0..1.
std::vector<float> format0Vertices(const std::vector<float>& positions) {
    std::vector<float> vertices;
    for (size_t i = 0; i + 1 < positions.size(); i += 2) {
        const float vertex[11] = {positions[i], positions[i + 1], 0, 0, 0, 1, 1, 1, 0, 0, 0};
        vertices.insert(vertices.end(), vertex, vertex + 11);
    }
    return vertices;
}

// The bytes of the buffer bound to GL_ARRAY_BUFFER, read back through GL.
std::vector<float> boundArrayBufferFloats() {
    typedef void(APIENTRY * GetBufferParameterivFn)(GLenum, GLenum, GLint*);
    typedef void(APIENTRY * GetBufferSubDataFn)(GLenum, ptrdiff_t, ptrdiff_t, void*);
    const GetBufferParameterivFn getParameter = reinterpret_cast<GetBufferParameterivFn>(
        reinterpret_cast<void*>(wglGetProcAddress("glGetBufferParameteriv")));
    const GetBufferSubDataFn getSubData =
        reinterpret_cast<GetBufferSubDataFn>(reinterpret_cast<void*>(wglGetProcAddress("glGetBufferSubData")));
    std::vector<float> contents;
    if (!getParameter || !getSubData) {
        ADD_FAILURE() << "the context lacks glGetBufferSubData";
        return contents;
    }
    const GLenum kArrayBuffer = 0x8892;
    const GLenum kBufferSize = 0x8764;
    GLint size = 0;
    getParameter(kArrayBuffer, kBufferSize, &size);
    contents.resize(static_cast<size_t>(size) / sizeof(float));
    if (!contents.empty())
        getSubData(kArrayBuffer, 0, static_cast<ptrdiff_t>(contents.size() * sizeof(float)), contents.data());
    return contents;
}

// While armed, gives the next backend window a pixel format other than the one the
// backend asks for, before the backend's window procedure sees WM_CREATE: a window
// may take one pixel format only, so the backend's context cannot be made current
// on it.
struct PixelFormatClash {
    bool armed;
    bool set;
};
PixelFormatClash gClash;

LRESULT CALLBACK clashPixelFormat(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    wchar_t className[64] = {};
    if (code == HC_ACTION && gClash.armed && sent->message == WM_CREATE &&
        GetClassNameW(sent->hwnd, className, 64) && wcscmp(className, L"TollanWindowClass") == 0) {
        gClash.armed = false;
        HDC deviceContext = GetDC(sent->hwnd);
        PIXELFORMATDESCRIPTOR wanted = {};
        wanted.nSize = sizeof(wanted);
        wanted.nVersion = 1;
        wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        wanted.iPixelType = PFD_TYPE_RGBA;
        wanted.cColorBits = 32;
        wanted.cDepthBits = 16;
        wanted.iLayerType = PFD_MAIN_PLANE;
        const int chosen = ChoosePixelFormat(deviceContext, &wanted);
        PIXELFORMATDESCRIPTOR other = {};
        const int count = DescribePixelFormat(deviceContext, 1, sizeof(other), &other);
        for (int format = 1; format <= count && !gClash.set; ++format) {
            if (format == chosen || !DescribePixelFormat(deviceContext, format, sizeof(other), &other)) continue;
            if ((other.dwFlags & PFD_DRAW_TO_WINDOW) && (other.dwFlags & PFD_SUPPORT_OPENGL))
                gClash.set = SetPixelFormat(deviceContext, format, &other) != 0;
        }
        ReleaseDC(sent->hwnd, deviceContext);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

using OpenGLPeeks = BackendTest;

TEST_F(OpenGLPeeks, TheWindowRecordHoldsTheContext) {
    const BackendWindow* record = backendWindowRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_NE(record->renderingContext, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), static_cast<HGLRC>(record->renderingContext));
}

// A reused handle keeps its GL buffer: the storage goes back into use with the id.
TEST_F(OpenGLPeeks, AReusedHandleKeepsItsGLBuffer) {
    const std::vector<float> vertices = format0Vertices({0, 0, 0, 1, 1, 0, 1, 1});
    const uint32_t first = api().createVertexInputBufferInRenderer(state(), 4, vertices.data(), 0);
    ASSERT_NE(first, RENDERER_INVALID_ID);
    const GLint firstName = boundGLBuffer(kArrayBufferBinding);
    api().deleteVertexInputBufferInRenderer(state(), first);
    EXPECT_EQ(api().createVertexInputBufferInRenderer(state(), 4, vertices.data(), 0), first);
    EXPECT_EQ(boundGLBuffer(kArrayBufferBinding), firstName);

    const uint32_t indices[6] = {0, 2, 1, 1, 2, 3};
    const uint32_t index = api().createIndexBufferInRendererWithData(state(), 6, indices);
    ASSERT_NE(index, RENDERER_INVALID_ID);
    const GLint indexName = boundGLBuffer(kElementArrayBufferBinding);
    api().deleteIndexBufferInRenderer(state(), index);
    EXPECT_EQ(api().createIndexBufferInRendererWithData(state(), 6, indices), index);
    EXPECT_EQ(boundGLBuffer(kElementArrayBufferBinding), indexName);
}

// Each older-family buffer is a GL buffer of its own, holding what was sent to it.
TEST_F(OpenGLPeeks, OlderFamilyBuffersAreGLBuffersOfTheirOwn) {
    state()->boundVertexInput = RENDERER_INVALID_ID;
    api().bindVertexBufferInRenderer(state(), state()->quadVertexInput);
    const GLint quadName = boundGLBuffer(kArrayBufferBinding);
    struct Sent {
        uint32_t id;
        GLint name;
    };
    std::vector<Sent> sent;
    for (uint32_t i = 0; i < 8; ++i) {
        const uint32_t id =
            i % 2 ? api().createBufferInRenderer(state()) : api().createVertexBufferInRenderer(state(), 9);
        ASSERT_NE(id, RENDERER_INVALID_ID);
        std::vector<float> floats(6 + i % 3, 5.0f + static_cast<float>(i));
        if (i % 2)
            api().sendDataToBufferInRenderer(state(), id, floats.data(), static_cast<uint32_t>(floats.size()));
        else
            api().sendVerticesToBufferInRenderer(state(), id, floats.data(), static_cast<uint32_t>(floats.size()));
        const GLint name = boundGLBuffer(kArrayBufferBinding);
        EXPECT_NE(name, quadName) << "buffer " << id << " was sent into the unit quad";
        EXPECT_EQ(boundArrayBufferFloats(), floats) << "buffer " << id;
        for (const Sent& before : sent) EXPECT_NE(before.name, name) << "buffers " << before.id << " and " << id;
        sent.push_back(Sent{id, name});
    }
    // A second send reaches the buffer of the first one.
    const std::vector<float> again(4, -2.0f);
    api().sendVerticesToBufferInRenderer(state(), sent[0].id, again.data(), 4);
    EXPECT_EQ(boundGLBuffer(kArrayBufferBinding), sent[0].name);
    EXPECT_EQ(boundArrayBufferFloats(), again);
}

// A window made by a switch that the GL context cannot be made current on fails the
// switch (GL would draw nowhere); a later switch to a window it can reach brings
// every object back.
TEST_F(OpenGLPeeks, ASwitchToAWindowTheContextCannotReachFails) {
    REQUIRE_TEST_SHADER(TEST_SHADER_PLACED);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_PLACED), 0, kPlacedUniforms, 4));
    const uint32_t texture = solidTexture(40, 180, 90, 255);
    api().endFrameInRenderer(state());
    struct Hook {
        HHOOK handle;
        ~Hook() {
            if (handle) UnhookWindowsHookEx(handle);
        }
    } hook = {SetWindowsHookExW(WH_CALLWNDPROC, clashPixelFormat, nullptr, GetCurrentThreadId())};
    ASSERT_NE(hook.handle, nullptr);

    struct Switch {
        const char* what;
        bool (*fails)();
        uint32_t modeAfter; // the screen mode a failed switch leaves
    };
    const Switch switches[] = {
        // Fullscreen has changed the display mode when the window fails, and says so.
        {"to fullscreen", [] { return api().rendererToFullscreen(state()); }, SCREEN_MODE_FULLSCREEN},
        {"back to windowed", [] { return api().rendererToWindowed(state()); }, FULLSCREEN_BORDERLESS},
    };
    for (const Switch& step : switches) {
        if (step.modeAfter == FULLSCREEN_BORDERLESS) {
            ASSERT_TRUE(api().rendererToBorderlessWindow(state()));
            pumpMessages();
        }
        gClash = PixelFormatClash{true, false};
        EXPECT_FALSE(step.fails()) << step.what;
        pumpMessages();
        ASSERT_TRUE(gClash.set) << "no second pixel format to give the window " << step.what;
        EXPECT_EQ(backendWindowHandle(), nullptr) << step.what;
        EXPECT_EQ(state()->screenMode, step.modeAfter) << step.what;
        // The frame entry points go on without a window.
        api().beginFrameInRenderer(state());
        api().clearCurrentFrameBuffer(state());
        api().endFrameInRenderer(state());
        api().swapBuffersOnRenderer(state());

        ASSERT_TRUE(api().rendererToWindowed(state())) << "after the failed switch " << step.what;
        pumpMessages();
        ASSERT_NE(backendWindowHandle(), nullptr);
        api().beginFrameInRenderer(state());
        api().clearCurrentFrameBuffer(state());
        api().bindTextureInRenderer(state(), texture, 0);
        const float white[4] = {1, 1, 1, 1};
        drawPlaced(shader, -1, -1, 1, 1, 0, white);
        EXPECT_RGB(readPixel(static_cast<int32_t>(state()->width) / 2, static_cast<int32_t>(state()->height) / 2), 40,
                   180, 90)
            << "after the failed switch " << step.what;
        api().endFrameInRenderer(state());
        api().swapBuffersOnRenderer(state());
        pumpMessages();
    }
    ClipCursor(nullptr);

    ASSERT_TRUE(restartBackend());
    api().beginFrameInRenderer(state());
}

} // namespace
