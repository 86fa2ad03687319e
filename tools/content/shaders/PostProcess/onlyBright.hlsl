// Keeps what is brighter than the threshold, for the bloom. The source is four times
// the target's size on each side: four bilinear taps a quarter of a target texel from
// the centre average the whole 4 x 4 block of source texels. Pixels of alpha 1 (the
// monitor panels in the room's picture) give no bloom.
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
    float4 a = texture0.Sample(sampler0, input.texCoord + float2(-quarter.x, -quarter.y));
    float4 b = texture0.Sample(sampler0, input.texCoord + float2(quarter.x, -quarter.y));
    float4 d = texture0.Sample(sampler0, input.texCoord + float2(-quarter.x, quarter.y));
    float4 e = texture0.Sample(sampler0, input.texCoord + float2(quarter.x, quarter.y));
    float3 c = a.rgb * (1.0 - a.a) + b.rgb * (1.0 - b.a) + d.rgb * (1.0 - d.a) + e.rgb * (1.0 - e.a);
    c *= 0.25;
    float peak = max(c.r, max(c.g, c.b));
    float keep = max(peak - 0.9, 0.0) / max(peak, 0.0001);
    return float4(c * keep, 1.0);
}
