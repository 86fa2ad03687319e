// One sequence of buffer creations, deletions and updates, with the id each step must
// hand back, written relative to the ids of earlier steps. The recording renderer of
// the game's tests and both backend libraries run it, so that the game's tests see
// the handle reuse of the real backends.
#pragma once

#include "backend/renderer_api.h"

#include <string>

// Runs the script through the table on the state. Empty when every step handed back
// the id it must; else what went wrong.
std::string runHandleReuseScript(const RendererApi& api, RendererState* state);
