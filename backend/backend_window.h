// The backend window record. Each backend keeps one in its private record and passes
// its address as the creation parameter of every window it creates; the program's
// window procedure keeps that address as the window's user data, reads the client
// rectangle and the mouse-locked flag from it, and rewrites the rectangle on a resize.
// Windows-only: portable code never includes this header.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <stddef.h>
#include <stdint.h>

struct BackendWindow {
    HWND window;
    HDC deviceContext;
    RECT windowRect; // left, top, right, bottom; width and height are the size the backend reports
    HINSTANCE instance;
    WNDCLASSEXW windowClass;
    void* renderingContext; // the OpenGL context (HGLRC); unused by Direct3D 12
    uint32_t bitsPerPixel;  // current display mode
    uint32_t refreshRate;   // Hz
    uint8_t mouseLocked;    // set by lockMouseInsideRendererWindow
};

static_assert(offsetof(BackendWindow, deviceContext) == 8, "BackendWindow layout");
static_assert(offsetof(BackendWindow, windowRect) == 16, "BackendWindow layout");
static_assert(offsetof(BackendWindow, instance) == 32, "BackendWindow layout");
static_assert(offsetof(BackendWindow, windowClass) == 40, "BackendWindow layout");
static_assert(sizeof(WNDCLASSEXW) == 80, "BackendWindow layout");
static_assert(offsetof(BackendWindow, renderingContext) == 120, "BackendWindow layout");
static_assert(offsetof(BackendWindow, bitsPerPixel) == 128, "BackendWindow layout");
static_assert(offsetof(BackendWindow, refreshRate) == 132, "BackendWindow layout");
static_assert(offsetof(BackendWindow, mouseLocked) == 136, "BackendWindow layout");
