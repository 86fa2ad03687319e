#version 130
// Lit, textured geometry: texture0 x vertex colour under one directional light, an
// ambient floor, and a soft spot of light around spotPosition (a point in front of
// the camera). Vertex colour above 1 is glow: it is added unlit, so lamps and status
// lights stay bright and feed the bloom. highlight (0 or 1) tints the object under
// the cursor. shade (0 or 1) darkens the room's walls and fittings with distance and
// on surfaces that face down, as an ambient occlusion would. Alpha is 0: the monitor
// panels drawn into the same picture write 1, and the room's bloom is kept off them.
#ifdef VERTEX_SHADER_SOURCE
in vec3 inVertex;
in vec2 inTexCoord;
in vec3 inColor;
in vec3 inNormal;
uniform mat4 mvMat;
uniform mat4 projMat;
uniform mat4 modelMat;
uniform mat3 inverseModelMat;
out vec2 texCoord;
out vec3 color;
out vec3 worldNormal;
out vec3 worldPosition;
out float viewDistance;
void main() {
    worldPosition = (modelMat * vec4(inVertex, 1.0)).xyz;
    vec4 viewPosition = mvMat * vec4(inVertex, 1.0);
    viewDistance = length(viewPosition.xyz);
    // The transpose of the inverse turns normals: n * M is transpose(M) * n.
    worldNormal = inNormal * inverseModelMat;
    texCoord = inTexCoord;
    color = inColor;
    gl_Position = projMat * viewPosition;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
in vec2 texCoord;
in vec3 color;
in vec3 worldNormal;
in vec3 worldPosition;
in float viewDistance;
uniform sampler2D texture0;
uniform vec3 lightDirection;
uniform float highlight;
uniform vec3 spotPosition;
uniform vec3 lightMultiplier;
uniform float shade;
out vec4 outColor;
void main() {
    vec3 n = normalize(worldNormal);
    vec3 albedo = texture(texture0, texCoord).rgb;
    vec3 base = albedo * min(color, vec3(1.0));
    vec3 glow = albedo * max(color - vec3(1.0), vec3(0.0));
    float diffuse = max(dot(n, -lightDirection), 0.0);
    vec3 toSpot = spotPosition - worldPosition;
    float spotDistance2 = max(dot(toSpot, toSpot), 1e-8);
    float facing = max(dot(n, toSpot) * inversesqrt(spotDistance2), 0.0);
    float spot = (0.3 + 0.7 * facing) / (1.0 + 0.12 * spotDistance2);
    vec3 light = vec3(0.42) + lightMultiplier * diffuse + vec3(0.55) * spot;
    vec3 lit = base * light + glow;
    vec3 marked = lit * 1.25 + vec3(0.3, 0.24, 0.05);
    float darkening = clamp(0.25 * smoothstep(1.5, 9.0, viewDistance) + 0.2 * max(-n.z, 0.0), 0.0, 0.45);
    outColor = vec4(mix(lit, marked, clamp(highlight, 0.0, 1.0)) * (1.0 - shade * darkening), 0.0);
}
#endif
