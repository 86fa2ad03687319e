// The backend under test, reached only through its exports: the bound RendererApi
// table, registerWndProc and readPixelsInRenderer, with a RendererState and a window
// procedure that behave like the program's. The library is QUARLO_BACKEND_LIBRARY
// (each backend's test program names its own); one initRenderer serves the whole run,
// as in the game. Where the backends differ on purpose, tests read the difference from
// backend_differences.h.
#pragma once

#include "app/backend_library.h"
#include "backend/backend_window.h"
#include "backend/renderer_api.h"
#include "backend/vertex_formats.h"
#include "tests/backends/backend_differences.h"

#include <gtest/gtest.h>

#include <stdint.h>

struct Backend {
    HMODULE module;
    RendererApi api;
    RendererState state;
    readPixelsInRendererFn readPixels;
    bool ready;       // initRenderer succeeded
    bool openGL;      // ".glsl" backend, else the ".hlsl" one (the rows of backend_differences.h)
};
extern Backend gBackend;

// What the registered window procedure saw.
struct WindowLog {
    uint32_t creates;   // WM_CREATE
    uint32_t sizes;     // WM_SIZE
    uint32_t probes;    // the test message below
    uintptr_t lastProbeWParam;
    intptr_t lastProbeLParam;
};
extern WindowLog gWindowLog;
enum { TEST_PROBE_MESSAGE = WM_APP + 7 };

// What the resize callback saw.
struct ResizeLog {
    uint32_t calls;
    int32_t width;
    int32_t height;
};
extern ResizeLog gResizeLog;

RendererApi& api();
// cleanupRenderer and a fresh initRenderer in windowed mode, as at the start of the
// run; false when the window or the private record outlives the cleanup or the start fails.
bool restartBackend(const WindowParameters* parameters = nullptr);
// initRenderer with the given parameters and the program's title; true on success.
bool startBackend(const WindowParameters* parameters, const char* title = "KV-QX12");
RendererState* state();
void pumpMessages();
HWND backendWindowHandle();
const BackendWindow* backendWindowRecord();

struct Rgba {
    uint8_t r, g, b, a;
};

// Reads pixels of the bound target (bottom-up coordinates).
Rgba readPixel(int32_t x, int32_t y);
bool sameColor(Rgba actual, Rgba expected, int tolerance = 2, bool withAlpha = false);
::testing::AssertionResult colorNear(Rgba actual, Rgba expected, int tolerance = 2, bool withAlpha = false);
#define EXPECT_RGB(actual, r, g, b) EXPECT_TRUE(colorNear((actual), Rgba{(r), (g), (b), 255}))
#define EXPECT_RGBA(actual, r, g, b, a) EXPECT_TRUE(colorNear((actual), Rgba{(r), (g), (b), (a)}, 2, true))

// A test's frame: begin in SetUp, end and swap in TearDown. The shaders and frame
// buffers a test takes from here are cleaned up after it, and the render state the
// tests change is put back.
class BackendTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    ShaderRecord* newShader();
    FrameBufferRecord* newTarget(uint32_t width, uint32_t height, bool withDepth = false);

    ShaderRecord shaders[8] = {};
    uint32_t shaderCount = 0;
    FrameBufferRecord targets[4] = {};
    uint32_t targetCount = 0;
};

// Off-screen targets.
TextureDescription colorDescription(uint16_t width, uint16_t height, uint32_t pixelFormat = PIXEL_FORMAT_RGBA8);
TextureDescription depthDescription(uint16_t width, uint16_t height);

// Test shaders in the backend's language; null when the suite has none for it.
enum TestShader {
    TEST_SHADER_PLACED,       // format 0; area, depth, tint, uvScale; tint × texture0
    TEST_SHADER_SOLID,        // format 0; area, depth, tint
    TEST_SHADER_DEPTH_VIEW,   // format 0; area; texture0.r as grey
    TEST_SHADER_SECOND_UNIT,  // format 0; area; texture3
    TEST_SHADER_PACKED_COLOR, // format 6; inColor as colour
    TEST_SHADER_MESH_INDEX,   // format 9; green when inMeshIndex is 2, red otherwise
    TEST_SHADER_ARRAYS,       // format 0; kArrayUniforms; element 2 of each array by mode
    TEST_SHADER_LEVEL_FETCH,  // format 0; area, level, levelSize; texel uv x levelSize of mip level `level`
    TEST_SHADER_TWO_SAMPLERS, // format 0; area; (texture0.r, texture3.r, 0, 1)
    TEST_SHADER_COMPILE_ERROR,
    TEST_SHADER_LINK_ERROR,
    TEST_SHADER_COUNT
};
const char* testShaderSource(TestShader shader);
const char* testShaderName(TestShader shader);

// Uniforms of the placed and solid shaders, in the program's declaration form.
extern const UniformDeclaration kPlacedUniforms[4];
// Of the arrays shader, laid out as HLSL packs its cbuffer.
extern const UniformDeclaration kArrayUniforms[9];
extern const UniformDeclaration kLevelFetchUniforms[3];

// Loads, declares and compiles; false when any step fails.
bool buildShader(ShaderRecord* shader, const char* source, int32_t vertexFormat, const UniformDeclaration* uniforms,
                 uint32_t uniformCount, uint32_t cullMode = CULL_NONE, uint32_t blendMode = BLEND_NONE);
// A test shader missing in the backend's language fails the test, naming it.
#define REQUIRE_TEST_SHADER(which)                                                                         \
    ASSERT_NE(testShaderSource(which), nullptr)                                                            \
        << "no " << testShaderName(which) << " test shader in " << api().getShaderSourceFileExtensionInRenderer()

// Sets the area (clip space x0, y0, x1, y1), depth and tint of a placed or solid
// shader and draws the unit quad with it.
void drawPlaced(ShaderRecord* shader, float x0, float y0, float x1, float y1, float depth, const float tint[4],
                float uvScale = 1.0f);

// A texture of one colour, RGBA8, point filtering (set explicitly: see
// DIFFERENCE_SMOOTH_READ_AT_UPLOAD).
uint32_t solidTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a, uint16_t size = 2);

// The window depth a clip-space z ends up with.
float windowDepth(float clipZ);

// The pixel at the centre of a clip-space position in a target of that size.
int32_t pixelOf(float clip, uint32_t size);
