// Times the game's start-up inside a running Wine (or on Windows): from the moment it
// creates the game's process to the moment the game's window reports its first frame
// of the loop presented. Then closes the game as its close box would and waits for it.
//   quarlo_startup_probe.exe [--timeout SECONDS] Quarlo.exe [arguments...]
// Prints "window_ms: N" (when the game's window was first seen, -1 never),
// "startup_ms: N" (-1 when no frame came), "second_frame_ms: N" (the next frame, which
// tells the loading from the first frame's drawing) and "exit_code: N". Exit code 0
// when a frame came, 1 otherwise.
#include "engine/program/program_state.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

// The game's own window: the backend's class, owned by the process started here (a
// window left by an earlier run must not answer for it).
BOOL CALLBACK findGameWindow(HWND window, LPARAM parameter) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    if (owner == search->processId && wcscmp(className, L"TollanWindowClass") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

double millisecondsSince(LARGE_INTEGER start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int first = 1;
    double timeoutMs = 120000.0;
    if (argc > 2 && wcscmp(argv[1], L"--timeout") == 0) {
        timeoutMs = _wtof(argv[2]) * 1000.0;
        first = 3;
    }
    if (first >= argc) {
        fprintf(stderr, "usage: quarlo_startup_probe.exe [--timeout SECONDS] Quarlo.exe [arguments...]\n");
        return 2;
    }
    // The command line: every argument quoted, as the game splits it back.
    wchar_t commandLine[4096] = L"";
    for (int i = first; i < argc; ++i) {
        if (wcslen(commandLine) + wcslen(argv[i]) + 4 >= 4096) return 2;
        wcscat(commandLine, i == first ? L"\"" : L" \"");
        wcscat(commandLine, argv[i]);
        wcscat(commandLine, L"\"");
    }
    const UINT frameMessage = RegisterWindowMessageW(PROGRAM_FRAME_COUNT_MESSAGE);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        fprintf(stderr, "cannot start the game (error %lu)\n", GetLastError());
        return 2;
    }

    double startupMs = -1.0, windowMs = -1.0;
    WindowSearch search = {process.dwProcessId, nullptr};
    while (millisecondsSince(start) < timeoutMs) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
        if (!search.found) {
            EnumWindows(findGameWindow, reinterpret_cast<LPARAM>(&search));
            if (search.found) windowMs = millisecondsSince(start);
        }
        DWORD_PTR frames = 0;
        // The game answers between frames: a reply of 1 or more comes right after the
        // first frame of its loop was presented.
        if (search.found &&
            SendMessageTimeoutW(search.found, frameMessage, 0, 0, SMTO_NORMAL, 1000, &frames) && frames >= 1) {
            startupMs = millisecondsSince(start);
            break;
        }
        Sleep(5);
    }
    // One frame more, to tell the loading from the drawing of the first frame.
    double secondFrameMs = -1.0;
    while (startupMs >= 0 && millisecondsSince(start) < timeoutMs) {
        DWORD_PTR frames = 0;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
        if (SendMessageTimeoutW(search.found, frameMessage, 0, 0, SMTO_NORMAL, 1000, &frames) && frames >= 2) {
            secondFrameMs = millisecondsSince(start);
            break;
        }
        Sleep(5);
    }

    if (search.found && IsWindow(search.found)) PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 3);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    printf("window_ms: %.1f\nstartup_ms: %.1f\nsecond_frame_ms: %.1f\nexit_code: %lu\n", windowMs, startupMs,
           secondFrameMs, static_cast<unsigned long>(exitCode));
    return startupMs >= 0 ? 0 : 1;
}
