// Start-up, the window, messages, the frame entry points and the render-state
// switches.
#include "tests/backends/backend_harness.h"

#include <string.h>
#include <wchar.h>

namespace {

DisplayResolution desktopSize() {
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    return DisplayResolution{mode.dmPelsWidth, mode.dmPelsHeight};
}

uint32_t desktopFrequency() {
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    return mode.dmDisplayFrequency;
}

using Lifecycle = BackendTest;

TEST_F(Lifecycle, OpensOneTitledWindowOfTheBackendClass) {
    HWND window = backendWindowHandle();
    ASSERT_NE(window, nullptr);
    wchar_t title[128] = {};
    GetWindowTextW(window, title, 128);
    EXPECT_STREQ(title, gBackend.openGL ? L"KV-QX12  (OpenGL3.0)" : L"KV-QX12  (DirectX12)");
    EXPECT_TRUE(IsWindowVisible(window));

    // The window part the program reads is the creation parameter, kept as user data.
    const BackendWindow* record = backendWindowRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->window, window);
    EXPECT_NE(record->deviceContext, nullptr);
    EXPECT_EQ(record->windowClass.cbSize, sizeof(WNDCLASSEXW));
    EXPECT_STREQ(record->windowClass.lpszClassName, L"TollanWindowClass");
    EXPECT_EQ(record->windowClass.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));

    // Windowed, client area as asked, centred on the screen.
    EXPECT_EQ(state()->screenMode, static_cast<uint32_t>(SCREEN_MODE_WINDOWED));
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 1280);
    EXPECT_EQ(client.bottom, 720);
    EXPECT_EQ(state()->width, 1280u);
    EXPECT_EQ(state()->height, 720u);
    EXPECT_EQ(state()->scissorLeft, 0);
    EXPECT_EQ(state()->scissorTop, 720);
    EXPECT_EQ(state()->scissorRight, 1280);
    EXPECT_EQ(state()->scissorBottom, 0);
    RECT outer = {};
    GetWindowRect(window, &outer);
    const DisplayResolution desktop = desktopSize();
    EXPECT_NEAR((outer.left + outer.right) / 2, static_cast<int32_t>(desktop.width / 2), 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, static_cast<int32_t>(desktop.height / 2), 1);

    // Before any display change the current mode is the desktop's.
    EXPECT_EQ(api().windowRefreshFrequencyInRenderer(state()), desktopFrequency());
    EXPECT_EQ(api().windowWidthInRenderer(state()), 1280u);
    EXPECT_EQ(api().windowHeightInRenderer(state()), 720u);
    EXPECT_GE(state()->monitorCount, 1u);
    ASSERT_NE(state()->monitorLabels, nullptr);
    EXPECT_STREQ(state()->monitorLabels[0], "1");
}

TEST_F(Lifecycle, ReportsItsLanguageLimitsAndUnitQuad) {
    EXPECT_STREQ(api().getShaderSourceFileExtensionInRenderer(), gBackend.openGL ? ".glsl" : ".hlsl");
    EXPECT_GE(api().getMaxTextureSizeInRenderer(state()), 4096u);
    EXPECT_NE(state()->quadVertexInput, RENDERER_INVALID_ID);
    EXPECT_NE(state()->quadIndexBuffer, RENDERER_INVALID_ID);
    EXPECT_NE(state()->internal, nullptr);
    for (const char* source : {api().defaultGUITextShaderSource(), api().defaultGUIColorShaderSource(),
                               api().defaultGUITransformedTextShaderSource(), api().defaultGUIImageShaderSource()}) {
        ASSERT_NE(source, nullptr);
        if (gBackend.openGL) {
            EXPECT_EQ(strncmp(source, "#version 130\n", 13), 0) << source;
        }
    }
}

TEST_F(Lifecycle, MessagesReachTheRegisteredProcedure) {
    EXPECT_GE(gWindowLog.creates, 1u);
    EXPECT_GE(gWindowLog.sizes, 1u);
    HWND window = backendWindowHandle();
    ASSERT_NE(window, nullptr);
    const uint32_t probes = gWindowLog.probes;
    EXPECT_EQ(SendMessageW(window, TEST_PROBE_MESSAGE, 11, 22), 0x5A);
    EXPECT_EQ(gWindowLog.probes, probes + 1);
    EXPECT_EQ(gWindowLog.lastProbeWParam, 11u);
    EXPECT_EQ(gWindowLog.lastProbeLParam, 22);
    PostMessageW(window, TEST_PROBE_MESSAGE, 33, 44);
    pumpMessages();
    EXPECT_EQ(gWindowLog.probes, probes + 2);
    EXPECT_EQ(gWindowLog.lastProbeWParam, 33u);
}

TEST_F(Lifecycle, DepthSwitchesReportTheirState) {
    EXPECT_TRUE(api().isDepthTestEnabledInRenderer(state()));
    EXPECT_TRUE(api().isDepthMaskEnabledInRenderer(state()));

    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    api().bindShaderInRenderer(state(), shader);
    api().enableDepthTestOnRenderer(state(), false);
    EXPECT_FALSE(api().isDepthTestEnabledInRenderer(state()));
    EXPECT_EQ(state()->currentShader, shader);
    api().enableDepthMaskOnRenderer(state(), false);
    EXPECT_FALSE(api().isDepthMaskEnabledInRenderer(state()));
    EXPECT_EQ(state()->currentShader, shader);
    api().enableDepthTestOnRenderer(state(), true);
    api().enableDepthMaskOnRenderer(state(), true);
    EXPECT_TRUE(api().isDepthTestEnabledInRenderer(state()));
    EXPECT_TRUE(api().isDepthMaskEnabledInRenderer(state()));
}

TEST_F(Lifecycle, ResizeCallbackWaitsForTheNextFrameAndTakesTheLastSize) {
    const uint32_t width = state()->width;
    const uint32_t height = state()->height;
    const uint32_t calls = gResizeLog.calls;
    api().resizeBackBuffersOnRenderer(state(), 640, 480);
    api().resizeBackBuffersOnRenderer(state(), 800, 600);
    EXPECT_EQ(gResizeLog.calls, calls);
    EXPECT_EQ(state()->width, 800u);
    EXPECT_EQ(state()->height, 600u);
    EXPECT_EQ(state()->scissorTop, 600);
    EXPECT_EQ(state()->scissorRight, 800);
    api().endFrameInRenderer(state());
    api().swapBuffersOnRenderer(state());
    api().beginFrameInRenderer(state());
    EXPECT_EQ(gResizeLog.calls, calls + 1);
    EXPECT_EQ(gResizeLog.width, 800);
    EXPECT_EQ(gResizeLog.height, 600);
    api().endFrameInRenderer(state());
    api().beginFrameInRenderer(state());
    EXPECT_EQ(gResizeLog.calls, calls + 1);

    api().resizeBackBuffersOnRenderer(state(), width, height);
    api().endFrameInRenderer(state());
    api().beginFrameInRenderer(state());
    EXPECT_EQ(gResizeLog.width, static_cast<int32_t>(width));
}

TEST_F(Lifecycle, MouseLockAndPosition) {
    HWND window = backendWindowHandle();
    ASSERT_NE(window, nullptr);
    api().lockMouseInsideRendererWindow(state(), true);
    EXPECT_EQ(backendWindowRecord()->mouseLocked, 1);
    api().lockMouseInsideRendererWindow(state(), false);
    EXPECT_EQ(backendWindowRecord()->mouseLocked, 0);

    api().lockMousePositionInRenderer(state(), 100, 50);
    POINT expected = {100, 50};
    ClientToScreen(window, &expected);
    POINT cursor = {};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, expected.x);
    EXPECT_EQ(cursor.y, expected.y);
}

// A fresh start in the same process, as after a failed first backend, needs the
// class and a context again.
TEST_F(Lifecycle, CleanupEndsTheWindowAndAStartAfterItWorks) {
    api().endFrameInRenderer(state());
    api().cleanupRenderer(state());
    pumpMessages();
    EXPECT_EQ(backendWindowHandle(), nullptr);
    EXPECT_EQ(state()->internal, nullptr);

    const uint32_t creates = gWindowLog.creates;
    WindowParameters parameters = {1280, 720, 32, 60, SCREEN_MODE_WINDOWED};
    gBackend.ready = api().initRenderer(state(), &parameters, "KV-QX12");
    pumpMessages();
    ASSERT_TRUE(gBackend.ready);
    EXPECT_EQ(gWindowLog.creates, creates + 1);
    ASSERT_NE(backendWindowHandle(), nullptr);
    api().beginFrameInRenderer(state());
    const float green[4] = {0, 1, 0, 1};
    api().clearColorBufferOnRenderer(state(), green);
    EXPECT_RGB(readPixel(5, 5), 0, 255, 0);
}

// A frame buffer record keeps its handle across cleanupRenderer and a new start,
// whose context hands out the same small names again. Such a record must not reach
// the frame buffer that now has its number: binding, clearing and destroying it leave
// that one alone, and re-creating it makes a frame buffer of its own.
TEST_F(Lifecycle, FrameBufferRecordsOfAnEarlierStartTakeNothingOver) {
    const float red[4] = {1, 0, 0, 1};
    const float green[4] = {0, 1, 0, 1};
    TextureDescription color = colorDescription(8, 8);
    TextureDescription* attachments[1] = {&color};
    api().endFrameInRenderer(state());
    ASSERT_TRUE(restartBackend());
    FrameBufferRecord* earlier = newTarget(8, 8);
    const uint32_t earlierHandle = earlier->handle;
    ASSERT_NE(earlierHandle, RENDERER_INVALID_ID);
    ASSERT_TRUE(restartBackend());
    api().beginFrameInRenderer(state());

    // Records of this start until one has the earlier record's number.
    FrameBufferRecord current[16] = {};
    uint32_t made = 0;
    FrameBufferRecord* twin = nullptr;
    while (!twin && made < 16) {
        FrameBufferRecord* record = &current[made++];
        record->handle = RENDERER_INVALID_ID;
        api().createFrameBufferInRenderer(state(), record, 8, 8, attachments, 1);
        if (record->handle == earlierHandle) twin = record;
    }
    ASSERT_NE(twin, nullptr) << "no frame buffer of this start has number " << earlierHandle;
    api().bindFrameBufferInRenderer(state(), twin);
    api().clearColorBufferOnRenderer(state(), red);
    api().unbindFrameBufferInRenderer(state(), twin);

    auto twinIsRed = [&](const char* after) {
        api().bindFrameBufferInRenderer(state(), twin);
        EXPECT_RGB(readPixel(4, 4), 255, 0, 0) << after;
        api().unbindFrameBufferInRenderer(state(), twin);
    };
    api().bindFrameBufferInRenderer(state(), earlier);
    api().clearColorBufferOnRenderer(state(), green);
    api().unbindFrameBufferInRenderer(state(), earlier);
    twinIsRed("binding the earlier record");
    api().clearFrameBufferInRenderer(state(), earlier);
    twinIsRed("clearing the earlier record");

    api().createFrameBufferInRenderer(state(), earlier, 8, 8, attachments, 1);
    EXPECT_NE(earlier->handle, twin->handle);
    api().bindFrameBufferInRenderer(state(), earlier);
    api().clearColorBufferOnRenderer(state(), green);
    EXPECT_RGB(readPixel(4, 4), 0, 255, 0);
    api().unbindFrameBufferInRenderer(state(), earlier);
    twinIsRed("re-creating the earlier record");
    // Re-created again, it keeps the frame buffer it has now.
    const uint32_t own = earlier->handle;
    api().createFrameBufferInRenderer(state(), earlier, 8, 8, attachments, 1);
    EXPECT_EQ(earlier->handle, own);
    api().destroyFrameBufferInRenderer(state(), earlier);
    twinIsRed("destroying the earlier record");

    // A stale record destroyed before any re-creation deletes nothing either.
    FrameBufferRecord stale = {};
    stale.handle = twin->handle;
    api().destroyFrameBufferInRenderer(state(), &stale);
    twinIsRed("destroying a copy of its number");
    for (uint32_t i = 0; i < made; ++i) api().destroyFrameBufferInRenderer(state(), &current[i]);
}

} // namespace
