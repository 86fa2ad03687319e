// One flat colour for GUI rectangles and borders.
cbuffer Uniforms : register(b0) {
    float4x4 mvMat;
    float4x4 projMat;
    float4 color;
};

struct VertexInput {
    float3 position : POSITION;
    float2 texCoord : TEXCOORD;
    float3 color : COLOR;
    float3 normal : NORMAL;
};

float4 VSMain(VertexInput input) : SV_Position {
    return mul(projMat, mul(mvMat, float4(input.position, 1.0)));
}

float4 PSMain(float4 position : SV_Position) : SV_Target {
    return color;
}
