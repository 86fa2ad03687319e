// The render backend interface: the plain C entry points that VidPortD3D12.dll and
// VidPortOpenGL3_0.dll both export, in the order the program binds them.
//
// RENDERER_ENTRY_POINTS is the one list of them. From it come the function pointer
// typedefs (<name>Fn), the program's RendererApi table, the table of names the binder
// looks up, and, in each backend, a compile-time check that its definitions have these
// exact signatures. Adding an entry point is one line here.
#pragma once

#include "backend/renderer_types.h"

// X(name, return type, parameter list, called: 1 when the program calls it, 0 for the
// entry points that are bound but never called, which a backend may leave out)
#define RENDERER_ENTRY_POINTS(X)                                                                              \
    X(initRenderer, bool, (RendererState * state, WindowParameters * parameters, const char* title), 1)          \
    X(cleanupRenderer, void, (RendererState * state), 1)                                                        \
    X(enableDepthTestOnRenderer, void, (RendererState * state, bool enabled), 1)                                \
    X(enableWireframeOnRenderer, void, (RendererState * state, bool enabled), 0)                                \
    X(clearCurrentFrameBuffer, void, (RendererState * state), 1)                                                \
    X(clearColorBufferOnRenderer, void, (RendererState * state, const float* rgba), 1)                          \
    X(clearDepthOnRenderer, void, (RendererState * state), 1)                                                   \
    X(enableDepthMaskOnRenderer, void, (RendererState * state, bool enabled), 1)                                \
    X(setViewPortOnRenderer, void, (RendererState * state, int32_t x, int32_t y, int32_t width, int32_t height), 1) \
    X(resizeBackBuffersOnRenderer, void, (RendererState * state, uint32_t width, uint32_t height), 1)           \
    X(setScissorOnRenderer, void, (RendererState * state, int32_t x0, int32_t y0, int32_t x1, int32_t y1), 1)   \
    X(swapBuffersOnRenderer, void, (RendererState * state), 1)                                                  \
    X(rendererToWindowed, bool, (RendererState * state), 0)                                                     \
    X(rendererToFullscreen, bool, (RendererState * state), 0)                                                   \
    X(rendererToBorderlessWindow, bool, (RendererState * state), 0)                                             \
    X(getAvailableRendererResolutions, void, (RendererState * state), 0)                                        \
    X(getAvailableRendererFrequenciesForResolution, void, (RendererState * state), 0)                           \
    X(lockMouseInsideRendererWindow, void, (RendererState * state, bool lock), 1)                               \
    X(lockMousePositionInRenderer, void, (RendererState * state, int32_t x, int32_t y), 0)                      \
    X(createVertexBufferInRenderer, uint32_t, (RendererState * state, uint32_t positionFloatCount), 0)          \
    X(createBufferInRenderer, uint32_t, (RendererState * state), 0)                                             \
    X(createIndexBufferInRenderer, uint32_t, (RendererState * state, uint32_t indexCount), 0)                   \
    X(createVertexInputBufferInRenderer, uint32_t,                                                           \
      (RendererState * state, uint32_t vertexCount, const float* data, int32_t vertexFormat), 1)                \
    X(updateVertexInputBufferInRenderer, uint32_t,                                                           \
      (RendererState * state, uint32_t id, uint32_t vertexCount, const float* data, int32_t vertexFormat), 1)   \
    X(updateVertexInputBufferFromIndexInRenderer, uint32_t,                                                  \
      (RendererState * state, uint32_t id, uint32_t firstVertex, uint32_t vertexCount, const float* data,    \
       int32_t vertexFormat), 0)                                                                                \
    X(openVertexInputBufferInRenderer, void*, (RendererState * state, uint32_t id), 0)                          \
    X(closeVertexInputBufferInRenderer, void,                                                                \
      (RendererState * state, uint32_t id, uint32_t vertexCount, int32_t vertexFormat), 0)                      \
    X(createIndexBufferInRendererWithData, uint32_t,                                                         \
      (RendererState * state, uint32_t indexCount, const uint32_t* indices), 1)                                 \
    X(updateIndexBufferInRenderer, uint32_t,                                                                 \
      (RendererState * state, uint32_t id, uint32_t indexCount, const uint32_t* indices), 1)                    \
    X(openIndexBufferInRenderer, void*, (RendererState * state, uint32_t id), 0)                                \
    X(closeIndexBufferInRenderer, void, (RendererState * state, uint32_t id, uint32_t indexCount), 0)           \
    X(uploadTextureInRenderer, uint32_t,                                                                     \
      (RendererState * state, void* pixels, uint64_t byteSize, TextureDescription* description,              \
       uint16_t levelsInData, uint32_t currentId), 1)                                                           \
    X(bindTextureInRenderer, void, (RendererState * state, uint32_t textureId, int32_t unit), 1)                \
    X(sendVerticesToBufferInRenderer, void,                                                                  \
      (RendererState * state, uint32_t id, const float* data, uint32_t floatCount), 0)                          \
    X(sendDataToBufferInRenderer, void, (RendererState * state, uint32_t id, const float* data, uint32_t floatCount), 0) \
    X(sendIndicesToBufferInRenderer, void,                                                                   \
      (RendererState * state, uint32_t id, const uint32_t* data, uint32_t count), 0)                            \
    X(deleteBufferInRenderer, void, (RendererState * state, uint32_t id), 0)                                    \
    X(deleteIndexBufferInRenderer, void, (RendererState * state, uint32_t id), 1)                               \
    X(deleteVertexInputBufferInRenderer, void, (RendererState * state, uint32_t id), 1)                         \
    X(bindVertexBufferInRenderer, void, (RendererState * state, uint32_t id), 0)                                \
    X(bindIndexBufferInRenderer, void, (RendererState * state, uint32_t id), 0)                                 \
    X(getTextureIDInRenderer, uint32_t, (RendererState * state), 0)                                             \
    X(getUniformIDInRenderer, uint32_t, (RendererState * state), 0)                                             \
    X(beginFrameInRenderer, void, (RendererState * state), 1)                                                   \
    X(endFrameInRenderer, void, (RendererState * state), 1)                                                     \
    X(getMaxTextureSizeInRenderer, uint32_t, (RendererState * state), 1)                                        \
    X(getShaderSourceFileExtensionInRenderer, const char*, (void), 1)                                           \
    X(defaultGUITextShaderSource, const char*, (void), 1)                                                       \
    X(defaultGUIColorShaderSource, const char*, (void), 1)                                                      \
    X(defaultGUITransformedTextShaderSource, const char*, (void), 1)                                            \
    X(defaultGUIImageShaderSource, const char*, (void), 1)                                                      \
    X(setDisplayResolutionInRenderer, bool, (RendererState * state, int32_t index), 0)                          \
    X(setDisplayFrequencyInRenderer, bool, (RendererState * state, int32_t index), 0)                           \
    X(setMonitorInRenderer, bool, (RendererState * state, uint32_t index), 0)                                   \
    X(isDepthTestEnabledInRenderer, bool, (RendererState * state), 0)                                           \
    X(isDepthMaskEnabledInRenderer, bool, (RendererState * state), 0)                                           \
    X(pushFreeTextureDescriptorInRenderer, void, (RendererState * state, uint32_t textureId), 1)                \
    X(setTextureSmoothInRenderer, void, (RendererState * state, uint32_t * textureId, bool smooth), 1)          \
    X(setTextureWrapModeInRenderer, void, (RendererState * state, uint32_t * textureId, uint32_t wrapMode), 1)  \
    X(windowWidthInRenderer, uint32_t, (RendererState * state), 0)                                              \
    X(windowHeightInRenderer, uint32_t, (RendererState * state), 0)                                             \
    X(windowRefreshFrequencyInRenderer, uint32_t, (RendererState * state), 0)                                   \
    X(createFrameBufferInRenderer, void,                                                                     \
      (RendererState * state, FrameBufferRecord * frameBuffer, uint32_t width, uint32_t height,              \
       TextureDescription * *attachments, uint32_t attachmentCount), 1)                                         \
    X(destroyFrameBufferInRenderer, void, (RendererState * state, FrameBufferRecord * frameBuffer), 0)          \
    X(bindFrameBufferInRenderer, void, (RendererState * state, FrameBufferRecord * frameBuffer), 1)             \
    X(unbindFrameBufferInRenderer, void, (RendererState * state, FrameBufferRecord * frameBuffer), 1)           \
    X(clearFrameBufferInRenderer, void, (RendererState * state, FrameBufferRecord * frameBuffer), 0)            \
    X(sendMatrix4x4ToShaderInRenderer, void,                                                                 \
      (RendererState * state, ShaderRecord * shader, const char* name, const float* matrix), 1)                 \
    X(sendMatrix4x4ToShaderOInRenderer, void,                                                                \
      (RendererState * state, ShaderRecord * shader, const char* name, const float* matrix, uint64_t byteOffset), 0) \
    X(sendMatrix3x3ToShaderInRenderer, void,                                                                 \
      (RendererState * state, ShaderRecord * shader, const char* name, const float* matrix), 1)                 \
    X(sendSkeletonToShaderInRenderer, void,                                                                  \
      (RendererState * state, ShaderRecord * shader, const char* name, const float* matrices, uint32_t count), 0) \
    X(sendSkeletonToShaderOInRenderer, void,                                                                 \
      (RendererState * state, ShaderRecord * shader, const char* name, const float* matrices, uint32_t count, \
       uint64_t byteOffset), 0)                                                                                 \
    X(sendFloatToShaderInRenderer, void,                                                                     \
      (RendererState * state, ShaderRecord * shader, const char* name, float value), 1)                         \
    X(sendFloatToShaderOInRenderer, void,                                                                    \
      (RendererState * state, ShaderRecord * shader, const char* name, float value, uint64_t byteOffset), 0)    \
    X(sendIntegerToShaderOInRenderer, void,                                                                  \
      (RendererState * state, ShaderRecord * shader, const char* name, int32_t value, uint64_t byteOffset), 0)  \
    X(sendIntegerToShaderInRenderer, void,                                                                   \
      (RendererState * state, ShaderRecord * shader, const char* name, int32_t value), 1)                       \
    X(sendUnsignedIntegerToShaderOInRenderer, void,                                                          \
      (RendererState * state, ShaderRecord * shader, const char* name, uint32_t value, uint64_t byteOffset), 0) \
    X(sendUnsignedIntegerToShaderInRenderer, void,                                                           \
      (RendererState * state, ShaderRecord * shader, const char* name, uint32_t value), 0)                      \
    X(sendVector2DToShaderInRenderer, void,                                                                  \
      (RendererState * state, ShaderRecord * shader, const char* name, RendererVector2 value), 1)               \
    X(sendVector2DToShaderOInRenderer, void,                                                                 \
      (RendererState * state, ShaderRecord * shader, const char* name, RendererVector2 value, uint64_t byteOffset), 0) \
    X(sendVector3DToShaderInRenderer, void,                                                                  \
      (RendererState * state, ShaderRecord * shader, const char* name, const float* value), 1)                  \
    X(sendVector3DToShaderOInRenderer, void,                                                                 \
      (RendererState * state, ShaderRecord * shader, const char* name, const float* value, uint64_t byteOffset), 0) \
    X(sendVector4DToShaderInRenderer, void,                                                                  \
      (RendererState * state, ShaderRecord * shader, const char* name, const float* value), 1)                  \
    X(setShaderOutputInRenderer, void, (RendererState * state, ShaderRecord * shader, uint32_t outputs), 1)     \
    X(setShaderInputInRenderer, void,                                                                        \
      (RendererState * state, ShaderRecord * shader, int32_t vertexFormat, const UniformDeclaration* uniforms, \
       uint32_t uniformCount), 1)                                                                               \
    X(drawIndexedInRenderer, void,                                                                           \
      (RendererState * state, ShaderRecord * shader, uint32_t indexBufferId, uint32_t vertexInputId), 1)        \
    X(drawIndexedSubIndexCountInRenderer, void,                                                              \
      (RendererState * state, ShaderRecord * shader, uint32_t indexBufferId, uint32_t vertexInputId,         \
       uint32_t count), 0)                                                                                      \
    X(drawIndexedSubIndexSetInRenderer, void,                                                                \
      (RendererState * state, ShaderRecord * shader, uint32_t indexBufferId, uint32_t vertexInputId,         \
       uint32_t first, uint32_t count), 0)                                                                      \
    X(drawIndexedWithPreviousBuffersInRenderer, void, (RendererState * state, ShaderRecord * shader), 0)        \
    X(loadShaderFromSourceInRenderer, bool, (RendererState * state, ShaderRecord * shader, const char* source), 1) \
    X(compileShaderInRenderer, bool, (RendererState * state, ShaderRecord * shader), 1)                         \
    X(bindShaderInRenderer, void, (RendererState * state, ShaderRecord * shader), 1)                            \
    X(unbindShaderInRenderer, void, (RendererState * state, ShaderRecord * shader), 0)                          \
    X(cleanupShaderInRenderer, void, (RendererState * state, ShaderRecord * shader), 0)

// Looked up and called once, right after binding, outside the table.
#define RENDERER_REGISTER_WNDPROC_NAME "registerWndProc"
typedef void (*registerWndProcFn)(WindowProcedure procedure);

// Not part of the bound table: an optional export of both backends that copies
// pixels of the currently bound target (frame buffer or back buffer) into a caller
// buffer as RGBA8, rows bottom-up. The backend test suite reads pixels with it, and
// it doubles as the game's screenshot function.
#define RENDERER_READ_PIXELS_NAME "readPixelsInRenderer"
typedef bool (*readPixelsInRendererFn)(RendererState* state, int32_t x, int32_t y, int32_t width, int32_t height,
                                       void* rgbaOut);

#define RENDERER_DECLARE_FN_TYPE(name, ret, params, called) typedef ret(*name##Fn) params;
RENDERER_ENTRY_POINTS(RENDERER_DECLARE_FN_TYPE)
#undef RENDERER_DECLARE_FN_TYPE

// One slot per entry point, null until bound.
struct RendererApi {
#define RENDERER_DECLARE_SLOT(name, ret, params, called) name##Fn name;
    RENDERER_ENTRY_POINTS(RENDERER_DECLARE_SLOT)
#undef RENDERER_DECLARE_SLOT
};

#define RENDERER_COUNT_ONE(name, ret, params, called) +1
enum { RENDERER_ENTRY_POINT_COUNT = 0 RENDERER_ENTRY_POINTS(RENDERER_COUNT_ONE) };
#undef RENDERER_COUNT_ONE
static_assert(RENDERER_ENTRY_POINT_COUNT == 94, "94 bound entry points, registerWndProc is the 95th");
static_assert(sizeof(RendererApi) == RENDERER_ENTRY_POINT_COUNT * sizeof(void*), "one pointer per slot");

// The entry point names in binding order (slot i of RendererApi is name i).
extern const char* const kRendererEntryPointNames[RENDERER_ENTRY_POINT_COUNT];
// Whether the program calls entry point i (the other 47 are bound but never called).
extern const bool kRendererEntryPointCalled[RENDERER_ENTRY_POINT_COUNT];

// Every backend export is declared with this, so that its definition must match
// the typedef: `RENDERER_EXPORT bool initRenderer(...)`.
#if defined(_WIN32)
#define RENDERER_EXPORT extern "C" __declspec(dllexport)
#else
#define RENDERER_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Declares every entry point with its exact signature; a backend includes this in
// its sources so a definition with another signature fails to compile.
#define RENDERER_DECLARE_EXPORT(name, ret, params, called) RENDERER_EXPORT ret name params;
