// Five-tap Gaussian along x, one texel apart (sigma about one texel). The game also
// runs it over the finished full-size picture, so it stays a light smoothing.
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
    float2 texelStep = float2(1.0 / screenSize.x, 0.0);
    float3 sum = texture0.Sample(sampler0, input.texCoord).rgb * 0.40;
    sum += texture0.Sample(sampler0, input.texCoord + texelStep).rgb * 0.24;
    sum += texture0.Sample(sampler0, input.texCoord - texelStep).rgb * 0.24;
    sum += texture0.Sample(sampler0, input.texCoord + 2.0 * texelStep).rgb * 0.06;
    sum += texture0.Sample(sampler0, input.texCoord - 2.0 * texelStep).rgb * 0.06;
    return float4(sum, 1.0);
}
