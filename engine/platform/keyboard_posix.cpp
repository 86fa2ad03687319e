#include "engine/platform/keyboard.h"

namespace {
bool gKeys[256];
bool gForeground = true;
} // namespace

void setKeyboardWindow(void*) {}

bool isKeyDownInForeground(int32_t virtualKey) {
    if (!gForeground || virtualKey < 0 || virtualKey > 255) return false;
    return gKeys[virtualKey];
}

void setSimulatedKey(int32_t virtualKey, bool down) {
    if (virtualKey >= 0 && virtualKey < 256) gKeys[virtualKey] = down;
}

void setSimulatedForeground(bool foreground) { gForeground = foreground; }
