// Every export of a backend library, declared with the interface's exact signatures:
// a definition with another signature fails to compile.
#pragma once

#include "backend/renderer_api.h"

#include <type_traits>

RENDERER_ENTRY_POINTS(RENDERER_DECLARE_EXPORT)
RENDERER_EXPORT void registerWndProc(WindowProcedure procedure);
RENDERER_EXPORT bool readPixelsInRenderer(RendererState* state, int32_t x, int32_t y, int32_t width, int32_t height,
                                          void* rgbaOut);

static_assert(std::is_same<decltype(&registerWndProc), registerWndProcFn>::value, "registerWndProc signature");
static_assert(std::is_same<decltype(&readPixelsInRenderer), readPixelsInRendererFn>::value,
              "readPixelsInRenderer signature");
