#include "engine/platform/keyboard.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {
HWND gKeyboardWindow;
}

void setKeyboardWindow(void* window) { gKeyboardWindow = static_cast<HWND>(window); }

bool isKeyDownInForeground(int32_t virtualKey) {
    HWND foreground = GetForegroundWindow();
    if (!foreground || foreground != gKeyboardWindow) return false;
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

void setSimulatedKey(int32_t, bool) {}
void setSimulatedForeground(bool) {}
