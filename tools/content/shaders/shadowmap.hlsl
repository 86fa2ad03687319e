// Ambient darkening laid over the room with alpha blending: black, more opaque with
// distance and on surfaces that face down. Level meshes and interactables are stored
// in world coordinates and drawn unturned, so the vertex normal is already a world
// normal. Kept light: where surfaces overlap on screen the layers add up.
cbuffer Uniforms : register(b0) {
    float4x4 mvMat;
    float4x4 projMat;
};

struct VertexInput {
    float3 position : POSITION;
    float2 texCoord : TEXCOORD;
    float3 color : COLOR;
    float3 normal : NORMAL;
};

struct PixelInput {
    float4 position : SV_Position;
    float viewDistance : TEXCOORD0;
    float downward : TEXCOORD1;
};

PixelInput VSMain(VertexInput input) {
    PixelInput output;
    float4 viewPosition = mul(mvMat, float4(input.position, 1.0));
    output.viewDistance = length(viewPosition.xyz);
    output.downward = max(-input.normal.z, 0.0);
    output.position = mul(projMat, viewPosition);
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    // smoothstep(1.5, 9.0, distance), spelled out: the compiler here lacks smoothstep.
    float t = saturate((input.viewDistance - 1.5) / 7.5);
    float alpha = 0.25 * t * t * (3.0 - 2.0 * t) + 0.2 * input.downward;
    return float4(0.0, 0.0, 0.0, clamp(alpha, 0.0, 0.45));
}
