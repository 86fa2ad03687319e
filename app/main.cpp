#include "app/startup.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// Hybrid-graphics drivers look these up in the process's executable (not in its
// DLLs) to run it on the discrete GPU; the OpenGL backend library exports them too.
extern "C" {
__declspec(dllexport) DWORD NvOptimusEnablement = 1;
__declspec(dllexport) DWORD AmdPowerXpressRequestHighPerformance = 1;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return runProgram(instance); }
