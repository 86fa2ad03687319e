// Clicks and key taps shorter than a frame, sent as real window messages through the
// program's window procedure between two updates of the game, as happens when the game
// renders a few frames a second: each acts exactly once.
#include "tests/game/interaction_scene.h"

#include "app/window_procedure.h"
#include "backend/backend_window.h"

namespace {

const wchar_t kClass[] = L"QuarloInputTapsTest";

struct TapWindow {
    BackendWindow record = {};
    HWND window = nullptr;

    TapWindow() {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(&programWindowProcedure));
        windowClass.lpszClassName = kClass;
        RegisterClassExW(&windowClass);
        // A client area of the render size, so cursor positions map one to one.
        record.windowRect = RECT{0, 0, 1280, 720};
        RECT outer = record.windowRect;
        AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
        window = CreateWindowExW(0, kClass, L"Quarlo input taps test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), &record);
        record.window = window;
        record.windowRect = RECT{0, 0, 1280, 720};
        SetForegroundWindow(window);
        pump();
    }

    ~TapWindow() {
        DestroyWindow(window);
        pump();
        UnregisterClassW(kClass, GetModuleHandleW(nullptr));
    }

    static void pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // Render pixels (y from the bottom) as a client position (y from the top).
    static LPARAM at(int32_t x, int32_t y) { return MAKELPARAM(x, 720 - y); }

    // A press, 30 ms held, and a release, all before the next update.
    void click(int32_t x, int32_t y) {
        SendMessageW(window, WM_MOUSEMOVE, 0, at(x, y));
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at(x, y));
        Sleep(30);
        SendMessageW(window, WM_LBUTTONUP, 0, at(x, y));
    }

    void tap(WPARAM key) {
        SendMessageW(window, WM_KEYDOWN, key, 1);
        Sleep(30);
        SendMessageW(window, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
    }
};

// One window for the suite: creating one under Wine takes a while.
TapWindow* tapWindow() {
    static TapWindow* window = new TapWindow;
    return window;
}

struct InputTaps : ::testing::Test {
    Scene scene; // installs the recording renderer the window procedure resizes through
    TapWindow& window = *tapWindow();

    void SetUp() override {
        gRendererState.width = 1280;
        gRendererState.height = 720;
        gInput = InputManager{};
        SetForegroundWindow(window.window);
        TapWindow::pump();
        ASSERT_EQ(GetForegroundWindow(), window.window) << "the test window must be in the foreground";
    }

    void update() { scene.frame(takeInputSnapshot()); }

    // The render position of a world point seen through monitor k.
    void aim(uint32_t k, Vec3 world, int32_t* x, int32_t* y) {
        InputSnapshot at = scene.aimAt(k, world);
        *x = at.cursorX;
        *y = at.cursorY;
    }
};

TEST_F(InputTaps, AShortClickBetweenTwoUpdatesActsOnce) {
    int32_t x, y;
    aim(0, kLocker, &x, &y);
    update();
    window.click(x, y);
    EXPECT_EQ(gInput.leftDown, 0) << "the button is up again before the update";
    update();
    EXPECT_TRUE(scene.game.interactables[0].done) << "the click opened the locker";
    update();
    update();
    EXPECT_TRUE(scene.game.interactables[0].done) << "and did not close it again";

    // A second short click is a second click: the open locker, where it is now, closes.
    aim(0, Vec3{15, 1.5f, 3}, &x, &y);
    window.click(x, y);
    update();
    EXPECT_FALSE(scene.game.interactables[0].done);
}

TEST_F(InputTaps, AShortClickOnAKeypadButtonTypesOneDigit) {
    int32_t x, y;
    aim(0, kButton3, &x, &y);
    window.click(x, y);
    update();
    update();
    EXPECT_EQ(scene.game.typedCount, 1u);
    EXPECT_EQ(scene.game.typedDigits[0], '3');
}

TEST_F(InputTaps, AShortEscapeTapPausesOnceAndASecondResumes) {
    update();
    window.tap(VK_ESCAPE);
    update();
    EXPECT_TRUE(scene.game.paused);
    update();
    update();
    EXPECT_TRUE(scene.game.paused) << "one tap, one toggle";
    window.tap(VK_ESCAPE);
    update();
    EXPECT_FALSE(scene.game.paused);
}

TEST_F(InputTaps, AShortArrowTapMovesTheMonitorOneCamera) {
    // Reach camera 1 on monitor 0 by clicking its model, then tap back and forth.
    int32_t x, y;
    aim(0, scene.game.cameras[1].position, &x, &y);
    window.click(x, y);
    update();
    update();
    ASSERT_EQ(scene.game.monitors[0].camera, 1u);
    window.tap(VK_LEFT);
    update();
    update();
    EXPECT_EQ(scene.game.monitors[0].camera, 0u);
    window.tap(VK_RIGHT);
    update();
    update();
    EXPECT_EQ(scene.game.monitors[0].camera, 1u);
}

TEST_F(InputTaps, AutoRepeatsOfAHeldKeyAreNoNewPress) {
    SendMessageW(window.window, WM_KEYDOWN, VK_ESCAPE, 1);
    update();
    EXPECT_TRUE(scene.game.paused);
    SendMessageW(window.window, WM_KEYUP, VK_ESCAPE, 1 | (1u << 30) | (1u << 31));
    update();
    // A down message that says the key was already down (an auto-repeat, here arriving
    // late) is no new press: it must not toggle the pause back.
    SendMessageW(window.window, WM_KEYDOWN, VK_ESCAPE, 1 | (1u << 30));
    SendMessageW(window.window, WM_KEYUP, VK_ESCAPE, 1 | (1u << 30) | (1u << 31));
    update();
    update();
    EXPECT_TRUE(scene.game.paused);
}

} // namespace
