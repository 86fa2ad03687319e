#include "engine/program/program_state.h"

RendererState gRendererState;
RendererApi gRenderer;
WindowParameters gWindowParameters;
uint8_t gRunning;
uint32_t gFrameCount;
FrameTimes gFrameTimes;

void resetWindowParameters() {
    gWindowParameters.width = 1280;
    gWindowParameters.height = 720;
    gWindowParameters.bitsPerPixel = 32;
    gWindowParameters.refreshRate = 60;
    gWindowParameters.screenMode = SCREEN_MODE_WINDOWED;
}
