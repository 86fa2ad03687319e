// Lit, textured geometry: texture0 x vertex colour under one directional light, an
// ambient floor, and a soft spot of light around spotPosition (a point in front of
// the camera). Vertex colour above 1 is glow: it is added unlit, so lamps and status
// lights stay bright and feed the bloom. highlight (0 or 1) tints the object under
// the cursor. shade (0 or 1) darkens the room's walls and fittings with distance and
// on surfaces that face down, as an ambient occlusion would. Alpha is 0: the monitor
// panels drawn into the same picture write 1, and the room's bloom is kept off them.
// The constants are declared in the order the game declares its uniforms, so the
// packing matches.
cbuffer Uniforms : register(b0) {
    float4x4 mvMat;
    float4x4 projMat;
    float4x4 modelMat;
    float3x3 inverseModelMat;
    float3 lightDirection;
    float highlight;
    float3 spotPosition;
    float3 lightMultiplier;
    float shade;
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
    float3 worldNormal : TEXCOORD2;
    float3 worldPosition : TEXCOORD3;
    float viewDistance : TEXCOORD4;
};

PixelInput VSMain(VertexInput input) {
    PixelInput output;
    output.worldPosition = mul(modelMat, float4(input.position, 1.0)).xyz;
    // The transpose of the inverse turns normals: mul(n, M) is transpose(M) * n.
    output.worldNormal = mul(input.normal, inverseModelMat);
    output.texCoord = input.texCoord;
    output.color = input.color;
    float4 viewPosition = mul(mvMat, float4(input.position, 1.0));
    output.viewDistance = length(viewPosition.xyz);
    output.position = mul(projMat, viewPosition);
    return output;
}

float4 PSMain(PixelInput input) : SV_Target {
    float3 n = normalize(input.worldNormal);
    float3 albedo = texture0.Sample(sampler0, input.texCoord).rgb;
    float3 base = albedo * min(input.color, float3(1.0, 1.0, 1.0));
    float3 glow = albedo * max(input.color - float3(1.0, 1.0, 1.0), float3(0.0, 0.0, 0.0));
    float diffuse = max(dot(n, -lightDirection), 0.0);
    float3 toSpot = spotPosition - input.worldPosition;
    float spotDistance = length(toSpot);
    float facing = max(dot(n, toSpot) / max(spotDistance, 0.0001), 0.0);
    float spot = (0.3 + 0.7 * facing) / (1.0 + 0.12 * spotDistance * spotDistance);
    float3 light = float3(0.42, 0.42, 0.42) + lightMultiplier * diffuse + float3(0.55, 0.55, 0.55) * spot;
    float3 lit = base * light + glow;
    float3 marked = lit * 1.25 + float3(0.3, 0.24, 0.05);
    // smoothstep(1.5, 9.0, distance), written out: the compiler under Wine lacks it.
    float far = saturate((input.viewDistance - 1.5) / 7.5);
    float darkening = clamp(0.25 * far * far * (3.0 - 2.0 * far) + 0.2 * max(-n.z, 0.0), 0.0, 0.45);
    return float4(lerp(lit, marked, saturate(highlight)) * (1.0 - shade * darkening), 0.0);
}
