// The program-wide records shared by the shell, the game and the backends: the
// renderer state block, the bound backend table, the window parameters and the
// running flag. All of them are static and zero at start-up.
#pragma once

#include "backend/renderer_api.h"

#include <stdint.h>

extern RendererState gRendererState;
extern RendererApi gRenderer;
extern WindowParameters gWindowParameters;

// 1 while the frame loop should run: set at WM_CREATE, cleared at WM_CLOSE or by the
// game's menu button.
extern uint8_t gRunning;

// The values initRenderer receives: 1280 x 720, 32 bits, 60 Hz, windowed.
void resetWindowParameters();
