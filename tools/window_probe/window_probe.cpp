// Prints where the game's window is on the screen, for scripts that drive the game
// with synthetic mouse and key events:
//   window_probe.exe [--close] [class]   (default class "TollanWindowClass")
// Output, one "key: value" per line: client_x, client_y (the client area's top-left
// corner in screen pixels), client_width, client_height, title, foreground (0/1).
// --close then asks the window to close, as its close box would (WM_CLOSE).
//   window_probe.exe --texts <title>
// prints "text: ..." for each child control of the top-level window with that title
// (the message of a message box, its buttons).
// Exit code 1 when no such window exists.
#include "engine/program/program_state.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

BOOL CALLBACK printChildText(HWND child, LPARAM) {
    wchar_t text[1024] = L"";
    GetWindowTextW(child, text, 1024);
    char utf8[3072];
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    if (utf8[0]) printf("text: %s\n", utf8);
    return TRUE;
}

int printTexts(const char* title) {
    wchar_t wideTitle[256] = L"";
    MultiByteToWideChar(CP_UTF8, 0, title, -1, wideTitle, 256);
    HWND window = FindWindowW(nullptr, wideTitle);
    if (!window) {
        fprintf(stderr, "no window titled %s\n", title);
        return 1;
    }
    EnumChildWindows(window, printChildText, 0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "--texts") == 0) return printTexts(argv[2]);
    wchar_t className[256] = L"TollanWindowClass";
    bool close = argc > 1 && strcmp(argv[1], "--close") == 0;
    if (close) --argc, ++argv;
    if (argc > 1) MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, className, 256);
    HWND window = FindWindowW(className, nullptr);
    if (!window) {
        fprintf(stderr, "no window of class %s\n", argc > 1 ? argv[1] : "TollanWindowClass");
        return 1;
    }
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    wchar_t title[256] = L"";
    GetWindowTextW(window, title, 256);
    char titleUtf8[768];
    WideCharToMultiByte(CP_UTF8, 0, title, -1, titleUtf8, sizeof(titleUtf8), nullptr, nullptr);
    printf("client_x: %ld\nclient_y: %ld\nclient_width: %ld\nclient_height: %ld\ntitle: %s\nforeground: %d\n",
           origin.x, origin.y, client.right - client.left, client.bottom - client.top, titleUtf8,
           GetForegroundWindow() == window ? 1 : 0);
    DWORD_PTR frames = 0;
    UINT frameMessage = RegisterWindowMessageW(PROGRAM_FRAME_COUNT_MESSAGE);
    if (SendMessageTimeoutW(window, frameMessage, 0, 0, SMTO_ABORTIFHUNG, 2000, &frames))
        printf("frames: %lu\n", static_cast<unsigned long>(frames));
    else
        printf("frames: -1\n");
    if (close) PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
}
