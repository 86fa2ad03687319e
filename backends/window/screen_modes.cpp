// The three screen-mode switches. Every switch that replaces the window relies on
// the window-created hook to put the one GL context on the new window, so textures,
// buffers and programs survive it.
#include "backends/window/backend_display.h"
#include "backends/window/backend_exports.h"
#include "backends/window/display_modes.h"

bool rendererToFullscreen(RendererState* state) {
    BackendDisplay* display = backendDisplay(state);
    if (!display) return false;
    if (state->screenMode == SCREEN_MODE_FULLSCREEN) return true;
    const uint32_t previous = state->screenMode;
    state->screenMode = SCREEN_MODE_FULLSCREEN;

    // Fullscreen keeps the desktop's resolution and rate.
    wchar_t device[DISPLAY_DEVICE_NAME_CAPACITY];
    DisplayMode current = {};
    if (!primaryDisplayDevice(device) || !readCurrentDisplayMode(device, &current)) {
        state->screenMode = previous;
        return false;
    }
    DisplayModeList primary;
    enumeratePrimaryDisplayModes(&primary);
    buildResolutionList(state, primary.modes, primary.count);
    if (findMode(primary.modes, primary.count, current.width, current.height, current.bitsPerPixel,
                 current.frequency) >= 0) {
        int32_t resolution = findResolution(state, current.width, current.height);
        if (resolution >= 0) state->currentResolution = static_cast<uint32_t>(resolution);
    }
    buildFrequencyList(state, primary.modes, primary.count);
    releaseDisplayModeList(&primary);

    if (!changeDisplayMode(current)) {
        state->screenMode = previous;
        return false;
    }
    int32_t frequency = findFrequency(state, current.frequency);
    state->currentFrequency = frequency >= 0 ? static_cast<uint32_t>(frequency) : 0;
    return recreateWindowForMode(&display->window, current);
}

bool rendererToBorderlessWindow(RendererState* state) {
    BackendDisplay* display = backendDisplay(state);
    if (!display) return false;
    if (state->screenMode == FULLSCREEN_BORDERLESS) return true;
    BackendWindow& window = display->window;

    if (state->screenMode == SCREEN_MODE_FULLSCREEN) {
        if (!restoreDesktopDisplayMode()) showDisplayModeFailed();
        const WindowStyle& style = kWindowStyles[WINDOW_STYLE_BORDERLESS_AFTER_FULLSCREEN];
        AdjustWindowRectEx(&window.windowRect, style.style, FALSE, style.adjustExtendedStyle);
        destroyBackendWindow(&window);
        if (!createBackendWindow(&window, BACKEND_RUNTIME_WINDOW_TITLE, style.style, style.extendedStyle,
                                 CW_USEDEFAULT, CW_USEDEFAULT))
            return false;
    } else {
        // The window becomes borderless on the monitor that shows most of it.
        int32_t monitor = monitorUnderWindow(state, display);
        if (monitor >= 0) state->currentMonitor = static_cast<uint32_t>(monitor);
        getAvailableRendererResolutions(state);
        const MONITORINFOEXW* covered = currentMonitor(state, display);
        if (covered && window.window) {
            const RECT& area = covered->rcMonitor;
            window.windowRect = RECT{0, 0, area.right - area.left, area.bottom - area.top};
            SetWindowLongPtrW(window.window, GWL_STYLE,
                              static_cast<LONG_PTR>(kWindowStyles[WINDOW_STYLE_BORDERLESS_FROM_WINDOWED].style));
            SetWindowPos(window.window, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                         SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
        }
    }

    selectCurrentModeOfMonitor(state, display, nullptr);
    state->screenMode = FULLSCREEN_BORDERLESS;
    return clipCursorToMonitor(display, currentMonitor(state, display));
}

bool rendererToWindowed(RendererState* state) {
    BackendDisplay* display = backendDisplay(state);
    if (!display || state->screenMode == SCREEN_MODE_WINDOWED) return false;
    BackendWindow& window = display->window;
    if (state->screenMode == SCREEN_MODE_FULLSCREEN && !restoreDesktopDisplayMode()) showDisplayModeFailed();

    const WindowStyle& style = kWindowStyles[WINDOW_STYLE_WINDOWED];
    AdjustWindowRectEx(&window.windowRect, style.style, FALSE, style.adjustExtendedStyle);
    const MONITORINFOEXW* monitor = currentMonitor(state, display);
    int32_t x = monitor ? monitor->rcMonitor.left : 0;
    int32_t y = monitor ? monitor->rcMonitor.top : 0;
    destroyBackendWindow(&window);
    if (!createBackendWindow(&window, BACKEND_RUNTIME_WINDOW_TITLE, style.style, style.extendedStyle, x, y))
        return false;
    // The borderless and fullscreen clip would otherwise keep the cursor on the old
    // area of the screen.
    if (!window.mouseLocked) ClipCursor(nullptr);
    state->screenMode = SCREEN_MODE_WINDOWED;
    return true;
}
