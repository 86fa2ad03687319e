// Glyph quads in window space: the position is scaled and moved by the constants, the
// atlas's red channel is the coverage.
cbuffer Uniforms : register(b0) {
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
    float4 color : TEXCOORD1;
};

PixelInput VSMain(VertexInput input) {
    PixelInput output;
    output.texCoord = input.texCoord;
    output.color = input.color;
    output.position = float4(scale, 1.0) * float4(input.position, 0.0, 1.0) + float4(pos, 0.0);
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    return float4(input.color.rgb, input.color.a * texture0.Sample(sampler0, input.texCoord).r);
}
