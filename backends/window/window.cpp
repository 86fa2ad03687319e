#include "backends/window/backend_display.h"
#include "backends/window/backend_exports.h"
#include "backends/window/display_mode_lists.h"
#include "backends/window/display_modes.h"

#include <stdio.h>
#include <string.h>

const WindowStyle kWindowStyles[WINDOW_STYLE_USE_COUNT] = {
    // initial windowed
    {WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE,
     WS_EX_APPWINDOW | WS_EX_WINDOWEDGE},
    // initial borderless
    {WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE,
     WS_EX_APPWINDOW | WS_EX_WINDOWEDGE},
    // initial fullscreen
    {WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_APPWINDOW, WS_EX_APPWINDOW},
    // fullscreen and display-mode changes at run time
    {WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, WS_EX_APPWINDOW},
    // back to windowed
    {WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE},
    // borderless after fullscreen
    {WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU, 0, 0},
    // borderless from windowed
    {WS_POPUP | WS_VISIBLE | WS_SYSMENU, 0, 0},
};

namespace {

const wchar_t kWindowClassName[] = L"TollanWindowClass";

// Process-wide, like the window class they serve.
WindowProcedure gProgramProcedure;
WindowCreatedHook gCreatedHook;
WindowReplacedHook gBeforeDestroyHook;
WindowReplacedHook gAfterCreateHook;

} // namespace

void registerWndProc(WindowProcedure procedure) { gProgramProcedure = procedure; }

void setWindowCreatedHook(WindowCreatedHook hook) { gCreatedHook = hook; }

void setWindowReplacementHooks(WindowReplacedHook beforeDestroy, WindowReplacedHook afterCreate) {
    gBeforeDestroyHook = beforeDestroy;
    gAfterCreateHook = afterCreate;
}

LRESULT CALLBACK backendWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const CREATESTRUCTW* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        BackendWindow* record = static_cast<BackendWindow*>(creation->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
        if (record) {
            record->window = window;
            // A window refused here never reaches the program's WM_CREATE.
            if (gCreatedHook && !gCreatedHook(record, window)) return -1;
        }
    } else if (!GetWindowLongPtrW(window, GWLP_USERDATA)) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (!gProgramProcedure) return DefWindowProcW(window, message, wParam, lParam);
    return static_cast<LRESULT>(gProgramProcedure(window, message, wParam, lParam));
}

void makeWindowTitle(wchar_t* out, uint32_t capacity, const char* title, const char* suffix) {
    char text[128];
    snprintf(text, sizeof(text), "%s %s %s", title ? title : "", "", suffix ? suffix : "");
    out[0] = 0;
    if (capacity == 0) return;
    int written = MultiByteToWideChar(CP_UTF8, 0, text, -1, out, static_cast<int>(capacity));
    if (written <= 0) out[0] = 0;
    out[capacity - 1] = 0;
}

bool registerBackendWindowClass(BackendWindow* record, WNDPROC procedure) {
    WNDCLASSEXW& windowClass = record->windowClass;
    memset(&windowClass, 0, sizeof(windowClass));
    windowClass.cbSize = sizeof(WNDCLASSEXW);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = record->instance;
    windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kWindowClassName;
    windowClass.hIconSm = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_WINLOGO));

    // Both libraries register the class on the program's module, so a first backend
    // that failed and was unloaded may have left it behind, pointing into code that is
    // gone.
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(record->instance, kWindowClassName, &existing)) {
        if (existing.lpfnWndProc == procedure) return true;
        UnregisterClassW(kWindowClassName, record->instance);
    }
    return RegisterClassExW(&windowClass) != 0;
}

void unregisterBackendWindowClass(BackendWindow* record) { UnregisterClassW(kWindowClassName, record->instance); }

bool createBackendWindow(BackendWindow* record, const wchar_t* title, DWORD style, DWORD extendedStyle, int32_t x,
                         int32_t y) {
    record->window = nullptr;
    record->deviceContext = nullptr;
    HWND window = CreateWindowExW(extendedStyle, kWindowClassName, title, style, x, y, windowRectWidth(record),
                                  windowRectHeight(record), nullptr, nullptr, record->instance, record);
    if (!window) {
        record->window = nullptr;
        record->deviceContext = nullptr;
        return false;
    }
    record->window = window;
    // The created hook may already hold a device context of this window (the OpenGL
    // context is current on it); a second GetDC could hand out another one.
    if (!record->deviceContext || WindowFromDC(record->deviceContext) != window) record->deviceContext = GetDC(window);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    if (gAfterCreateHook) gAfterCreateHook(record);
    return true;
}

void destroyBackendWindow(BackendWindow* record) {
    if (!record->window) return;
    if (gBeforeDestroyHook) gBeforeDestroyHook(record);
    if (record->deviceContext) ReleaseDC(record->window, record->deviceContext);
    DestroyWindow(record->window);
    record->window = nullptr;
    record->deviceContext = nullptr;
}

bool openFirstWindow(BackendWindow* record, const WindowParameters* parameters, const char* title,
                     const char* titleSuffix, WNDPROC procedure, uint32_t* screenMode) {
    uint32_t mode = parameters->screenMode <= SCREEN_MODE_FULLSCREEN ? parameters->screenMode : SCREEN_MODE_WINDOWED;
    uint32_t width = parameters->width;
    uint32_t height = parameters->height;

    wchar_t device[DISPLAY_DEVICE_NAME_CAPACITY];
    DisplayMode desktop = {};
    bool haveDesktop = primaryDisplayDevice(device) && readCurrentDisplayMode(device, &desktop);
    if (mode == FULLSCREEN_BORDERLESS && haveDesktop) {
        width = desktop.width;
        height = desktop.height;
    }
    record->windowRect = RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};

    if (!registerBackendWindowClass(record, procedure)) {
        MessageBoxA(nullptr, "Unable to create the Window: Could not register the window class", "An error occurred",
                    MB_ICONERROR);
        return false;
    }

    // Until a display mode is set, the current one is the desktop's.
    record->bitsPerPixel = desktop.bitsPerPixel;
    record->refreshRate = desktop.frequency;
    if (mode == SCREEN_MODE_FULLSCREEN) {
        DisplayMode wanted = {width, height, parameters->bitsPerPixel, parameters->refreshRate};
        if (changeDisplayMode(wanted)) {
            record->bitsPerPixel = wanted.bitsPerPixel;
            record->refreshRate = wanted.frequency;
        } else {
            showDisplayModeFailed();
            mode = SCREEN_MODE_WINDOWED;
        }
    }

    const WindowStyle& style = kWindowStyles[mode == SCREEN_MODE_WINDOWED      ? WINDOW_STYLE_INITIAL_WINDOWED
                                             : mode == FULLSCREEN_BORDERLESS ? WINDOW_STYLE_INITIAL_BORDERLESS
                                                                             : WINDOW_STYLE_INITIAL_FULLSCREEN];
    AdjustWindowRectEx(&record->windowRect, style.style, FALSE, style.adjustExtendedStyle);
    int32_t x = 0;
    int32_t y = 0;
    if (mode == SCREEN_MODE_WINDOWED) {
        x = GetSystemMetrics(SM_CXSCREEN) / 2 - windowRectWidth(record) / 2;
        y = GetSystemMetrics(SM_CYSCREEN) / 2 - windowRectHeight(record) / 2;
    }

    wchar_t text[128];
    makeWindowTitle(text, 128, title, titleSuffix);
    if (!createBackendWindow(record, text, style.style, style.extendedStyle, x, y)) {
        MessageBoxA(nullptr, "Unable to create the Window", "An error occurred", MB_ICONERROR);
        return false;
    }
    *screenMode = mode;
    return true;
}

bool recreateWindowForMode(BackendWindow* record, const DisplayMode& mode) {
    const WindowStyle& style = kWindowStyles[WINDOW_STYLE_FULLSCREEN];
    record->windowRect = RECT{0, 0, static_cast<LONG>(mode.width), static_cast<LONG>(mode.height)};
    AdjustWindowRectEx(&record->windowRect, style.style, FALSE, style.adjustExtendedStyle);
    record->bitsPerPixel = mode.bitsPerPixel;
    record->refreshRate = mode.frequency;
    destroyBackendWindow(record);
    return createBackendWindow(record, BACKEND_RUNTIME_WINDOW_TITLE, style.style, style.extendedStyle, CW_USEDEFAULT,
                               CW_USEDEFAULT);
}

void showDisplayModeFailed() { MessageBoxW(nullptr, L"Display mode failed", nullptr, MB_OK); }

uint32_t windowWidthInRenderer(RendererState* state) {
    BackendDisplay* display = backendDisplay(state);
    return display ? static_cast<uint32_t>(windowRectWidth(&display->window)) : 0;
}

uint32_t windowHeightInRenderer(RendererState* state) {
    BackendDisplay* display = backendDisplay(state);
    return display ? static_cast<uint32_t>(windowRectHeight(&display->window)) : 0;
}

uint32_t windowRefreshFrequencyInRenderer(RendererState* state) {
    BackendDisplay* display = backendDisplay(state);
    return display ? display->window.refreshRate : 0;
}

void lockMouseInsideRendererWindow(RendererState* state, bool lock) {
    BackendDisplay* display = backendDisplay(state);
    if (!display) return;
    display->window.mouseLocked = lock ? 1 : 0;
    if (!lock) ClipCursor(nullptr);
}

void lockMousePositionInRenderer(RendererState* state, int32_t x, int32_t y) {
    BackendDisplay* display = backendDisplay(state);
    if (!display || !display->window.window) return;
    POINT point = {x, y};
    ClientToScreen(display->window.window, &point);
    SetCursorPos(point.x, point.y);
}

void leaveScreenModeForCleanup(RendererState* state) {
    if (state->screenMode == SCREEN_MODE_FULLSCREEN) {
        restoreDesktopDisplayMode();
        ShowCursor(TRUE);
    }
    // Borderless and fullscreen windows keep the cursor clipped to their area (the
    // switches and the program's button handling both clip there).
    ClipCursor(nullptr);
}

void closeWindowForCleanup(RendererState* state, BackendWindow* record) {
    destroyBackendWindow(record);
    unregisterBackendWindowClass(record);
    releaseDisplayLists(state);
    buildMonitorLabels(state, 0);
}
