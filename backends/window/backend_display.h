// The window and display part that both backend libraries keep in their private
// record, and the window code they share (window.cpp, display_modes.cpp). No
// graphics interface appears here: the OpenGL library hooks its context set-up into
// window creation, the Direct3D 12 library its swap chain into window replacement.
#pragma once

#include "backend/backend_window.h"
#include "backend/renderer_types.h"
#include "backends/window/display_mode_lists.h"

struct BackendDisplay {
    BackendWindow window;      // its address is the creation parameter of every window
    MONITORINFOEXW* monitors;  // RendererState::monitorCount entries, in enumeration order
};

// Each library defines this: the display part of the private record hung on the
// state, or null before initRenderer made one.
BackendDisplay* backendDisplay(RendererState* state);

// Window styles, one row per use (style, extended style, extended style the
// rectangle is adjusted with).
struct WindowStyle {
    DWORD style;
    DWORD extendedStyle;
    DWORD adjustExtendedStyle;
};

enum WindowStyleUse {
    WINDOW_STYLE_INITIAL_WINDOWED = 0,
    WINDOW_STYLE_INITIAL_BORDERLESS,
    WINDOW_STYLE_INITIAL_FULLSCREEN,
    WINDOW_STYLE_FULLSCREEN,               // fullscreen and display-mode changes at run time
    WINDOW_STYLE_WINDOWED,                 // back to windowed
    WINDOW_STYLE_BORDERLESS_AFTER_FULLSCREEN,
    WINDOW_STYLE_BORDERLESS_FROM_WINDOWED, // changed in place, extended style unchanged
    WINDOW_STYLE_USE_COUNT
};

extern const WindowStyle kWindowStyles[WINDOW_STYLE_USE_COUNT];

// The title of windows re-created at run time.
#define BACKEND_RUNTIME_WINDOW_TITLE L"KV2018 Tollan & Wexley"

// Called at WM_CREATE of every backend window, before the program's procedure sees
// the message, with the window part already stored in the window's user data. The
// OpenGL library creates or re-attaches its context here; null for none. False
// refuses the window: CreateWindowExW then fails, and so does the caller's switch.
typedef bool (*WindowCreatedHook)(BackendWindow* record, HWND window);

// Called around the windows the backend makes: before one is destroyed and after
// one was created (not when creation failed). The Direct3D 12 library lets go of its
// swap chain before a screen-mode switch destroys the window it presents to, and
// builds one on the new window; null for none.
typedef void (*WindowReplacedHook)(BackendWindow* record);
void setWindowReplacementHooks(WindowReplacedHook beforeDestroy, WindowReplacedHook afterCreate);

// The window procedure of the backend window class: stores the creation parameter at
// WM_CREATE, runs the hook (answering -1 when it refuses the window), and forwards
// every message to the procedure the program registered (DefWindowProcW until a
// window has its user data, or when the program registered none).
LRESULT CALLBACK backendWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void setWindowCreatedHook(WindowCreatedHook hook);

// "<title>  <suffix>" as UTF-16, at most 128 characters with the terminator.
void makeWindowTitle(wchar_t* out, uint32_t capacity, const char* title, const char* suffix);

// Registers "TollanWindowClass" with the procedure into record->windowClass. A class
// of that name left registered with this procedure is reused; one left by a library
// that was unloaded since (a failed first backend) is replaced.
bool registerBackendWindowClass(BackendWindow* record, WNDPROC procedure);
void unregisterBackendWindowClass(BackendWindow* record);

// Creates a window of the class with the window part as parameter, keeps its handle
// and device context, shows and updates it. Returns the UpdateWindow result, or false
// when the window could not be created (record->window is then null).
bool createBackendWindow(BackendWindow* record, const wchar_t* title, DWORD style, DWORD extendedStyle, int32_t x,
                         int32_t y);

// Releases the device context and destroys the window.
void destroyBackendWindow(BackendWindow* record);

// Start-up: reads the desktop mode, registers the class, changes the display for a
// fullscreen request (falling back to windowed with "Display mode failed"), sizes,
// places, titles and creates the first window, with the message boxes of a failed
// registration or creation. Writes the screen mode it ended up in.
bool openFirstWindow(BackendWindow* record, const WindowParameters* parameters, const char* title,
                     const char* titleSuffix, WNDPROC procedure, uint32_t* screenMode);

// Re-creates the window as a popup for a display mode that has just been set: the
// rectangle becomes the mode's size, the mode's depth and rate are recorded.
bool recreateWindowForMode(BackendWindow* record, const DisplayMode& mode);

// Cleanup, first step: undoes what a fullscreen or borderless window did to the
// desktop (its display mode, the hidden cursor, the cursor clip), which must not
// outlive the window.
void leaveScreenModeForCleanup(RendererState* state);

// Cleanup, last step: the window and its class go (the procedure lives in the library
// the program unloads next), with the display lists and monitor labels this library
// allocated.
void closeWindowForCleanup(RendererState* state, BackendWindow* record);

// "Display mode failed" (no caption, MB_OK).
void showDisplayModeFailed();

// The outer size of the window rectangle (the size the backend reports).
inline int32_t windowRectWidth(const BackendWindow* record) {
    return record->windowRect.right - record->windowRect.left;
}
inline int32_t windowRectHeight(const BackendWindow* record) {
    return record->windowRect.bottom - record->windowRect.top;
}
