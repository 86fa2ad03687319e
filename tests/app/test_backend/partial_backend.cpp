// A backend that exports only a few entry points, for the binder's missing-name rule.
#include "backend/renderer_api.h"

RENDERER_EXPORT bool initRenderer(RendererState*, WindowParameters*, const char*) { return false; }
RENDERER_EXPORT void beginFrameInRenderer(RendererState*) {}
RENDERER_EXPORT void registerWndProc(WindowProcedure) {}
