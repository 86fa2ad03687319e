// The program's window procedure on real windows. The "backend" here does what both
// backend libraries do with their window: the window record is the creation
// parameter, and every message reaches the program's procedure (forwarded once the
// user data is set, or with the procedure installed as the class's own). The backend
// table holds only a recording resizeBackBuffersOnRenderer, the one entry point the
// procedure calls.
#include "app/drop_target.h"
#include "engine/program/input_manager.h"
#include "engine/program/program_state.h"
#include "app/window_procedure.h"
#include "backend/backend_window.h"

#include <gtest/gtest.h>

#include <ole2.h>
#include <string.h>

namespace {

const wchar_t kForwardingClass[] = L"QuarloProcedureTestForwarding";
const wchar_t kDirectClass[] = L"QuarloProcedureTestDirect";
const wchar_t kOtherClass[] = L"QuarloProcedureTestOther";

// Client area of the test window and its place on the screen.
const int kClientWidth = 640;
const int kClientHeight = 360;
const int kWindowX = 200;
const int kWindowY = 150;

struct ResizeLog {
    int calls;
    RendererState* state;
    uint32_t width;
    uint32_t height;
};
ResizeLog gResizes;

void recordResize(RendererState* state, uint32_t width, uint32_t height) {
    ++gResizes.calls;
    gResizes.state = state;
    gResizes.width = width;
    gResizes.height = height;
}

// As the OpenGL backend's procedure: WM_CREATE stores the record, nothing reaches the
// program before that.
LRESULT CALLBACK forwardingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const CREATESTRUCTW* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    } else if (!GetWindowLongPtrW(window, GWLP_USERDATA)) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return programWindowProcedure(window, message, wParam, lParam);
}

void registerClasses() {
    static bool registered;
    if (registered) return;
    registered = true;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpfnWndProc = forwardingProcedure;
    windowClass.lpszClassName = kForwardingClass;
    RegisterClassExW(&windowClass);
    // As the Direct3D 12 backend: the program's procedure is the class's procedure and
    // sees every message from WM_NCCREATE on.
    windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(&programWindowProcedure));
    windowClass.lpszClassName = kDirectClass;
    RegisterClassExW(&windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = kOtherClass;
    RegisterClassExW(&windowClass);
}

HWND createWindow(const wchar_t* className, BackendWindow* record) {
    registerClasses();
    record->windowRect = RECT{0, 0, kClientWidth, kClientHeight};
    RECT outer = record->windowRect;
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExW(0, className, L"Quarlo procedure test", WS_OVERLAPPEDWINDOW, kWindowX, kWindowY,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), record);
    if (window) {
        record->window = window;
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    return window;
}

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The live input state without the dropped files, which belong to the drop target.
void clearInput() {
    gInput.leftDown = gInput.rightDown = gInput.middleDown = 0;
    gInput.cursorX = gInput.cursorY = 0;
    gInput.wheelUp = gInput.wheelDown = 0;
    gInput.cursorInside = 0;
    memset(gInput.keys, 0, sizeof(gInput.keys));
    gInput.characterCount = 0;
}

RECT clipRect() {
    RECT clip = {};
    GetClipCursor(&clip);
    return clip;
}

RECT unclipped() {
    return RECT{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

RECT clientOnScreen(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT topLeft = {client.left, client.top};
    POINT bottomRight = {client.right, client.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void expectRect(const RECT& actual, const RECT& expected, const char* what) {
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

LPARAM point(int x, int y) { return MAKELPARAM(x, y); }

// One window of the forwarding class for the whole suite (Wine takes seconds to
// destroy an active window), put back in the foreground at its first size before each
// test, with the cursor resting inside it so that mouse-leave tracking stays on.
class WindowProcedure : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        memset(&gRenderer, 0, sizeof(gRenderer));
        gRenderer.resizeBackBuffersOnRenderer = recordResize;
        gResizes = ResizeLog{};
        memset(&gRendererState, 0, sizeof(gRendererState));
        gRendererState.width = 1280;
        gRendererState.height = 720;
        resetWindowParameters();
        clearInput();
        gRunning = 0;
        SetCursorPos(kWindowX + 200, kWindowY + 200);
        window = createWindow(kForwardingClass, &record);
        atCreation.userData = window ? GetWindowLongPtrW(window, GWLP_USERDATA) : 0;
        atCreation.running = gRunning;
        atCreation.cursorInside = gInput.cursorInside;
        atCreation.rect = record.windowRect;
        atCreation.resizes = gResizes;
        atCreation.parameters = gWindowParameters;
        other = CreateWindowExW(0, kOtherClass, L"Quarlo other window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 1000, 700,
                                200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }

    static void TearDownTestSuite() {
        if (other) DestroyWindow(other);
        if (window) {
            RevokeDragDrop(window);
            DestroyWindow(window);
        }
        other = window = nullptr;
        pumpMessages();
    }

    void SetUp() override {
        ASSERT_NE(window, nullptr);
        ASSERT_NE(other, nullptr);
        memset(&gRenderer, 0, sizeof(gRenderer));
        gRenderer.resizeBackBuffersOnRenderer = recordResize;
        gRendererState.width = 1280;
        gRendererState.height = 720;
        gRendererState.screenMode = SCREEN_MODE_WINDOWED;
        record.mouseLocked = 0;
        RECT outer = {0, 0, kClientWidth, kClientHeight};
        AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
        SetWindowPos(window, nullptr, kWindowX, kWindowY, outer.right - outer.left, outer.bottom - outer.top,
                     SWP_NOZORDER);
        SetForegroundWindow(window);
        SetCursorPos(clientOnScreen(window).left + 100, clientOnScreen(window).top + 100);
        pumpMessages();
        ASSERT_EQ(GetForegroundWindow(), window) << "the test window cannot take the foreground";
        // A test may have left a reported size that the window does not have.
        SendMessageW(window, WM_SIZE, SIZE_RESTORED, point(kClientWidth, kClientHeight));
        resetWindowParameters();
        clearInput();
        gResizes = ResizeLog{};
        gRunning = 1;
        // A move restarts the mouse-leave tracking that clearInput forgot.
        SendMessageW(window, WM_MOUSEMOVE, 0, point(100, 100));
        ASSERT_EQ(gInput.cursorInside, 1);
        ClipCursor(nullptr);
    }

    void TearDown() override {
        ClipCursor(nullptr);
        ReleaseCapture();
    }

    // The other window takes the foreground.
    void moveForegroundAway() {
        SetForegroundWindow(other);
        pumpMessages();
        ASSERT_EQ(GetForegroundWindow(), other);
    }

    struct CreationState {
        LONG_PTR userData;
        uint8_t running;
        uint8_t cursorInside;
        RECT rect;
        ResizeLog resizes;
        WindowParameters parameters;
    };
    static CreationState atCreation;
    static BackendWindow record;
    static HWND window;
    static HWND other;
};

WindowProcedure::CreationState WindowProcedure::atCreation;
BackendWindow WindowProcedure::record;
HWND WindowProcedure::window;
HWND WindowProcedure::other;

// WM_CREATE keeps the record the backend created the window with, starts mouse-leave
// tracking, registers the drop target and starts the loop; the first WM_SIZE follows.
TEST_F(WindowProcedure, CreationKeepsTheBackendsRecordAndStartsRunning) {
    EXPECT_EQ(atCreation.userData, reinterpret_cast<LONG_PTR>(&record));
    EXPECT_EQ(atCreation.running, 1);
    EXPECT_EQ(atCreation.cursorInside, 1);
    EXPECT_EQ(RegisterDragDrop(window, programDropTarget()), DRAGDROP_E_ALREADYREGISTERED);
    expectRect(atCreation.rect, RECT{0, 0, kClientWidth, kClientHeight}, "after creation");
    EXPECT_GE(atCreation.resizes.calls, 1);
    EXPECT_EQ(atCreation.resizes.state, &gRendererState);
    EXPECT_EQ(atCreation.resizes.width, static_cast<uint32_t>(kClientWidth));
    EXPECT_EQ(atCreation.resizes.height, static_cast<uint32_t>(kClientHeight));
    EXPECT_EQ(atCreation.parameters.width, static_cast<uint32_t>(kClientWidth));
    EXPECT_EQ(atCreation.parameters.height, static_cast<uint32_t>(kClientHeight));
}

// WM_CLOSE and WM_QUIT only end the loop: the window stays for cleanupRenderer.
TEST_F(WindowProcedure, CloseAndQuitClearTheRunningFlagAndKeepTheWindow) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    pumpMessages();
    EXPECT_EQ(gRunning, 0);
    EXPECT_TRUE(IsWindow(window));

    gRunning = 1;
    EXPECT_EQ(SendMessageW(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(gRunning, 0);
    gRunning = 1;
    EXPECT_EQ(SendMessageW(window, WM_QUIT, 0, 0), 0);
    EXPECT_EQ(gRunning, 0);
    EXPECT_TRUE(IsWindow(window));

    // Nothing else sets it back.
    SendMessageW(window, WM_SIZE, SIZE_RESTORED, point(800, 600));
    SendMessageW(window, WM_MOUSEMOVE, 0, point(10, 10));
    EXPECT_EQ(gRunning, 0);
}

TEST_F(WindowProcedure, KeysAndCharactersCountOnlyInTheForeground) {
    SendMessageW(window, WM_KEYDOWN, 'W', 0);
    SendMessageW(window, WM_SYSKEYDOWN, 'K', 1 << 29);
    EXPECT_EQ(gInput.keys['W'], 1);
    EXPECT_EQ(gInput.keys['K'], 1);
    SendMessageW(window, WM_KEYUP, 'W', 0);
    SendMessageW(window, WM_SYSKEYUP, 'K', 1 << 29);
    EXPECT_EQ(gInput.keys['W'], 0);
    EXPECT_EQ(gInput.keys['K'], 0);

    // A code past the table is ignored.
    uint8_t keys[256];
    memcpy(keys, gInput.keys, sizeof(keys));
    SendMessageW(window, WM_KEYDOWN, 256, 0);
    SendMessageW(window, WM_KEYDOWN, 0x1FF, 0);
    EXPECT_EQ(memcmp(keys, gInput.keys, sizeof(keys)), 0);

    // Characters: backspace and NUL never enter the queue.
    SendMessageW(window, WM_CHAR, L'\u00e9', 0);
    SendMessageW(window, WM_CHAR, 8, 0);
    SendMessageW(window, WM_CHAR, 0, 0);
    SendMessageW(window, WM_CHAR, L'z', 0);
    ASSERT_EQ(gInput.characterCount, 2u);
    EXPECT_EQ(gInput.characters[0], 0xE9);
    EXPECT_EQ(gInput.characters[1], L'z');

    // Another window in the foreground: nothing changes.
    SendMessageW(window, WM_KEYDOWN, 'Q', 0);
    moveForegroundAway();
    SendMessageW(window, WM_KEYDOWN, 'W', 0);
    SendMessageW(window, WM_SYSKEYDOWN, 'K', 1 << 29);
    SendMessageW(window, WM_KEYUP, 'Q', 0);
    SendMessageW(window, WM_CHAR, L'y', 0);
    EXPECT_EQ(gInput.keys['W'], 0);
    EXPECT_EQ(gInput.keys['K'], 0);
    EXPECT_EQ(gInput.keys['Q'], 1);
    EXPECT_EQ(gInput.characterCount, 2u);
}

TEST_F(WindowProcedure, ButtonsCountOnlyInTheForeground) {
    moveForegroundAway();
    // The real cursor's moves may have been pumped: the position is whatever they left.
    const int32_t cursorX = gInput.cursorX;
    const int32_t cursorY = gInput.cursorY;
    ASSERT_FALSE(cursorX == 640 && cursorY == 360);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point(320, 180));
    SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, point(320, 180));
    SendMessageW(window, WM_MBUTTONDOWN, MK_MBUTTON, point(320, 180));
    EXPECT_EQ(gInput.leftDown, 0);
    EXPECT_EQ(gInput.rightDown, 0);
    EXPECT_EQ(gInput.middleDown, 0);
    EXPECT_EQ(gInput.cursorX, cursorX);
    EXPECT_EQ(gInput.cursorY, cursorY);
    EXPECT_NE(GetCapture(), window);
    expectRect(clipRect(), unclipped(), "no clip from a background window");

    // Releases in the background change nothing either.
    SetForegroundWindow(window);
    pumpMessages();
    ASSERT_EQ(GetForegroundWindow(), window);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point(320, 180));
    EXPECT_EQ(gInput.leftDown, 1);
    SetForegroundWindow(other);
    pumpMessages();
    SendMessageW(window, WM_LBUTTONUP, 0, point(320, 180));
    EXPECT_EQ(gInput.leftDown, 1);
}

// WM_SIZE: the record's client rectangle, the window parameters and the back buffers
// follow the new client size.
TEST_F(WindowProcedure, SizeUpdatesTheRectangleTheParametersAndTheBackBuffers) {
    const int before = gResizes.calls;
    SendMessageW(window, WM_SIZE, SIZE_RESTORED, point(1024, 576));
    expectRect(record.windowRect, RECT{0, 0, 1024, 576}, "after WM_SIZE");
    EXPECT_EQ(gWindowParameters.width, 1024u);
    EXPECT_EQ(gWindowParameters.height, 576u);
    EXPECT_EQ(gWindowParameters.bitsPerPixel, 32u);
    EXPECT_EQ(gWindowParameters.refreshRate, 60u);
    EXPECT_EQ(gWindowParameters.screenMode, static_cast<uint32_t>(SCREEN_MODE_WINDOWED));
    EXPECT_EQ(gResizes.calls, before + 1);
    EXPECT_EQ(gResizes.state, &gRendererState);
    EXPECT_EQ(gResizes.width, 1024u);
    EXPECT_EQ(gResizes.height, 576u);

    // A real resize of the window reports its client size.
    RECT outer = {0, 0, 800, 450};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    pumpMessages();
    RECT client = {};
    GetClientRect(window, &client);
    expectRect(record.windowRect, RECT{0, 0, client.right, client.bottom}, "after SetWindowPos");
    EXPECT_EQ(gWindowParameters.width, static_cast<uint32_t>(client.right));
    EXPECT_EQ(gWindowParameters.height, static_cast<uint32_t>(client.bottom));
    EXPECT_EQ(gResizes.width, static_cast<uint32_t>(client.right));
    EXPECT_EQ(gResizes.height, static_cast<uint32_t>(client.bottom));
}

// A minimised window reports no size: the last one stays and the back buffers keep theirs.
TEST_F(WindowProcedure, ZeroSizeKeepsTheLastSize) {
    SendMessageW(window, WM_SIZE, SIZE_RESTORED, point(1024, 576));
    const int before = gResizes.calls;
    SendMessageW(window, WM_SIZE, SIZE_MINIMIZED, point(0, 0));
    SendMessageW(window, WM_SIZE, SIZE_RESTORED, point(0, 300));
    SendMessageW(window, WM_SIZE, SIZE_RESTORED, point(300, 0));
    EXPECT_EQ(gResizes.calls, before);
    expectRect(record.windowRect, RECT{0, 0, 1024, 576}, "after zero sizes");
    EXPECT_EQ(gWindowParameters.width, 1024u);
    EXPECT_EQ(gWindowParameters.height, 576u);

    // The cursor still maps through the kept rectangle.
    SendMessageW(window, WM_MOUSEMOVE, 0, point(512, 288));
    EXPECT_EQ(gInput.cursorX, 640);
    EXPECT_EQ(gInput.cursorY, 360);
}

// Positions are render pixels from the bottom left, whatever the window's size.
TEST_F(WindowProcedure, CursorIsInRenderPixelsFromTheBottomLeft) {
    SendMessageW(window, WM_MOUSEMOVE, 0, point(320, 180));
    EXPECT_EQ(gInput.cursorX, 640);
    EXPECT_EQ(gInput.cursorY, 360);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point(0, 0));
    EXPECT_EQ(gInput.cursorX, 0);
    EXPECT_EQ(gInput.cursorY, 720);
    SendMessageW(window, WM_LBUTTONUP, 0, point(0, 0));
    SendMessageW(window, WM_MBUTTONDOWN, MK_MBUTTON, point(160, 270));
    EXPECT_EQ(gInput.cursorX, 320);
    EXPECT_EQ(gInput.cursorY, 180);
    SendMessageW(window, WM_MBUTTONUP, 0, point(160, 270));
    // The render size is the state's, not the window's.
    gRendererState.width = 640;
    gRendererState.height = 360;
    SendMessageW(window, WM_MOUSEMOVE, 0, point(100, 60));
    EXPECT_EQ(gInput.cursorX, 100);
    EXPECT_EQ(gInput.cursorY, 300);
}

// The wheel counts only while the cursor is inside; a mouse move restarts the tracking.
TEST_F(WindowProcedure, WheelCountsOnlyWhileTheCursorIsInside) {
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), point(300, 300));
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), point(300, 300));
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), point(300, 300));
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 0), point(300, 300));
    EXPECT_EQ(gInput.wheelUp, 2);
    EXPECT_EQ(gInput.wheelDown, 1);

    SendMessageW(window, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(gInput.cursorInside, 0);
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), point(300, 300));
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), point(300, 300));
    EXPECT_EQ(gInput.wheelUp, 2);
    EXPECT_EQ(gInput.wheelDown, 1);

    SendMessageW(window, WM_MOUSEMOVE, 0, point(100, 100));
    EXPECT_EQ(gInput.cursorInside, 1);
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), point(300, 300));
    EXPECT_EQ(gInput.wheelUp, 3);
}

// Left and right buttons capture and clip to the client area; release unclips only in
// a window that is not mouse-locked and not full screen. The middle button captures
// without clipping.
TEST_F(WindowProcedure, ButtonsCaptureAndClipByLockAndScreenMode) {
    const RECT client = clientOnScreen(window);
    const UINT downs[2] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN};
    const UINT ups[2] = {WM_LBUTTONUP, WM_RBUTTONUP};
    uint8_t* const flags[2] = {&gInput.leftDown, &gInput.rightDown};
    for (int b = 0; b < 2; ++b) {
        SCOPED_TRACE(b == 0 ? "left" : "right");
        SendMessageW(window, downs[b], 0, point(10, 10));
        EXPECT_EQ(*flags[b], 1);
        EXPECT_EQ(GetCapture(), window);
        expectRect(clipRect(), client, "clipped while down");
        SendMessageW(window, ups[b], 0, point(10, 10));
        EXPECT_EQ(*flags[b], 0);
        EXPECT_EQ(GetCapture(), nullptr);
        expectRect(clipRect(), unclipped(), "windowed, not locked: released");

        // Mouse-locked, or borderless or full screen: the clip stays.
        const uint32_t modes[3] = {SCREEN_MODE_WINDOWED, FULLSCREEN_BORDERLESS, SCREEN_MODE_FULLSCREEN};
        for (uint32_t mode : modes) {
            for (uint8_t locked = 0; locked < 2; ++locked) {
                if (mode == SCREEN_MODE_WINDOWED && !locked) continue;
                gRendererState.screenMode = mode;
                record.mouseLocked = locked;
                SendMessageW(window, downs[b], 0, point(10, 10));
                SendMessageW(window, ups[b], 0, point(10, 10));
                EXPECT_EQ(*flags[b], 0);
                EXPECT_EQ(GetCapture(), nullptr);
                expectRect(clipRect(), client, locked ? "locked: kept" : "full screen: kept");
                ClipCursor(nullptr);
            }
        }
        gRendererState.screenMode = SCREEN_MODE_WINDOWED;
        record.mouseLocked = 0;
    }

    SendMessageW(window, WM_MBUTTONDOWN, 0, point(10, 10));
    EXPECT_EQ(gInput.middleDown, 1);
    EXPECT_EQ(GetCapture(), window);
    expectRect(clipRect(), unclipped(), "the middle button does not clip");
    // Its release leaves any clip alone.
    ClipCursor(&client);
    SendMessageW(window, WM_MBUTTONUP, 0, point(10, 10));
    EXPECT_EQ(gInput.middleDown, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    expectRect(clipRect(), client, "after the middle button");
}

// A locked mouse is held inside the client area, its top edge 4 pixels higher, on
// every move while the window is active.
TEST_F(WindowProcedure, MovesClipALockedMouseWhileActive) {
    SendMessageW(window, WM_MOUSEMOVE, 0, point(50, 50));
    expectRect(clipRect(), unclipped(), "not locked");

    record.mouseLocked = 1;
    SendMessageW(window, WM_MOUSEMOVE, 0, point(50, 50));
    RECT expected = clientOnScreen(window);
    expected.top -= 4;
    expectRect(clipRect(), expected, "locked");

    ClipCursor(nullptr);
    moveForegroundAway();
    ASSERT_NE(GetActiveWindow(), window);
    SendMessageW(window, WM_MOUSEMOVE, 0, point(50, 50));
    expectRect(clipRect(), unclipped(), "locked but inactive");
}

TEST_F(WindowProcedure, AnswersTheFrameCountMessage) {
    gFrameCount = 4321;
    EXPECT_EQ(SendMessageW(window, RegisterWindowMessageW(PROGRAM_FRAME_COUNT_MESSAGE), 0, 0), 4321);
}

// Before the user data is set the procedure does default processing only. With the
// procedure as the class's own (as the Direct3D 12 backend installs it) it sees
// WM_NCCREATE and the rest before WM_CREATE; the window must still come up, and it is
// the procedure itself that keeps the creation parameter.
TEST(WindowProcedureBeforeUserData, OnlyDefaultProcessing) {
    memset(&gRenderer, 0, sizeof(gRenderer));
    gRenderer.resizeBackBuffersOnRenderer = recordResize;
    gResizes = ResizeLog{};
    resetWindowParameters();
    clearInput();
    gRunning = 0;

    registerClasses();
    HWND bare = CreateWindowExW(0, kOtherClass, L"bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, kWindowX, kWindowY, 300,
                                200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(bare, nullptr);
    SetForegroundWindow(bare);
    pumpMessages();
    ASSERT_EQ(GetForegroundWindow(), bare);
    ASSERT_EQ(GetWindowLongPtrW(bare, GWLP_USERDATA), 0);

    EXPECT_EQ(programWindowProcedure(bare, WM_GETTEXTLENGTH, 0, 0), 4);
    programWindowProcedure(bare, WM_SIZE, SIZE_RESTORED, point(100, 50));
    programWindowProcedure(bare, WM_KEYDOWN, 'W', 0);
    programWindowProcedure(bare, WM_CHAR, L'a', 0);
    programWindowProcedure(bare, WM_LBUTTONDOWN, MK_LBUTTON, point(20, 20));
    programWindowProcedure(bare, WM_MOUSEMOVE, 0, point(20, 20));
    gInput.cursorInside = 1;
    programWindowProcedure(bare, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), point(20, 20));
    programWindowProcedure(bare, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(gResizes.calls, 0);
    EXPECT_EQ(gWindowParameters.width, 1280u);
    EXPECT_EQ(gWindowParameters.height, 720u);
    EXPECT_EQ(gInput.keys['W'], 0);
    EXPECT_EQ(gInput.characterCount, 0u);
    EXPECT_EQ(gInput.leftDown, 0);
    EXPECT_EQ(gInput.cursorX, 0);
    EXPECT_EQ(gInput.wheelUp, 0);
    EXPECT_EQ(gInput.cursorInside, 1);
    EXPECT_NE(GetCapture(), bare);
    // WM_CLOSE gets default processing too: the window goes, the flag stays.
    gRunning = 1;
    programWindowProcedure(bare, WM_CLOSE, 0, 0);
    EXPECT_EQ(gRunning, 1);
    EXPECT_FALSE(IsWindow(bare));
    ReleaseCapture();
    ClipCursor(nullptr);

    gRunning = 0;
    clearInput();
    BackendWindow record = {};
    HWND direct = createWindow(kDirectClass, &record);
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(direct, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&record));
    EXPECT_EQ(gRunning, 1);
    EXPECT_EQ(gInput.cursorInside, 1);
    expectRect(record.windowRect, RECT{0, 0, kClientWidth, kClientHeight}, "direct window");
    EXPECT_EQ(gResizes.width, static_cast<uint32_t>(kClientWidth));
    RevokeDragDrop(direct);
    DestroyWindow(direct);
    pumpMessages();
}

} // namespace
