// The keyboard as the game reads it: the live key state of a virtual-key code, only
// while the program's window is the foreground window (Win32 GetAsyncKeyState and
// GetForegroundWindow). The native build reads a table that tests fill, so the game
// rules run without a window.
#pragma once

#include <stdint.h>

enum VirtualKey : int32_t {
    VIRTUAL_KEY_ESCAPE = 0x1B,
    VIRTUAL_KEY_LEFT = 0x25,
    VIRTUAL_KEY_RIGHT = 0x27,
};

// True when the key is down and the program's window is in the foreground.
bool isKeyDownInForeground(int32_t virtualKey);

// The window whose foreground state counts; the window procedure records it at WM_CREATE.
void setKeyboardWindow(void* window);

// Native builds only: the state the game sees.
void setSimulatedKey(int32_t virtualKey, bool down);
void setSimulatedForeground(bool foreground);
