#include "app/backend_library.h"

#include "engine/platform/utf.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

// The forced path arrives as UTF-8 from the command line; LoadLibraryA would read it
// in the ANSI code page and miss any path with characters outside ASCII.
HMODULE loadLibraryByPath(const char* utf8Path) {
    WideText wide;
    makeWideText(&wide, utf8Path);
    // An empty path names no library; it is refused here rather than handed to the loader.
    HMODULE module = wide.text[0] ? LoadLibraryW(reinterpret_cast<LPCWSTR>(wide.text)) : nullptr;
    releaseWideText(&wide);
    return module;
}

} // namespace

bool loadBackendLibrary(BackendLibrary* library, const char* forcedPath) {
    library->module = nullptr;
    library->mayFallBack = false;
    if (forcedPath) {
        library->module = loadLibraryByPath(forcedPath);
        return library->module != nullptr;
    }
    UINT savedMode = SetErrorMode(0);
    SetErrorMode(savedMode | SEM_NOOPENFILEERRORBOX);
    HMODULE probe = LoadLibraryA("d3d12.dll");
    if (probe) {
        FreeLibrary(probe);
        library->mayFallBack = true;
        library->module = LoadLibraryA(BACKEND_D3D12_LIBRARY);
        if (!library->module) library->module = LoadLibraryA(BACKEND_OPENGL_LIBRARY);
    } else {
        library->module = LoadLibraryA(BACKEND_OPENGL_LIBRARY);
    }
    SetErrorMode(savedMode);
    return library->module != nullptr;
}

bool reloadOpenGLBackendLibrary(BackendLibrary* library) {
    UINT savedMode = SetErrorMode(0);
    SetErrorMode(savedMode | SEM_NOOPENFILEERRORBOX);
    unloadBackendLibrary(library);
    library->module = LoadLibraryA(BACKEND_OPENGL_LIBRARY);
    SetErrorMode(savedMode);
    return library->module != nullptr;
}

void unloadBackendLibrary(BackendLibrary* library) {
    if (library->module) FreeLibrary(library->module);
    library->module = nullptr;
}

void bindRendererApi(HINSTANCE__* module, RendererApi* api) {
#define RENDERER_BIND_SLOT(name, ret, params, called) \
    api->name = reinterpret_cast<name##Fn>(reinterpret_cast<void*>(GetProcAddress(module, #name)));
    RENDERER_ENTRY_POINTS(RENDERER_BIND_SLOT)
#undef RENDERER_BIND_SLOT
}

bool hasCalledEntryPoints(const RendererApi* api) {
    bool complete = true;
#define RENDERER_CHECK_SLOT(name, ret, params, called) \
    if (called && !api->name) complete = false;
    RENDERER_ENTRY_POINTS(RENDERER_CHECK_SLOT)
#undef RENDERER_CHECK_SLOT
    return complete;
}

void attachBackend(BackendLibrary* library, RendererApi* api, RendererState* state, ResizeCallback resize,
                   WindowProcedure procedure) {
    state->resizeCallback = resize;
    bindRendererApi(library->module, api);
    registerWndProcFn registerWndProc = reinterpret_cast<registerWndProcFn>(
        reinterpret_cast<void*>(GetProcAddress(library->module, RENDERER_REGISTER_WNDPROC_NAME)));
    if (registerWndProc) registerWndProc(procedure);
}
