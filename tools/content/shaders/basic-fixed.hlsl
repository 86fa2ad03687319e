// Unlit: texture0 x vertex colour. The monitor panels show their camera's picture
// with it. That picture is a render target, whose first row Direct3D puts at the top
// of the image, while the game's texture coordinates count v from the bottom; v is
// turned over so the picture stands upright.
cbuffer Uniforms : register(b0) {
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
    float3 color : TEXCOORD1;
};

PixelInput VSMain(VertexInput input) {
    PixelInput output;
    output.texCoord = float2(input.texCoord.x, 1.0 - input.texCoord.y);
    output.color = input.color;
    output.position = mul(projMat, mul(mvMat, float4(input.position, 1.0)));
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    float4 sampled = texture0.Sample(sampler0, input.texCoord);
    return float4(sampled.rgb * input.color, 1.0);
}
