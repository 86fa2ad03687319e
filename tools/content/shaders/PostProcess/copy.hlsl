// The room's kept picture into the back buffer, texel for texel: each pixel reads the
// texel at its own place, unfiltered and unscaled, so the copy is the picture itself.
cbuffer Uniforms : register(b0) {
    float4x4 mvMat;
    float4x4 projMat;
};
Texture2D texture0 : register(t0);

struct PixelInput {
    float4 position : SV_Position;
};

PixelInput VSMain(float3 position : POSITION) {
    PixelInput output;
    output.position = mul(projMat, mul(mvMat, float4(position, 1.0)));
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    return float4(texture0.Load(int3(int2(input.position.xy), 0)).rgb, 1.0);
}
