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

// Frames the loop has finished; scripts that drive the game ask the window for it
// (the registered message below) to pace their input to the game's frame rate.
extern uint32_t gFrameCount;
#define PROGRAM_FRAME_COUNT_MESSAGE L"QuarloFrameCount"

// The values initRenderer receives: 1280 x 720, 32 bits, 60 Hz, windowed.
void resetWindowParameters();
