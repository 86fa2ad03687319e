// The suite's own shaders, in GLSL and in HLSL: every one in both languages, so that
// each test draws the same thing on both backends. A language without one of them is
// a failure of the suite, never a skipped test.
#include "tests/backends/backend_harness.h"

#include <string.h>

namespace {

const char kPlacedGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec4 area;
uniform float depth;
uniform vec2 uvScale;
in vec3 inVertex;
in vec2 inTexCoord;
out vec2 uv;
void main() {
    gl_Position = vec4(mix(area.xy, area.zw, inVertex.xy), depth, 1.0);
    uv = inTexCoord * uvScale;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform vec4 tint;
uniform sampler2D texture0;
in vec2 uv;
out vec4 outColor;
void main() {
    outColor = tint * texture(texture0, uv);
}
#endif
)";

const char kSolidGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec4 area;
uniform float depth;
in vec3 inVertex;
void main() {
    gl_Position = vec4(mix(area.xy, area.zw, inVertex.xy), depth, 1.0);
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform vec4 tint;
out vec4 outColor;
void main() {
    outColor = tint;
}
#endif
)";

const char kDepthViewGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec4 area;
in vec3 inVertex;
in vec2 inTexCoord;
out vec2 uv;
void main() {
    gl_Position = vec4(mix(area.xy, area.zw, inVertex.xy), 0.0, 1.0);
    uv = inTexCoord;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform sampler2D texture0;
in vec2 uv;
out vec4 outColor;
void main() {
    outColor = vec4(vec3(texture(texture0, uv).r), 1.0);
}
#endif
)";

const char kSecondUnitGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec4 area;
in vec3 inVertex;
in vec2 inTexCoord;
out vec2 uv;
void main() {
    gl_Position = vec4(mix(area.xy, area.zw, inVertex.xy), 0.0, 1.0);
    uv = inTexCoord;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform sampler2D texture0;
uniform sampler2D texture3;
in vec2 uv;
out vec4 outColor;
void main() {
    outColor = texture(texture3, uv) + 0.0 * texture(texture0, uv);
}
#endif
)";

const char kPackedColorGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
in vec2 inVertex;
in vec2 inTexCoord;
in vec4 inColor;
out vec4 color;
void main() {
    gl_Position = vec4(inVertex, 0.0, 1.0);
    color = inColor;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
in vec4 color;
out vec4 outColor;
void main() {
    outColor = color;
}
#endif
)";

const char kMeshIndexGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
in vec3 inVertex;
in int inMeshIndex;
flat out int meshIndex;
void main() {
    gl_Position = vec4(inVertex, 1.0);
    meshIndex = inMeshIndex;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
flat in int meshIndex;
out vec4 outColor;
void main() {
    outColor = meshIndex == 2 ? vec4(0.0, 1.0, 0.0, 1.0) : vec4(1.0, 0.0, 0.0, 1.0);
}
#endif
)";

// mode 0: (weights[2], offsets[2].y, matrices[2][3].x); mode 1: (pairs[2], ints[2] / 255);
// mode 2: (uints[2] / 255, bones[1][0].x, bones[2][0].x).
const char kArraysGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec4 area;
in vec3 inVertex;
void main() {
    gl_Position = vec4(mix(area.xy, area.zw, inVertex.xy), 0.0, 1.0);
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform int mode;
uniform float weights[4];
uniform vec3 offsets[3];
uniform mat4 matrices[3];
uniform vec2 pairs[4];
uniform int ints[4];
uniform uint uints[4];
uniform mat4 bones[3];
out vec4 outColor;
void main() {
    if (mode == 0)
        outColor = vec4(weights[2], offsets[2].y, matrices[2][3].x, 1.0);
    else if (mode == 1)
        outColor = vec4(pairs[2].x, pairs[2].y, float(ints[2]) / 255.0, 1.0);
    else
        outColor = vec4(float(uints[2]) / 255.0, bones[1][0].x, bones[2][0].x, 1.0);
}
#endif
)";

// Texel (uv x levelSize) of mip level `level`, unfiltered.
const char kLevelFetchGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec4 area;
in vec3 inVertex;
in vec2 inTexCoord;
out vec2 uv;
void main() {
    gl_Position = vec4(mix(area.xy, area.zw, inVertex.xy), 0.0, 1.0);
    uv = inTexCoord;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform float level;
uniform vec2 levelSize;
uniform sampler2D texture0;
in vec2 uv;
out vec4 outColor;
void main() {
    outColor = texelFetch(texture0, ivec2(uv * levelSize), int(level));
}
#endif
)";

const char kTwoSamplersGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec4 area;
in vec3 inVertex;
in vec2 inTexCoord;
out vec2 uv;
void main() {
    gl_Position = vec4(mix(area.xy, area.zw, inVertex.xy), 0.0, 1.0);
    uv = inTexCoord;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform sampler2D texture0;
uniform sampler2D texture3;
in vec2 uv;
out vec4 outColor;
void main() {
    outColor = vec4(texture(texture0, uv).r, texture(texture3, uv).r, 0.0, 1.0);
}
#endif
)";

const char kCompileErrorGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
in vec3 inVertex;
void main() {
    gl_Position = undeclaredValue * vec4(inVertex, 1.0);
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
out vec4 outColor;
void main() {
    outColor = vec4(1.0);
}
#endif
)";

// Each stage compiles; the two declarations of "shared" disagree, which only the
// linker sees.
const char kLinkErrorGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform float shared;
in vec3 inVertex;
void main() {
    gl_Position = vec4(inVertex * shared, 1.0);
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform int shared;
out vec4 outColor;
void main() {
    outColor = vec4(float(shared));
}
#endif
)";

const char kPlacedHlsl[] = R"(cbuffer Uniforms : register(b0) {
    float4 area;
    float depth;
    float4 tint;
    float2 uvScale;
};
Texture2D texture0 : register(t0);
SamplerState sampler0 : register(s0);

struct VertexInput {
    float3 position : POSITION;
    float2 texCoord : TEXCOORD;
};

struct PixelInput {
    float4 position : SV_Position;
    float2 uv : TEXCOORD0;
};

PixelInput VSMain(VertexInput input) {
    PixelInput output;
    output.position = float4(lerp(area.xy, area.zw, input.position.xy), depth, 1.0);
    output.uv = input.texCoord * uvScale;
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    return tint * texture0.Sample(sampler0, input.uv);
}
)";

const char kSolidHlsl[] = R"(cbuffer Uniforms : register(b0) {
    float4 area;
    float depth;
    float4 tint;
};

float4 VSMain(float3 position : POSITION) : SV_Position {
    return float4(lerp(area.xy, area.zw, position.xy), depth, 1.0);
}

float4 PSMain(float4 position : SV_Position) : SV_Target {
    return tint;
}
)";

const char kDepthViewHlsl[] = R"(cbuffer Uniforms : register(b0) {
    float4 area;
};
Texture2D texture0 : register(t0);
SamplerState sampler0 : register(s0);

struct PixelInput {
    float4 position : SV_Position;
    float2 uv : TEXCOORD0;
};

PixelInput VSMain(float3 position : POSITION, float2 texCoord : TEXCOORD) {
    PixelInput output;
    output.position = float4(lerp(area.xy, area.zw, position.xy), 0.0, 1.0);
    output.uv = texCoord;
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    float depth = texture0.Sample(sampler0, input.uv).r;
    return float4(depth, depth, depth, 1.0);
}
)";

const char kSecondUnitHlsl[] = R"(cbuffer Uniforms : register(b0) {
    float4 area;
};
Texture2D texture0 : register(t0);
Texture2D texture3 : register(t3);
SamplerState sampler0 : register(s0);
SamplerState sampler3 : register(s3);

struct PixelInput {
    float4 position : SV_Position;
    float2 uv : TEXCOORD0;
};

PixelInput VSMain(float3 position : POSITION, float2 texCoord : TEXCOORD) {
    PixelInput output;
    output.position = float4(lerp(area.xy, area.zw, position.xy), 0.0, 1.0);
    output.uv = texCoord;
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    return texture3.Sample(sampler3, input.uv) + 0.0 * texture0.Sample(sampler0, input.uv);
}
)";

const char kPackedColorHlsl[] = R"(struct VertexInput {
    float2 position : POSITION;
    float2 texCoord : TEXCOORD;
    float4 color : COLOR;
};

struct PixelInput {
    float4 position : SV_Position;
    float4 color : COLOR0;
};

PixelInput VSMain(VertexInput input) {
    PixelInput output;
    output.position = float4(input.position, 0.0, 1.0);
    output.color = input.color;
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    return input.color;
}
)";

const char kMeshIndexHlsl[] = R"(struct VertexInput {
    float3 position : POSITION;
    float2 texCoord : TEXCOORD;
    int meshIndex : INDEX;
};

struct PixelInput {
    float4 position : SV_Position;
    nointerpolation int meshIndex : TEXCOORD0;
};

PixelInput VSMain(VertexInput input) {
    PixelInput output;
    output.position = float4(input.position, 1.0);
    output.meshIndex = input.meshIndex;
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    float4 color = float4(1.0, 0.0, 0.0, 1.0);
    if (input.meshIndex == 2) color = float4(0.0, 1.0, 0.0, 1.0);
    return color;
}
)";

// The arrays as HLSL lays them out: each element of a scalar, two- or three-component
// array in its own 16-byte row (kArrayUniforms declares them so).
const char kArraysHlsl[] = R"(cbuffer Uniforms : register(b0) {
    float4 area;
    int mode;
    float weights[4];
    float3 offsets[3];
    float4x4 matrices[3];
    float2 pairs[4];
    int ints[4];
    uint uints[4];
    float4x4 bones[3];
};

float4 VSMain(float3 position : POSITION) : SV_Position {
    return float4(lerp(area.xy, area.zw, position.xy), 0.0, 1.0);
}

// One return at the end: this Wine's compiler ignores a return inside a branch.
float4 PSMain(float4 position : SV_Position) : SV_Target {
    float4 color = float4(float(uints[2]) / 255.0, bones[1][0].x, bones[2][0].x, 1.0);
    if (mode == 0) color = float4(weights[2], offsets[2].y, matrices[2][0].w, 1.0);
    if (mode == 1) color = float4(pairs[2].x, pairs[2].y, float(ints[2]) / 255.0, 1.0);
    return color;
}
)";

const char kLevelFetchHlsl[] = R"(cbuffer Uniforms : register(b0) {
    float4 area;
    float level;
    float2 levelSize;
};
Texture2D texture0 : register(t0);

struct PixelInput {
    float4 position : SV_Position;
    float2 uv : TEXCOORD0;
};

PixelInput VSMain(float3 position : POSITION, float2 texCoord : TEXCOORD) {
    PixelInput output;
    output.position = float4(lerp(area.xy, area.zw, position.xy), 0.0, 1.0);
    output.uv = texCoord;
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    int2 texel = int2(input.uv * levelSize);
    return texture0.Load(int3(texel.x, texel.y, int(level)));
}
)";

const char kTwoSamplersHlsl[] = R"(cbuffer Uniforms : register(b0) {
    float4 area;
};
Texture2D texture0 : register(t0);
Texture2D texture3 : register(t3);
SamplerState sampler0 : register(s0);
SamplerState sampler3 : register(s3);

struct PixelInput {
    float4 position : SV_Position;
    float2 uv : TEXCOORD0;
};

PixelInput VSMain(float3 position : POSITION, float2 texCoord : TEXCOORD) {
    PixelInput output;
    output.position = float4(lerp(area.xy, area.zw, position.xy), 0.0, 1.0);
    output.uv = texCoord;
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    return float4(texture0.Sample(sampler0, input.uv).r, texture3.Sample(sampler3, input.uv).r, 0.0, 1.0);
}
)";

const char kCompileErrorHlsl[] = R"(float4 VSMain(float3 position : POSITION) : SV_Position {
    return undeclaredValue * float4(position, 1.0);
}

float4 PSMain(float4 position : SV_Position) : SV_Target {
    return float4(1.0, 1.0, 1.0, 1.0);
}
)";

// Each stage compiles; the pixel stage reads a texture register the backend's root
// signature does not have (units are t0 to t7), which only the pipeline state sees.
const char kLinkErrorHlsl[] = R"(Texture2D texture9 : register(t9);
SamplerState sampler0 : register(s0);

float4 VSMain(float3 position : POSITION) : SV_Position {
    return float4(position, 1.0);
}

float4 PSMain(float4 position : SV_Position) : SV_Target {
    return texture9.Sample(sampler0, position.xy);
}
)";

const char* const kGlslShaders[TEST_SHADER_COUNT] = {
    kPlacedGlsl,  kSolidGlsl,      kDepthViewGlsl,    kSecondUnitGlsl, kPackedColorGlsl,
    kMeshIndexGlsl, kArraysGlsl, kLevelFetchGlsl, kTwoSamplersGlsl, kCompileErrorGlsl, kLinkErrorGlsl,
};

const char* const kHlslShaders[TEST_SHADER_COUNT] = {
    kPlacedHlsl,  kSolidHlsl,      kDepthViewHlsl,    kSecondUnitHlsl, kPackedColorHlsl,
    kMeshIndexHlsl, kArraysHlsl, kLevelFetchHlsl, kTwoSamplersHlsl, kCompileErrorHlsl, kLinkErrorHlsl,
};

const char* const kTestShaderNames[TEST_SHADER_COUNT] = {
    "placed", "solid", "depth view", "second unit", "packed colour",
    "mesh index", "arrays", "level fetch", "two samplers", "compile error", "link error",
};

} // namespace

const UniformDeclaration kArrayUniforms[9] = {
    {"area", 0, 4},  {"mode", 0, 1},  {"weights", 0, 16}, {"offsets", 0, 12}, {"matrices", 0, 48},
    {"pairs", 0, 16}, {"ints", 0, 16}, {"uints", 0, 16},  {"bones", 0, 48},
};

const UniformDeclaration kLevelFetchUniforms[3] = {{"area", 0, 4}, {"level", 0, 1}, {"levelSize", 0, 2}};

const char* testShaderSource(TestShader shader) {
    if (shader < 0 || shader >= TEST_SHADER_COUNT) return nullptr;
    const char* extension = api().getShaderSourceFileExtensionInRenderer();
    if (strcmp(extension, ".glsl") == 0) return kGlslShaders[shader];
    if (strcmp(extension, ".hlsl") == 0) return kHlslShaders[shader];
    return nullptr;
}

const char* testShaderName(TestShader shader) {
    return shader >= 0 && shader < TEST_SHADER_COUNT ? kTestShaderNames[shader] : "unknown";
}
