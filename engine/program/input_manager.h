// The program-wide input state that the window procedure and the drop target fill.
// The game copies it into a snapshot once per frame and reads only the snapshot.
#pragma once

#include <stdint.h>

enum { INPUT_CHARACTER_CAPACITY = 1024 };

struct InputManager {
    uint8_t leftDown;
    uint8_t rightDown;
    uint8_t middleDown;
    // A press since the last snapshot: a click shorter than a frame, pressed and released
    // between two updates, is still seen as down by the next one.
    uint8_t leftPressed;
    uint8_t rightPressed;
    int32_t cursorX; // render pixels from the left
    int32_t cursorY; // render pixels from the bottom
    uint16_t wheelUp;
    uint16_t wheelDown;
    uint8_t cursorInside; // mouse-leave tracking is active
    uint8_t keys[256];    // by virtual-key code
    uint8_t keyPressed[256]; // went down (not an auto-repeat) since the last snapshot
    uint16_t characters[INPUT_CHARACTER_CAPACITY];
    uint32_t characterCount; // never reset: the queue keeps the first 1024 characters
    // Dropped files: UTF-8 paths, each NUL-terminated, the list ended by an empty string.
    char* droppedFiles;
    uint32_t droppedCapacity;
    uint32_t droppedCount;

    class DropTarget; // the OLE IDropTarget (Windows only, app/drop_target.cpp)
};

extern InputManager gInput;

// Maps a client-area mouse position (y from the top) to render pixels with the origin
// at the bottom left: x = W / (r - l) * mouseX, y = H / (b - t) * (b - mouseY),
// truncated. A client rectangle of zero width or height (a minimised window) leaves
// the outputs unchanged.
void mapCursorToRenderPixels(int32_t mouseX, int32_t mouseY, int32_t left, int32_t top, int32_t right,
                             int32_t bottom, uint32_t renderWidth, uint32_t renderHeight, int32_t* x, int32_t* y);

// What a frame's snapshot sees of a button or key: down now, or pressed since the last
// snapshot. Takes the press, so a tap counts in exactly one snapshot.
bool takeButtonState(uint8_t down, uint8_t* pressed);
bool takeKeyPress(InputManager* input, int32_t virtualKey);

// Appends one UTF-16 unit to the character queue: never 0 or backspace, and only
// while the queue holds fewer than 1024 units.
void queueInputCharacter(InputManager* input, uint32_t unit);
