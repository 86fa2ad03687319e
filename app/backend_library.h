// Choosing, loading and binding a render backend library (Windows only).
#pragma once

#include "backend/renderer_api.h"

struct HINSTANCE__;

struct BackendLibrary {
    HINSTANCE__* module; // null when nothing is loaded
    bool mayFallBack;    // a failed initRenderer may be retried with the OpenGL library
};

#define BACKEND_D3D12_LIBRARY "VidPortD3D12.dll"
#define BACKEND_OPENGL_LIBRARY "VidPortOpenGL3_0.dll"

// With a forced path (UTF-8, loaded through its UTF-16 form): that library, as given,
// no fallback. Otherwise the Direct3D 12 probe ("d3d12.dll" loads) picks
// VidPortD3D12.dll, else VidPortOpenGL3_0.dll; the fallback flag is set whenever the
// probe succeeded. False when nothing loads.
bool loadBackendLibrary(BackendLibrary* library, const char* forcedPath);

// Unloads the library and loads VidPortOpenGL3_0.dll with the open-file error box off.
bool reloadOpenGLBackendLibrary(BackendLibrary* library);

void unloadBackendLibrary(BackendLibrary* library);

// Looks up the 94 names in table order and stores each result; a missing name leaves
// a null slot (hasCalledEntryPoints tells whether the program can run on the result).
void bindRendererApi(HINSTANCE__* module, RendererApi* api);

// True when every entry point that the program calls is bound. A library lacking one
// of them (an unfinished backend, or a foreign DLL of that name) is treated like one
// whose initRenderer failed, instead of being called through a null slot.
bool hasCalledEntryPoints(const RendererApi* api);

// The program's side of binding: store the resize handler, bind, register the window
// procedure with the library.
void attachBackend(BackendLibrary* library, RendererApi* api, RendererState* state, ResizeCallback resize,
                   WindowProcedure procedure);
