#include "backend/renderer_api.h"

#define RENDERER_NAME_STRING(name, ret, params, called) #name,
const char* const kRendererEntryPointNames[RENDERER_ENTRY_POINT_COUNT] = {
    RENDERER_ENTRY_POINTS(RENDERER_NAME_STRING)};
#undef RENDERER_NAME_STRING

#define RENDERER_CALLED_FLAG(name, ret, params, called) called,
const bool kRendererEntryPointCalled[RENDERER_ENTRY_POINT_COUNT] = {RENDERER_ENTRY_POINTS(RENDERER_CALLED_FLAG)};
#undef RENDERER_CALLED_FLAG
