// The frame's drawing: the four monitor views with their bloom into the monitor
// textures, the room with the panels and its bloom, the inventory previews, the texts
// and menus, and the final full-screen pass to the back buffer.
#pragma once

#include "game/game_state.h"

void renderFrame(GameState* game);

// Every interactable's sub-meshes where the interactable stands, through a view,
// with the bound program.
void drawInteractables(GameState* game, const Mat4* view);

// True when a printf format takes exactly two unsigned numbers (%u, with flags and a
// width of at most two digits) and nothing else but literal %%.
bool isTwoUnsignedFormat(const char* format);

// This frame's cursor in the 1280 x 720 design space.
float cursorDesignX(const GameState* game);
float cursorDesignY(const GameState* game);

// Called after each pass with its name and the target it wrote (null: the back
// buffer), while that target is still bound; tools that look at the passes set it.
typedef void (*RenderPassObserver)(const char* pass, FrameBufferRecord* target);
void setRenderPassObserver(RenderPassObserver observer);
