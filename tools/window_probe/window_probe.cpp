// Tells scripts that drive the game with synthetic mouse and key events where the
// game's window is and how far its frame loop has got:
//   window_probe.exe [--close] [class]   (default class "TollanWindowClass")
// Output, one "key: value" per line: client_x, client_y (the client area's top-left
// corner in screen pixels), client_width, client_height, title, foreground (0/1),
// frames. --close then asks the window to close, as its close box would (WM_CLOSE).
//   window_probe.exe --texts <title>
// prints "text: ..." for each child control of the top-level window with that title
// (the message of a message box, its buttons).
// Exit code 1 when no such window exists.
//
//   window_probe.exe --serve [class]
// stays running and answers one command per line of standard input, so that a script
// pays for starting a Wine process once instead of once per question. Each answer is
// "key: value" lines ended by a line holding only ".":
//   window              the lines above, or "window: none"
//   frames              frames: N (-1 while the window does not answer)
//   times               frames and the loop's summed update_us, record_us, present_us
//   wait-frames N [S]   waits until N more frames have finished; "frames: -1" when the
//                       count did not move for S seconds (default 120)
//   wait-window S       waits up to S seconds for the window to answer with its frames
//   close               posts WM_CLOSE to the window
//   texts <title>       the child texts of the window with that title
//   quit                ends the probe
#include "engine/program/program_state.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

wchar_t gClassName[256] = L"TollanWindowClass";

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

HWND gameWindow() { return FindWindowW(gClassName, nullptr); }

// One figure of the game's frame loop; -1 when the window is missing or does not
// answer (it answers between frames, and not while the world loads).
long long askFigure(HWND window, FrameFigure figure) {
    DWORD_PTR value = 0;
    if (!window) return -1;
    if (!SendMessageTimeoutW(window, RegisterWindowMessageW(PROGRAM_FRAME_COUNT_MESSAGE), figure, 0,
                             SMTO_ABORTIFHUNG, 2000, &value))
        return -1;
    return static_cast<long long>(value);
}

void printWindow(HWND window) {
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
    printf("frames: %lld\n", askFigure(window, FRAME_FIGURE_COUNT));
}

// Waits until the frame count has moved on by `frames`, giving up when it stood still
// for `stallSeconds` (the game is gone or hung). Paced by the game's own progress.
long long waitFrames(long long frames, double stallSeconds) {
    long long start = -1, last = -1;
    ULONGLONG lastChange = GetTickCount64();
    for (;;) {
        long long now = askFigure(gameWindow(), FRAME_FIGURE_COUNT);
        if (start < 0 && now >= 0) start = now;
        if (start >= 0 && now >= start + frames) return now;
        if (now != last) {
            last = now;
            lastChange = GetTickCount64();
        } else if (static_cast<double>(GetTickCount64() - lastChange) > stallSeconds * 1000.0) {
            return -1;
        }
        Sleep(2);
    }
}

bool waitWindow(double seconds) {
    ULONGLONG start = GetTickCount64();
    while (static_cast<double>(GetTickCount64() - start) <= seconds * 1000.0) {
        if (askFigure(gameWindow(), FRAME_FIGURE_COUNT) >= 0) return true;
        Sleep(20);
    }
    return false;
}

int serve() {
    char line[1024];
    while (fgets(line, sizeof(line), stdin)) {
        line[strcspn(line, "\r\n")] = 0;
        char* argument = strchr(line, ' ');
        if (argument) *argument++ = 0;
        if (strcmp(line, "quit") == 0) break;
        if (strcmp(line, "window") == 0) {
            HWND window = gameWindow();
            if (window)
                printWindow(window);
            else
                printf("window: none\n");
        } else if (strcmp(line, "frames") == 0) {
            printf("frames: %lld\n", askFigure(gameWindow(), FRAME_FIGURE_COUNT));
        } else if (strcmp(line, "times") == 0) {
            HWND window = gameWindow();
            printf("frames: %lld\nupdate_us: %lld\nrecord_us: %lld\npresent_us: %lld\n",
                   askFigure(window, FRAME_FIGURE_COUNT), askFigure(window, FRAME_FIGURE_UPDATE_MICROSECONDS),
                   askFigure(window, FRAME_FIGURE_RECORD_MICROSECONDS),
                   askFigure(window, FRAME_FIGURE_PRESENT_MICROSECONDS));
        } else if (strcmp(line, "wait-frames") == 0) {
            long long frames = argument ? atoll(argument) : 1;
            const char* stall = argument ? strchr(argument, ' ') : nullptr;
            printf("frames: %lld\n", waitFrames(frames, stall ? atof(stall) : 120.0));
        } else if (strcmp(line, "wait-window") == 0) {
            printf("window: %s\n", waitWindow(argument ? atof(argument) : 60.0) ? "found" : "none");
        } else if (strcmp(line, "close") == 0) {
            HWND window = gameWindow();
            if (window) PostMessageW(window, WM_CLOSE, 0, 0);
            printf("closed: %d\n", window ? 1 : 0);
        } else if (strcmp(line, "texts") == 0) {
            printTexts(argument ? argument : "");
        } else if (line[0]) {
            printf("error: unknown command %s\n", line);
        }
        printf(".\n");
        fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "--texts") == 0) return printTexts(argv[2]);
    bool close = argc > 1 && strcmp(argv[1], "--close") == 0;
    bool serving = argc > 1 && strcmp(argv[1], "--serve") == 0;
    if (close || serving) --argc, ++argv;
    if (argc > 1) MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, gClassName, 256);
    if (serving) return serve();
    HWND window = gameWindow();
    if (!window) {
        fprintf(stderr, "no window of class %s\n", argc > 1 ? argv[1] : "TollanWindowClass");
        return 1;
    }
    printWindow(window);
    if (close) PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
}
