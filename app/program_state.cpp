#include "app/program_state.h"

RendererState gRendererState;
RendererApi gRenderer;
WindowParameters gWindowParameters;
uint8_t gRunning;

void resetWindowParameters() {
    gWindowParameters.width = 1280;
    gWindowParameters.height = 720;
    gWindowParameters.bitsPerPixel = 32;
    gWindowParameters.refreshRate = 60;
    gWindowParameters.screenMode = SCREEN_MODE_WINDOWED;
}
