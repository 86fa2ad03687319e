// High dynamic range to 0..1: Reinhard's curve extended so that 2.0 maps to white. The
// source is read with four taps a quarter of a target pixel apart, as the bright pass
// reads it, so a source larger than the target is averaged rather than point-sampled.
cbuffer Uniforms : register(b0) {
    float4x4 mvMat;
    float4x4 projMat;
    float2 screenSize;
};
Texture2D texture0 : register(t0);
SamplerState sampler0 : register(s0);

struct PixelInput {
    float4 position : SV_Position;
    float2 texCoord : TEXCOORD0;
};

// The quad spans 0 to 1; its position is its texture coordinate. Render targets have
// their first row at the top in Direct3D, so v is turned over to read them upright.
PixelInput VSMain(float3 position : POSITION) {
    PixelInput output;
    output.texCoord = float2(position.x, 1.0 - position.y);
    output.position = mul(projMat, mul(mvMat, float4(position, 1.0)));
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    float2 quarter = 0.25 / screenSize;
    float3 c = texture0.Sample(sampler0, input.texCoord + float2(-quarter.x, -quarter.y)).rgb;
    c += texture0.Sample(sampler0, input.texCoord + float2(quarter.x, -quarter.y)).rgb;
    c += texture0.Sample(sampler0, input.texCoord + float2(-quarter.x, quarter.y)).rgb;
    c += texture0.Sample(sampler0, input.texCoord + float2(quarter.x, quarter.y)).rgb;
    c = max(c * 0.25, float3(0.0, 0.0, 0.0));
    float3 mapped = c * (float3(1.0, 1.0, 1.0) + c / 4.0) / (float3(1.0, 1.0, 1.0) + c);
    return float4(saturate(mapped), 1.0);
}
