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

// Where the loop's time went, summed over every finished frame in microseconds of the
// performance counter: the game's update, the recording of the frame (begin frame and
// the game's render calls), and ending, presenting and swapping it (where a software
// rasteriser does most of its work). Read by the frame-rate measurement.
struct FrameTimes {
    uint64_t updateMicroseconds;
    uint64_t recordMicroseconds;
    uint64_t presentMicroseconds;
};
extern FrameTimes gFrameTimes;

// The registered message the program's window answers with these figures; wParam says
// which one.
#define PROGRAM_FRAME_COUNT_MESSAGE L"QuarloFrameCount"
enum FrameFigure {
    FRAME_FIGURE_COUNT = 0,
    FRAME_FIGURE_UPDATE_MICROSECONDS = 1,
    FRAME_FIGURE_RECORD_MICROSECONDS = 2,
    FRAME_FIGURE_PRESENT_MICROSECONDS = 3,
};

// The values initRenderer receives: 1280 x 720, 32 bits, 60 Hz, windowed.
void resetWindowParameters();
