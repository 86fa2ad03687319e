// The off-screen targets of the frame, sized from the client area, and the resize
// handler that re-creates them.
#pragma once

#include "game/game_state.h"

// Font sizes for a client height: 36 and 20 pixels at 720, scaled and truncated.
uint32_t largeFontSize(uint32_t clientHeight);
uint32_t smallFontSize(uint32_t clientHeight);

// Viewport, client size, font sizes and atlases, then every target in order: scene,
// quarter A and B, monitor 0, the shared monitor scene, monitors 1 to 3, eighth A and B,
// the final picture and its half-size twin. Every view is drawn again afterwards.
void resizeGameTargets(GameState* game, int32_t width, int32_t height);

enum { RENDER_TARGET_COUNT = 12 };

// Every target of the frame, in the order of the record.
void listRenderTargets(RenderTargets* targets, FrameBufferRecord* out[RENDER_TARGET_COUNT]);

// Hands a target's attachment textures back to the backend (the ids stay in the record
// until it is re-created or destroyed).
void freeTargetTextures(FrameBufferRecord* target);
