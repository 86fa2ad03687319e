// The room's finished picture: the scene target (texture0) smoothed along x, plus the
// room's bloom (texture1, a quarter of the size). The smoothing is the five-tap Gaussian
// (0.06, 0.24, 0.40, 0.24, 0.06) taken in three taps: a bilinear tap 1.2 texels out
// weighs the texels 1 and 2 away 0.8 and 0.2, so 0.30 of it gives 0.24 and 0.06. The
// bloom stays off the monitor panels, which are the pixels of alpha 1.
cbuffer Uniforms : register(b0) {
    float4x4 mvMat;
    float4x4 projMat;
    float2 screenSize;
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
    float2 outer = float2(1.2 / screenSize.x, 0.0);
    float4 centre = texture0.Sample(sampler0, input.texCoord);
    float3 sum = centre.rgb * 0.40;
    sum += texture0.Sample(sampler0, input.texCoord + outer).rgb * 0.30;
    sum += texture0.Sample(sampler0, input.texCoord - outer).rgb * 0.30;
    float3 bloom = texture1.Sample(sampler1, input.texCoord).rgb;
    return float4(sum + bloom * (1.0 - centre.a), 1.0);
}
