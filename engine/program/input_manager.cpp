#include "engine/program/input_manager.h"

InputManager gInput;

void mapCursorToRenderPixels(int32_t mouseX, int32_t mouseY, int32_t left, int32_t top, int32_t right,
                             int32_t bottom, uint32_t renderWidth, uint32_t renderHeight, int32_t* x, int32_t* y) {
    int32_t clientWidth = right - left;
    int32_t clientHeight = bottom - top;
    if (clientWidth == 0 || clientHeight == 0) return;
    *x = static_cast<int32_t>(static_cast<float>(renderWidth) / static_cast<float>(clientWidth) *
                              static_cast<float>(mouseX));
    *y = static_cast<int32_t>(static_cast<float>(renderHeight) / static_cast<float>(clientHeight) *
                              static_cast<float>(bottom - mouseY));
}

bool takeButtonState(uint8_t down, uint8_t* pressed) {
    bool seen = down != 0 || *pressed != 0;
    *pressed = 0;
    return seen;
}

bool takeKeyPress(InputManager* input, int32_t virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return false;
    bool pressed = input->keyPressed[virtualKey] != 0;
    input->keyPressed[virtualKey] = 0;
    return pressed;
}

void queueInputCharacter(InputManager* input, uint32_t unit) {
    if (unit == 0 || unit == 8 || unit >= 65536) return;
    if (input->characterCount >= INPUT_CHARACTER_CAPACITY) return;
    input->characters[input->characterCount++] = static_cast<uint16_t>(unit);
}
