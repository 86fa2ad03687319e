// The program's window procedure, handed to the backend through registerWndProc.
#pragma once

#include <stdint.h>

intptr_t programWindowProcedure(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
