#include "app/window_procedure.h"

#include "app/drop_target.h"
#include "engine/program/input_manager.h"
#include "engine/program/program_state.h"
#include "backend/backend_window.h"
#include "engine/platform/keyboard.h"

#include <ole2.h>
#include <windowsx.h>

namespace {

BackendWindow* backendWindowOf(HWND window) {
    return reinterpret_cast<BackendWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void startMouseLeaveTracking(HWND window) {
    TRACKMOUSEEVENT tracking = {};
    tracking.cbSize = sizeof(tracking);
    tracking.dwFlags = TME_LEAVE;
    tracking.hwndTrack = window;
    TrackMouseEvent(&tracking);
    gInput.cursorInside = 1;
}

void updateCursor(const BackendWindow* record, LPARAM lParam) {
    const RECT& r = record->windowRect;
    mapCursorToRenderPixels(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), r.left, r.top, r.right, r.bottom,
                            gRendererState.width, gRendererState.height, &gInput.cursorX, &gInput.cursorY);
}

// The client rectangle in screen coordinates, for ClipCursor.
RECT clientRectOnScreen(HWND window, const BackendWindow* record) {
    RECT r = record->windowRect;
    POINT topLeft = {r.left, r.top};
    POINT bottomRight = {r.right, r.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

bool isForeground(HWND window) { return GetForegroundWindow() == window; }

} // namespace

intptr_t programWindowProcedure(void* windowHandle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    HWND window = static_cast<HWND>(windowHandle);

    if (message == WM_CREATE) {
        const CREATESTRUCTW* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
        startMouseLeaveTracking(window);
        OleInitialize(nullptr);
        RegisterDragDrop(window, programDropTarget());
        setKeyboardWindow(window);
        gRunning = 1;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    BackendWindow* record = backendWindowOf(window);
    if (!record) return DefWindowProcW(window, message, wParam, lParam);

    static const UINT frameCountMessage = RegisterWindowMessageW(PROGRAM_FRAME_COUNT_MESSAGE);
    if (message == frameCountMessage) {
        switch (wParam) {
        case FRAME_FIGURE_UPDATE_MICROSECONDS: return static_cast<intptr_t>(gFrameTimes.updateMicroseconds);
        case FRAME_FIGURE_RECORD_MICROSECONDS: return static_cast<intptr_t>(gFrameTimes.recordMicroseconds);
        case FRAME_FIGURE_PRESENT_MICROSECONDS: return static_cast<intptr_t>(gFrameTimes.presentMicroseconds);
        default: return gFrameCount;
        }
    }

    switch (message) {
    case WM_SIZE: {
        uint32_t width = LOWORD(lParam);
        uint32_t height = HIWORD(lParam);
        // A minimised window reports 0 x 0; render targets of no size and a cursor
        // mapping through a zero-sized rectangle would follow, so the last size stays.
        if (width == 0 || height == 0) break;
        record->windowRect = RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
        gWindowParameters.width = width;
        gWindowParameters.height = height;
        gRenderer.resizeBackBuffersOnRenderer(&gRendererState, width, height);
        break;
    }
    case WM_CLOSE:
    case WM_QUIT:
        gRunning = 0;
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (isForeground(window) && wParam < 256) {
            gInput.keys[wParam] = 1;
            // Bit 30 is the key's previous state: auto-repeats of a held key are no new press.
            if ((lParam & (1 << 30)) == 0) gInput.keyPressed[wParam] = 1;
        }
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (isForeground(window) && wParam < 256) gInput.keys[wParam] = 0;
        break;
    case WM_CHAR:
        if (isForeground(window)) queueInputCharacter(&gInput, static_cast<uint32_t>(wParam));
        break;
    case WM_MOUSEMOVE:
        if (!gInput.cursorInside) startMouseLeaveTracking(window);
        updateCursor(record, lParam);
        if (record->mouseLocked && GetActiveWindow() == window) {
            RECT clip = clientRectOnScreen(window, record);
            clip.top -= 4;
            ClipCursor(&clip);
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (isForeground(window)) {
            SetCapture(window);
            updateCursor(record, lParam);
            (message == WM_LBUTTONDOWN ? gInput.leftDown : gInput.rightDown) = 1;
            (message == WM_LBUTTONDOWN ? gInput.leftPressed : gInput.rightPressed) = 1;
            RECT clip = clientRectOnScreen(window, record);
            ClipCursor(&clip);
        }
        break;
    case WM_MBUTTONDOWN:
        if (isForeground(window)) {
            SetCapture(window);
            updateCursor(record, lParam);
            gInput.middleDown = 1;
        }
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (isForeground(window)) {
            (message == WM_LBUTTONUP ? gInput.leftDown : gInput.rightDown) = 0;
            if (!record->mouseLocked && gRendererState.screenMode == SCREEN_MODE_WINDOWED) ClipCursor(nullptr);
            ReleaseCapture();
        }
        break;
    case WM_MBUTTONUP:
        if (isForeground(window)) {
            gInput.middleDown = 0;
            ReleaseCapture();
        }
        break;
    case WM_MOUSEWHEEL:
        if (gInput.cursorInside) {
            short delta = GET_WHEEL_DELTA_WPARAM(wParam);
            if (delta > 0) ++gInput.wheelUp;
            if (delta < 0) ++gInput.wheelDown;
        }
        break;
    case WM_MOUSELEAVE:
        gInput.cursorInside = 0;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
