// A monitor's picture: the scene (texture0) plus its blurred bright parts (texture1),
// which come from a smaller target. One bilinear tap enlarges them: four taps half a
// pixel of this target apart would average to the same, bilinear filtering being
// linear between texel centres. The picture replaces its target without blending;
// nothing reads its alpha.
cbuffer Uniforms : register(b0) {
    float4x4 mvMat;
    float4x4 projMat;
};
Texture2D texture0 : register(t0);
SamplerState sampler0 : register(s0);
Texture2D texture1 : register(t1);
SamplerState sampler1 : register(s1);

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
    float3 scene = texture0.Sample(sampler0, input.texCoord).rgb;
    float3 bloom = texture1.Sample(sampler1, input.texCoord).rgb;
    return float4(scene + bloom, 0.0);
}
