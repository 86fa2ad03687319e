// Screen-mode switches, display-mode lists and monitor changes on the display Wine
// offers. GPU objects made before the switches must still draw after them.
#include "tests/backends/backend_harness.h"

#include <stdio.h>
#include <wchar.h>
#include <string>
#include <vector>

namespace {

const float kRed[4] = {1, 0, 0, 1};

// The display modes of the primary device, as the system reports them.
struct Mode {
    uint32_t width, height, frequency;
};
std::vector<Mode> primaryModes() {
    DISPLAY_DEVICEW device = {};
    device.cb = sizeof(device);
    std::vector<Mode> modes;
    if (!EnumDisplayDevicesW(nullptr, 0, &device, 0)) return modes;
    DEVMODEW settings = {};
    settings.dmSize = sizeof(settings);
    for (DWORD i = 0; EnumDisplaySettingsW(device.DeviceName, i, &settings); ++i)
        modes.push_back(Mode{settings.dmPelsWidth, settings.dmPelsHeight, settings.dmDisplayFrequency});
    return modes;
}

std::wstring windowTitle() {
    wchar_t title[128] = {};
    GetWindowTextW(backendWindowHandle(), title, 128);
    return title;
}

DEVMODEW desktopMode() {
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    return mode;
}

// Watches for a message box from another thread, reads its text and presses OK.
struct MessageBoxWatch {
    HANDLE thread;
    volatile LONG seen;
    wchar_t text[128];
};

BOOL CALLBACK collectStaticText(HWND child, LPARAM data) {
    MessageBoxWatch* watch = reinterpret_cast<MessageBoxWatch*>(data);
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (_wcsicmp(className, L"Static") == 0) {
        wchar_t text[128] = {};
        GetWindowTextW(child, text, 128);
        if (text[0]) wcsncpy(watch->text, text, 127);
    }
    return TRUE;
}

// The box exists before its text is set: the text is read until it shows (or a
// bound passes), then the box is dismissed.
DWORD WINAPI watchForMessageBox(void* data) {
    MessageBoxWatch* watch = static_cast<MessageBoxWatch*>(data);
    for (int i = 0; i < 200; ++i) {
        HWND box = FindWindowW(L"#32770", nullptr);
        if (box) {
            for (int attempt = 0; attempt < 100 && !watch->text[0]; ++attempt) {
                EnumChildWindows(box, collectStaticText, reinterpret_cast<LPARAM>(watch));
                if (!watch->text[0]) Sleep(20);
            }
            InterlockedExchange(&watch->seen, 1);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(50);
    }
    return 0;
}

// Whether the primary device lists a mode of that size, depth and rate; a display
// refuses a mode it does not list.
bool displayListsMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t frequency) {
    DEVMODEW settings = {};
    settings.dmSize = sizeof(settings);
    for (DWORD i = 0; EnumDisplaySettingsW(nullptr, i, &settings); ++i) {
        if (settings.dmPelsWidth == width && settings.dmPelsHeight == height && settings.dmBitsPerPel == bitsPerPixel &&
            settings.dmDisplayFrequency == frequency)
            return true;
        settings.dmSize = sizeof(settings);
    }
    return false;
}

// Whether the cursor may go anywhere on the desktop.
bool cursorIsFree() {
    RECT clip = {};
    GetClipCursor(&clip);
    return clip.left == GetSystemMetrics(SM_XVIRTUALSCREEN) && clip.top == GetSystemMetrics(SM_YVIRTUALSCREEN) &&
           clip.right - clip.left == GetSystemMetrics(SM_CXVIRTUALSCREEN) &&
           clip.bottom - clip.top == GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

// Clips the cursor as the program does on a button press; false when the system
// did not take the clip.
bool clipCursorTo(const RECT& area) {
    ClipCursor(&area);
    RECT clip = {};
    GetClipCursor(&clip);
    return EqualRect(&clip, &area) != 0;
}

using ScreenModes = BackendTest;

TEST_F(ScreenModes, BorderlessAndFullscreenStarts) {
    const DEVMODEW desktop = desktopMode();
    api().endFrameInRenderer(state());

    // Borderless covers the desktop whatever size was asked for.
    WindowParameters borderless = {1280, 720, 32, 60, FULLSCREEN_BORDERLESS};
    ASSERT_TRUE(restartBackend(&borderless));
    EXPECT_EQ(state()->screenMode, static_cast<uint32_t>(FULLSCREEN_BORDERLESS));
    EXPECT_EQ(state()->width, desktop.dmPelsWidth);
    EXPECT_EQ(state()->height, desktop.dmPelsHeight);
    ASSERT_GT(state()->resolutionCount, 0u);
    ASSERT_LT(state()->currentResolution, state()->resolutionCount);
    EXPECT_EQ(state()->resolutions[state()->currentResolution].width, desktop.dmPelsWidth);
    ASSERT_GT(state()->frequencyCount, 0u);
    EXPECT_EQ(state()->frequencies[state()->currentFrequency], desktop.dmDisplayFrequency);
    EXPECT_EQ(api().windowRefreshFrequencyInRenderer(state()), desktop.dmDisplayFrequency);

    // A cursor clip left in borderless mode (the program clips on a button press and
    // keeps the clip outside windowed mode) ends with the window. Wine drops a clip by
    // itself when a shown window of the thread is hidden or destroyed, so the backend
    // window is hidden before the clip and another window is in front: only
    // cleanupRenderer can release it then.
    HWND front = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 16, 16, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(front, nullptr);
    ShowWindow(backendWindowHandle(), SW_HIDE);
    SetForegroundWindow(front);
    pumpMessages();
    const RECT corner = {10, 10, 200, 100};
    const bool clipped = clipCursorTo(corner);
    api().cleanupRenderer(state());
    pumpMessages();
    const bool freed = cursorIsFree();
    DestroyWindow(front);
    ClipCursor(nullptr);
    EXPECT_TRUE(clipped) << "the system did not take the clip";
    EXPECT_TRUE(freed) << "the borderless window's cursor clip outlived it";

    // Fullscreen in the desktop's own mode records the mode it set.
    WindowParameters fullscreen = {desktop.dmPelsWidth, desktop.dmPelsHeight, desktop.dmBitsPerPel,
                                   desktop.dmDisplayFrequency, SCREEN_MODE_FULLSCREEN};
    gBackend.ready = api().initRenderer(state(), &fullscreen, "KV-QX12");
    pumpMessages();
    ASSERT_TRUE(gBackend.ready);
    EXPECT_EQ(state()->screenMode, static_cast<uint32_t>(SCREEN_MODE_FULLSCREEN));
    EXPECT_EQ(state()->width, desktop.dmPelsWidth);
    EXPECT_EQ(backendWindowRecord()->bitsPerPixel, desktop.dmBitsPerPel);
    EXPECT_TRUE(api().rendererToFullscreen(state()));

    // A mode the display does not list is refused: "Display mode failed", then a
    // windowed start at the size asked for.
    WindowParameters refused = {1234, 567, 32, 61, SCREEN_MODE_FULLSCREEN};
    const bool listed = displayListsMode(refused.width, refused.height, refused.bitsPerPixel, refused.refreshRate);
    MessageBoxWatch watch = {};
    watch.thread = CreateThread(nullptr, 0, watchForMessageBox, &watch, 0, nullptr);
    const bool started = restartBackend(&refused);
    WaitForSingleObject(watch.thread, 15000);
    CloseHandle(watch.thread);
    EXPECT_TRUE(started);
    if (!listed) {
        EXPECT_TRUE(watch.seen) << "no message box for a mode the display does not list";
        EXPECT_STREQ(watch.text, L"Display mode failed");
        EXPECT_EQ(state()->screenMode, static_cast<uint32_t>(SCREEN_MODE_WINDOWED));
        EXPECT_EQ(state()->width, 1234u);
    } else if (watch.seen) {
        // A listed mode may still be refused; the fallback is the same.
        EXPECT_STREQ(watch.text, L"Display mode failed");
        EXPECT_EQ(state()->screenMode, static_cast<uint32_t>(SCREEN_MODE_WINDOWED));
    } else {
        EXPECT_EQ(state()->screenMode, static_cast<uint32_t>(SCREEN_MODE_FULLSCREEN));
    }

    ASSERT_TRUE(restartBackend());
    api().beginFrameInRenderer(state());
}

TEST_F(ScreenModes, ResolutionAndFrequencyNamesFromTheDisplayModes) {
    const std::vector<Mode> modes = primaryModes();
    ASSERT_FALSE(modes.empty());
    std::vector<std::string> names;
    std::vector<Mode> sizes;
    for (const Mode& mode : modes) {
        bool listed = false;
        for (const Mode& size : sizes) listed = listed || (size.width == mode.width && size.height == mode.height);
        if (listed) continue;
        sizes.push_back(mode);
        char name[32];
        snprintf(name, sizeof(name), "%u x %u", mode.width, mode.height);
        names.push_back(name);
    }
    api().getAvailableRendererResolutions(state());
    ASSERT_EQ(state()->resolutionCount, names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_STREQ(state()->resolutionLabels[i], names[i].c_str());
        EXPECT_EQ(state()->resolutions[i].width, sizes[i].width);
        EXPECT_EQ(state()->resolutions[i].height, sizes[i].height);
    }

    state()->currentResolution = 0;
    api().getAvailableRendererFrequenciesForResolution(state());
    std::vector<std::string> frequencies;
    for (const Mode& mode : modes) {
        if (mode.width != sizes[0].width || mode.height != sizes[0].height) continue;
        char name[16];
        snprintf(name, sizeof(name), "%u", mode.frequency);
        bool listed = false;
        for (const std::string& f : frequencies) listed = listed || f == name;
        if (!listed) frequencies.push_back(name);
    }
    ASSERT_EQ(state()->frequencyCount, frequencies.size());
    for (size_t i = 0; i < frequencies.size(); ++i) EXPECT_STREQ(state()->frequencyLabels[i], frequencies[i].c_str());

    // Choices that name no entry are refused.
    EXPECT_FALSE(api().setDisplayResolutionInRenderer(state(), -1));
    EXPECT_FALSE(api().setDisplayResolutionInRenderer(state(), static_cast<int32_t>(state()->resolutionCount)));
    EXPECT_FALSE(api().setDisplayFrequencyInRenderer(state(), static_cast<int32_t>(state()->frequencyCount)));
    EXPECT_FALSE(api().setMonitorInRenderer(state(), state()->monitorCount));
}

TEST_F(ScreenModes, SwitchesKeepEveryObjectDrawing) {
    REQUIRE_TEST_SHADER(TEST_SHADER_PLACED);
    // Objects made before the switches.
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_PLACED), 0, kPlacedUniforms, 4));
    const uint32_t texture = solidTexture(40, 180, 90, 255);
    const uint32_t whiteTexture = solidTexture(255, 255, 255, 255);
    const float corners[4 * 11] = {0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0,
                                   1, 0, 0, 1, 0, 1, 1, 1, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0};
    const uint32_t indices[6] = {0, 2, 1, 1, 2, 3};
    const uint32_t input = api().createVertexInputBufferInRenderer(state(), 4, corners, 0);
    const uint32_t index = api().createIndexBufferInRendererWithData(state(), 6, indices);
    FrameBufferRecord* target = newTarget(16, 16);
    api().endFrameInRenderer(state());

    auto drawsEverything = [&](const char* when) {
        api().beginFrameInRenderer(state());
        const float white[4] = {1, 1, 1, 1};
        const float area[4] = {-1, -1, 1, 1};
        api().bindFrameBufferInRenderer(state(), target);
        api().clearCurrentFrameBuffer(state());
        api().bindShaderInRenderer(state(), shader);
        api().bindTextureInRenderer(state(), texture, 0);
        api().sendVector4DToShaderInRenderer(state(), shader, "area", area);
        api().sendFloatToShaderInRenderer(state(), shader, "depth", 0);
        api().sendVector4DToShaderInRenderer(state(), shader, "tint", white);
        api().sendVector2DToShaderInRenderer(state(), shader, "uvScale", RendererVector2{1, 1});
        api().drawIndexedInRenderer(state(), shader, index, input);
        EXPECT_RGB(readPixel(8, 8), 40, 180, 90) << when;
        api().unbindFrameBufferInRenderer(state(), target);
        // The back buffer of the current window, at its current size.
        api().clearCurrentFrameBuffer(state());
        api().bindTextureInRenderer(state(), whiteTexture, 0);
        drawPlaced(shader, -1, -1, 1, 1, 0, kRed);
        EXPECT_RGB(readPixel(static_cast<int32_t>(state()->width) / 2, static_cast<int32_t>(state()->height) / 2),
                   255, 0, 0)
            << when;
        api().endFrameInRenderer(state());
        api().swapBuffersOnRenderer(state());
        pumpMessages();
    };
    drawsEverything("windowed");

    EXPECT_EQ(state()->screenMode, static_cast<uint32_t>(SCREEN_MODE_WINDOWED));
    EXPECT_FALSE(api().rendererToWindowed(state()));
    EXPECT_EQ(state()->screenMode, static_cast<uint32_t>(SCREEN_MODE_WINDOWED));

    EXPECT_TRUE(api().rendererToBorderlessWindow(state()));
    pumpMessages();
    EXPECT_EQ(state()->screenMode, static_cast<uint32_t>(FULLSCREEN_BORDERLESS));
    RECT placed = {};
    GetWindowRect(backendWindowHandle(), &placed);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.top, 0);
    EXPECT_EQ(static_cast<uint32_t>(placed.right), static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(state()->width, static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_TRUE(api().rendererToBorderlessWindow(state()));
    drawsEverything("borderless");

    const uint32_t creates = gWindowLog.creates;
    EXPECT_TRUE(api().rendererToWindowed(state()));
    pumpMessages();
    EXPECT_EQ(state()->screenMode, static_cast<uint32_t>(SCREEN_MODE_WINDOWED));
    EXPECT_EQ(gWindowLog.creates, creates + 1); // a new window, announced to the program
    EXPECT_EQ(windowTitle(), L"KV2018 Tollan & Wexley");
    drawsEverything("windowed again");

    // Fullscreen keeps the desktop's mode, which this display accepts.
    EXPECT_TRUE(api().rendererToFullscreen(state()));
    pumpMessages();
    EXPECT_EQ(state()->screenMode, static_cast<uint32_t>(SCREEN_MODE_FULLSCREEN));
    EXPECT_TRUE(api().rendererToFullscreen(state()));
    EXPECT_EQ(state()->width, static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN)));
    ASSERT_LT(state()->currentResolution, state()->resolutionCount);
    EXPECT_EQ(state()->resolutions[state()->currentResolution].width,
              static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN)));
    drawsEverything("fullscreen");
    EXPECT_TRUE(api().rendererToBorderlessWindow(state()));
    pumpMessages();
    EXPECT_EQ(state()->screenMode, static_cast<uint32_t>(FULLSCREEN_BORDERLESS));
    drawsEverything("borderless after fullscreen");
    EXPECT_TRUE(api().rendererToWindowed(state()));
    pumpMessages();
    drawsEverything("windowed at the end");

    // The monitor change covers the monitor with the window.
    EXPECT_TRUE(api().setMonitorInRenderer(state(), 0));
    pumpMessages();
    GetWindowRect(backendWindowHandle(), &placed);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.top, 0);
    drawsEverything("after the monitor change");
    ClipCursor(nullptr);

    // Display-mode changes to the mode the display has re-create the window for it.
    api().getAvailableRendererResolutions(state());
    const int32_t desktop = [] {
        for (uint32_t i = 0; i < state()->resolutionCount; ++i)
            if (state()->resolutions[i].width == static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN)) &&
                state()->resolutions[i].height == static_cast<uint32_t>(GetSystemMetrics(SM_CYSCREEN)))
                return static_cast<int32_t>(i);
        return -1;
    }();
    ASSERT_GE(desktop, 0);
    EXPECT_TRUE(api().setDisplayResolutionInRenderer(state(), desktop));
    pumpMessages();
    EXPECT_EQ(state()->currentResolution, static_cast<uint32_t>(desktop));
    ASSERT_GT(state()->frequencyCount, 0u);
    EXPECT_EQ(windowTitle(), L"KV2018 Tollan & Wexley");
    EXPECT_EQ(state()->width, static_cast<uint32_t>(GetSystemMetrics(SM_CXSCREEN)));
    drawsEverything("after the resolution change");
    EXPECT_TRUE(api().setDisplayFrequencyInRenderer(state(), 0));
    pumpMessages();
    EXPECT_EQ(state()->currentFrequency, 0u);
    drawsEverything("after the frequency change");

    // The other tests expect the window of a fresh start.
    ASSERT_TRUE(restartBackend());
    api().beginFrameInRenderer(state());
}

} // namespace
