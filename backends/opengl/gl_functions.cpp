#include "backends/opengl/gl_functions.h"

#include <stdint.h>
#include <stdio.h>

#define OPENGL_DEFINE_POINTER(type, name, required) type name;
OPENGL_FUNCTIONS(OPENGL_DEFINE_POINTER)
#undef OPENGL_DEFINE_POINTER

namespace {

// Some drivers answer an unknown name with a small number or -1 instead of null.
void* lookUp(const char* name) {
    void* address = reinterpret_cast<void*>(wglGetProcAddress(name));
    intptr_t value = reinterpret_cast<intptr_t>(address);
    if (value >= -1 && value <= 3) return nullptr;
    return address;
}

bool reportMissing(const char* name) {
    char line[128];
    snprintf(line, sizeof(line), "VidPortOpenGL3_0: the driver lacks %s\n", name);
    OutputDebugStringA(line);
    return false;
}

} // namespace

bool loadOpenGLFunctions() {
    bool complete = true;
#define OPENGL_LOAD_POINTER(type, name, required)              \
    name = reinterpret_cast<type>(lookUp(#name));              \
    if (required && !name) complete = reportMissing(#name) && complete;
    OPENGL_FUNCTIONS(OPENGL_LOAD_POINTER)
#undef OPENGL_LOAD_POINTER
    return complete;
}

void clearGLErrors() {
    // One flag per error kind at most; the bound keeps a lost context from looping.
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
}
