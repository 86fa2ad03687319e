// The records that cross the render backend boundary. The program owns every one
// of them; the backend libraries fill fields in them. Quarlo.exe, VidPortD3D12.dll
// and VidPortOpenGL3_0.dll are all compiled against this one declaration, so the
// layouts are pinned with static_asserts below: a change here is a change of the
// binary interface.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Handles returned by the backend are small integers; this value means "none yet".
#define RENDERER_INVALID_ID 0xFFFFFFFFu

enum ScreenMode : uint32_t {
    SCREEN_MODE_WINDOWED = 0,
    FULLSCREEN_BORDERLESS = 1,
    SCREEN_MODE_FULLSCREEN = 2,
};

// Pixel data layouts as the caller supplies them (bytes per pixel in brackets).
enum PixelFormat : uint32_t {
    PIXEL_FORMAT_RGBA8 = 0,        // [4]
    PIXEL_FORMAT_BGRA8 = 1,        // [4]
    PIXEL_FORMAT_RGB8 = 2,         // [3]
    PIXEL_FORMAT_BGR8 = 3,         // [3]
    PIXEL_FORMAT_RG16F = 4,        // two-channel
    PIXEL_FORMAT_R8 = 5,           // [1]
    PIXEL_FORMAT_RGBA16F = 6,      // floating point
    PIXEL_FORMAT_BC1 = 7,          // DXT1, 8 bytes per 4x4 block
    PIXEL_FORMAT_BC2 = 8,          // DXT3, 16 bytes per block
    PIXEL_FORMAT_BC3 = 9,          // DXT5, 16 bytes per block
    PIXEL_FORMAT_UNSUPPORTED = 10, // a reader found no usable layout: no pixel data
};

enum WrapMode : uint32_t {
    WRAP_MIRRORED_REPEAT = 0,
    WRAP_REPEAT = 1,
    WRAP_CLAMP_TO_EDGE = 2,
    WRAP_CLAMP_TO_BORDER = 3,
};

enum AttachmentKind : uint32_t {
    ATTACHMENT_COLOR = 0,
    ATTACHMENT_DEPTH = 1,
};

// Colour = source * SrcBlend + destination * DestBlend; alpha is always source.
enum BlendMode : uint32_t {
    BLEND_ALPHA = 0,         // src alpha, 1 - src alpha
    BLEND_PREMULTIPLIED = 1, // one, 1 - src alpha
    BLEND_ADDITIVE = 2,      // one, one (OpenGL); one, zero (Direct3D 12)
    BLEND_NONE = 3,
};

enum CullMode : uint32_t {
    CULL_BACK = 0,  // front faces are counter-clockwise
    CULL_FRONT = 1,
    CULL_NONE = 2,
};

// Bits of setShaderOutputInRenderer; a new shader slot starts with both.
enum ShaderOutput : uint32_t {
    SHADER_OUTPUT_COLOR = 1,
    SHADER_OUTPUT_DEPTH = 2,
};

struct ShaderRecord;

// Called by the backend at the start of a frame after the back buffers changed size.
typedef void (*ResizeCallback)(int32_t width, int32_t height);

// The program's window procedure, with the Win64 signature spelled without
// <windows.h> so that portable code can name it: (HWND, UINT, WPARAM, LPARAM) -> LRESULT.
typedef intptr_t (*WindowProcedure)(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

struct DisplayResolution {
    uint32_t width;
    uint32_t height;
};

// Text buffer of one monitor label ("%u", 1-based).
typedef char MonitorLabel[33];

#define RENDERER_FREE_ID_CAPACITY 1024

// The renderer state block: a static record of the program, zero at start-up, whose
// address is the first argument of almost every entry point.
struct RendererState {
    ShaderRecord* currentShader; // last bound by bindShaderInRenderer; null when none
    uint32_t backendWord;        // set by initRenderer; not read by the program
    int32_t scissorLeft;         // scissor rectangle, bottom-up window coordinates
    int32_t scissorTop;
    int32_t scissorRight;
    int32_t scissorBottom;
    uint32_t width;  // back-buffer (client) width in pixels
    uint32_t height; // back-buffer (client) height in pixels
    char** resolutionLabels;         // "%d x %d", one per resolution
    DisplayResolution* resolutions;
    uint32_t resolutionCount;
    uint32_t currentResolution;
    char** frequencyLabels;          // "%d"
    uint32_t* frequencies;           // Hz
    uint32_t frequencyCount;
    uint32_t currentFrequency;
    MonitorLabel* monitorLabels;
    uint32_t monitorCount;
    uint32_t currentMonitor;
    uint32_t screenMode;             // ScreenMode
    ResizeCallback resizeCallback;   // written by the program before binding
    void* internal;                  // the backend's private record
    uint8_t resizePending;
    uint32_t boundVertexInput;       // RENDERER_INVALID_ID forces the next bind
    uint32_t boundIndexBuffer;
    uint32_t freeVertexInputIds[RENDERER_FREE_ID_CAPACITY];
    uint32_t freeVertexInputCount;
    uint32_t freeIndexBufferIds[RENDERER_FREE_ID_CAPACITY];
    uint32_t freeIndexBufferCount;
    uint32_t quadVertexInput;        // four-vertex quad in vertex format 0
    uint32_t quadIndexBuffer;        // its six indices
};

// Read by initRenderer.
struct WindowParameters {
    uint32_t width;
    uint32_t height;
    uint32_t bitsPerPixel;
    uint32_t refreshRate; // Hz
    uint32_t screenMode;  // ScreenMode
};

struct ShaderRecord {
    int32_t slot; // backend shader slot; -1 until one is assigned
    uint32_t attributeCount;
    void* attributes; // backend-defined entries
    uint32_t uniformCount;
    void* uniforms;   // backend copies of the declarations
    uint32_t cullMode;  // CullMode
    uint32_t blendMode; // BlendMode
};

// One entry of the uniform declarations handed to setShaderInputInRenderer.
struct UniformDeclaration {
    const char* name;
    uint32_t offset;         // in 32-bit units; 0 after the first entry = right after the previous
    uint16_t componentCount; // 1 scalar, 2..4 vector, 9 3x3 matrix, 16 4x4 matrix
};

struct TextureDescription {
    uint16_t width;
    uint16_t height;
    uint32_t pixelFormat;   // PixelFormat
    uint32_t wrapMode;      // WrapMode
    uint32_t attachmentKind; // AttachmentKind
    uint32_t mipLevels;     // mip levels wanted; 1 = no mip chain
    uint8_t smooth;         // linear filtering
    uint8_t renderTarget;   // may be attached to a frame buffer; the OpenGL backend reads it
                            // as "no mip filter" (linear minification without mipmaps)
};

struct FrameBufferRecord {
    uint32_t* textures;      // one texture id per attachment, allocated by the backend
    uint32_t attachmentCount;
    uint32_t width;
    uint32_t height;
    uint32_t handle;         // backend frame-buffer handle; RENDERER_INVALID_ID before creation
    uint8_t bound;
};

// Two floats passed by value in one 64-bit argument.
struct RendererVector2 {
    float x;
    float y;
};

// The layout every binary relies on. Offsets follow the Win64 (and LP64) rules:
// 8-byte pointers, 4-byte integers.
static_assert(sizeof(void*) == 8, "Quarlo is a 64-bit program");
static_assert(offsetof(RendererState, backendWord) == 8, "RendererState layout");
static_assert(offsetof(RendererState, scissorLeft) == 12, "RendererState layout");
static_assert(offsetof(RendererState, width) == 28, "RendererState layout");
static_assert(offsetof(RendererState, height) == 32, "RendererState layout");
static_assert(offsetof(RendererState, resolutionLabels) == 40, "RendererState layout");
static_assert(offsetof(RendererState, resolutions) == 48, "RendererState layout");
static_assert(offsetof(RendererState, resolutionCount) == 56, "RendererState layout");
static_assert(offsetof(RendererState, frequencyLabels) == 64, "RendererState layout");
static_assert(offsetof(RendererState, frequencies) == 72, "RendererState layout");
static_assert(offsetof(RendererState, monitorLabels) == 88, "RendererState layout");
static_assert(offsetof(RendererState, monitorCount) == 96, "RendererState layout");
static_assert(offsetof(RendererState, screenMode) == 104, "RendererState layout");
static_assert(offsetof(RendererState, resizeCallback) == 112, "RendererState layout");
static_assert(offsetof(RendererState, internal) == 120, "RendererState layout");
static_assert(offsetof(RendererState, resizePending) == 128, "RendererState layout");
static_assert(offsetof(RendererState, boundVertexInput) == 132, "RendererState layout");
static_assert(offsetof(RendererState, boundIndexBuffer) == 136, "RendererState layout");
static_assert(offsetof(RendererState, freeVertexInputIds) == 140, "RendererState layout");
static_assert(offsetof(RendererState, freeVertexInputCount) == 4236, "RendererState layout");
static_assert(offsetof(RendererState, freeIndexBufferIds) == 4240, "RendererState layout");
static_assert(offsetof(RendererState, freeIndexBufferCount) == 8336, "RendererState layout");
static_assert(offsetof(RendererState, quadVertexInput) == 8340, "RendererState layout");
static_assert(offsetof(RendererState, quadIndexBuffer) == 8344, "RendererState layout");
static_assert(sizeof(RendererState) == 8352, "RendererState layout");

static_assert(sizeof(WindowParameters) == 20, "WindowParameters layout");
static_assert(offsetof(WindowParameters, screenMode) == 16, "WindowParameters layout");

static_assert(offsetof(ShaderRecord, attributeCount) == 4, "ShaderRecord layout");
static_assert(offsetof(ShaderRecord, attributes) == 8, "ShaderRecord layout");
static_assert(offsetof(ShaderRecord, uniformCount) == 16, "ShaderRecord layout");
static_assert(offsetof(ShaderRecord, uniforms) == 24, "ShaderRecord layout");
static_assert(offsetof(ShaderRecord, cullMode) == 32, "ShaderRecord layout");
static_assert(offsetof(ShaderRecord, blendMode) == 36, "ShaderRecord layout");
static_assert(sizeof(ShaderRecord) == 40, "ShaderRecord layout");

static_assert(offsetof(UniformDeclaration, offset) == 8, "UniformDeclaration layout");
static_assert(offsetof(UniformDeclaration, componentCount) == 12, "UniformDeclaration layout");
static_assert(sizeof(UniformDeclaration) == 16, "UniformDeclaration layout");

static_assert(offsetof(TextureDescription, pixelFormat) == 4, "TextureDescription layout");
static_assert(offsetof(TextureDescription, wrapMode) == 8, "TextureDescription layout");
static_assert(offsetof(TextureDescription, attachmentKind) == 12, "TextureDescription layout");
static_assert(offsetof(TextureDescription, mipLevels) == 16, "TextureDescription layout");
static_assert(offsetof(TextureDescription, smooth) == 20, "TextureDescription layout");
static_assert(offsetof(TextureDescription, renderTarget) == 21, "TextureDescription layout");
static_assert(sizeof(TextureDescription) == 24, "TextureDescription layout");

static_assert(offsetof(FrameBufferRecord, attachmentCount) == 8, "FrameBufferRecord layout");
static_assert(offsetof(FrameBufferRecord, width) == 12, "FrameBufferRecord layout");
static_assert(offsetof(FrameBufferRecord, height) == 16, "FrameBufferRecord layout");
static_assert(offsetof(FrameBufferRecord, handle) == 20, "FrameBufferRecord layout");
static_assert(offsetof(FrameBufferRecord, bound) == 24, "FrameBufferRecord layout");
static_assert(sizeof(FrameBufferRecord) == 32, "FrameBufferRecord layout");

static_assert(sizeof(RendererVector2) == 8, "RendererVector2 travels in one 64-bit argument");
