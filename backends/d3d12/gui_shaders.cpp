// The four built-in GUI shaders in HLSL ("VSMain", "PSMain"), within what every
// HLSL compiler the backend meets accepts (no discard, no ternary operator).
// Matrices multiply column vectors: projection times model-view times position.
#include "backends/d3d12/d3d12_backend.h"
#include "backends/window/backend_exports.h"

namespace {

// Text: glyph coverage in the red channel of the atlas, placed in clip space by pos
// and scale.
const char kTextShader[] = R"(cbuffer Uniforms : register(b0) {
    float3 pos;
    float3 scale;
};
Texture2D texture0 : register(t0);
SamplerState sampler0 : register(s0);

struct VertexInput {
    float2 position : POSITION;
    float2 texCoord : TEXCOORD;
    float4 color : COLOR;
};

struct PixelInput {
    float4 position : SV_Position;
    float2 texCoord : TEXCOORD0;
    float4 color : COLOR0;
};

PixelInput VSMain(VertexInput input) {
    PixelInput output;
    output.position = float4(scale, 1.0) * float4(input.position, 0.0, 1.0) + float4(pos, 0.0);
    output.texCoord = input.texCoord;
    output.color = input.color;
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    float coverage = texture0.Sample(sampler0, input.texCoord).r;
    return float4(input.color.rgb, input.color.a * coverage);
}
)";

const char kColorShader[] = R"(cbuffer Uniforms : register(b0) {
    float4x4 mvMat;
    float4x4 projMat;
    float4 color;
};

struct VertexInput {
    float3 position : POSITION;
    float2 texCoord : TEXCOORD;
    float3 color : COLOR;
    float3 normal : NORMAL;
};

float4 VSMain(VertexInput input) : SV_Position {
    return mul(projMat, mul(mvMat, float4(input.position, 1.0)));
}

float4 PSMain(float4 position : SV_Position) : SV_Target {
    return color;
}
)";

// Transformed text: the glyph quads at z = -1 of the model-view space.
const char kTransformedTextShader[] = R"(cbuffer Uniforms : register(b0) {
    float4x4 mvMat;
    float4x4 projMat;
};
Texture2D texture0 : register(t0);
SamplerState sampler0 : register(s0);

struct VertexInput {
    float2 position : POSITION;
    float2 texCoord : TEXCOORD;
    float4 color : COLOR;
};

struct PixelInput {
    float4 position : SV_Position;
    float2 texCoord : TEXCOORD0;
    float4 color : COLOR0;
};

PixelInput VSMain(VertexInput input) {
    PixelInput output;
    output.position = mul(projMat, mul(mvMat, float4(input.position, -1.0, 1.0)));
    output.texCoord = input.texCoord;
    output.color = input.color;
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    float coverage = texture0.Sample(sampler0, input.texCoord).r;
    return float4(input.color.rgb, input.color.a * coverage);
}
)";

// Image: the texture tinted by the vertex colour. Texels with alpha below 0.01 come
// out fully transparent, which premultiplied blending leaves the target's colour
// under, as if they were not drawn.
const char kImageShader[] = R"(cbuffer Uniforms : register(b0) {
    float4x4 mvMat;
    float4x4 projMat;
};
Texture2D texture0 : register(t0);
SamplerState sampler0 : register(s0);

struct VertexInput {
    float3 position : POSITION;
    float2 texCoord : TEXCOORD;
    float3 color : COLOR;
    float3 normal : NORMAL;
};

struct PixelInput {
    float4 position : SV_Position;
    float2 texCoord : TEXCOORD0;
    float4 color : COLOR0;
};

PixelInput VSMain(VertexInput input) {
    PixelInput output;
    output.position = mul(projMat, mul(mvMat, float4(input.position, 1.0)));
    output.texCoord = input.texCoord;
    output.color = float4(input.color, 1.0);
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    float4 color = input.color * texture0.Sample(sampler0, input.texCoord);
    if (color.a < 0.01) color = float4(0.0, 0.0, 0.0, 0.0);
    return color;
}
)";

} // namespace

const char* defaultGUITextShaderSource(void) { return kTextShader; }
const char* defaultGUIColorShaderSource(void) { return kColorShader; }
const char* defaultGUITransformedTextShaderSource(void) { return kTransformedTextShader; }
const char* defaultGUIImageShaderSource(void) { return kImageShader; }
