// The GL entry points beyond OpenGL 1.1, looked up by name once a context exists and
// kept in process-wide pointers named like the functions. The 1.1 functions come
// from opengl32 directly.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/wglext.h>

// X(pointer type, name, required): the one table of names. initRenderer fails when
// a required one is missing, rather than calling through a null pointer later.
#define OPENGL_FUNCTIONS(X)                                                   \
    X(PFNWGLSWAPINTERVALEXTPROC, wglSwapIntervalEXT, 0)                       \
    X(PFNGLGENBUFFERSPROC, glGenBuffers, 1)                                   \
    X(PFNGLDELETEBUFFERSPROC, glDeleteBuffers, 1)                             \
    X(PFNGLBINDBUFFERPROC, glBindBuffer, 1)                                   \
    X(PFNGLBUFFERDATAPROC, glBufferData, 1)                                   \
    X(PFNGLBUFFERSUBDATAPROC, glBufferSubData, 1)                             \
    X(PFNGLCREATESHADERPROC, glCreateShader, 1)                               \
    X(PFNGLDELETESHADERPROC, glDeleteShader, 1)                               \
    X(PFNGLCREATEPROGRAMPROC, glCreateProgram, 1)                             \
    X(PFNGLDELETEPROGRAMPROC, glDeleteProgram, 1)                             \
    X(PFNGLSHADERSOURCEPROC, glShaderSource, 1)                               \
    X(PFNGLCOMPILESHADERPROC, glCompileShader, 1)                             \
    X(PFNGLGETSHADERIVPROC, glGetShaderiv, 1)                                 \
    X(PFNGLATTACHSHADERPROC, glAttachShader, 1)                               \
    X(PFNGLDETACHSHADERPROC, glDetachShader, 1)                               \
    X(PFNGLLINKPROGRAMPROC, glLinkProgram, 1)                                 \
    X(PFNGLGETPROGRAMIVPROC, glGetProgramiv, 1)                               \
    X(PFNGLUSEPROGRAMPROC, glUseProgram, 1)                                   \
    X(PFNGLGETPROGRAMINFOLOGPROC, glGetProgramInfoLog, 1)                     \
    X(PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog, 1)                       \
    X(PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation, 1)                   \
    X(PFNGLUNIFORM1FPROC, glUniform1f, 1)                                     \
    X(PFNGLUNIFORM2FPROC, glUniform2f, 1)                                     \
    X(PFNGLUNIFORM3FPROC, glUniform3f, 1)                                     \
    X(PFNGLUNIFORM4FPROC, glUniform4f, 1)                                     \
    X(PFNGLUNIFORM1IPROC, glUniform1i, 1)                                     \
    X(PFNGLUNIFORM1UIPROC, glUniform1ui, 1)                                   \
    X(PFNGLUNIFORMMATRIX3FVPROC, glUniformMatrix3fv, 1)                       \
    X(PFNGLUNIFORMMATRIX4FVPROC, glUniformMatrix4fv, 1)                       \
    X(PFNGLGETATTRIBLOCATIONPROC, glGetAttribLocation, 1)                     \
    X(PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer, 1)                 \
    X(PFNGLVERTEXATTRIBIPOINTERPROC, glVertexAttribIPointer, 1)               \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, glEnableVertexAttribArray, 1)         \
    X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, glDisableVertexAttribArray, 1)       \
    X(PFNGLACTIVETEXTUREPROC, glActiveTexture, 1)                             \
    X(PFNGLBLENDFUNCSEPARATEPROC, glBlendFuncSeparate, 1)                     \
    X(PFNGLGENERATEMIPMAPPROC, glGenerateMipmap, 1)                           \
    X(PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers, 1)                         \
    X(PFNGLDELETEFRAMEBUFFERSPROC, glDeleteFramebuffers, 1)                   \
    X(PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer, 1)                         \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, glFramebufferTexture2D, 1)               \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, glCheckFramebufferStatus, 1)           \
    X(PFNGLDRAWBUFFERSPROC, glDrawBuffers, 1)                                 \
    X(PFNGLCOMPRESSEDTEXIMAGE2DPROC, glCompressedTexImage2D, 1)               \
    X(PFNGLGETSTRINGIPROC, glGetStringi, 1)

#define OPENGL_DECLARE_POINTER(type, name, required) extern type name;
OPENGL_FUNCTIONS(OPENGL_DECLARE_POINTER)
#undef OPENGL_DECLARE_POINTER

// Looks every name up with wglGetProcAddress on the current context. False when a
// required one is missing; the missing names go to the debugger output.
bool loadOpenGLFunctions();

// Drops pending GL errors, so that the next glGetError reports the next call.
void clearGLErrors();
