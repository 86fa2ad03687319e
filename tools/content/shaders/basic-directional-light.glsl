#version 130
// Lit, textured geometry: texture0 x vertex colour under one directional light, an
// ambient floor, and a soft spot of light around spotPosition (a point in front of
// the camera). Vertex colour above 1 is glow: it is added unlit, so lamps and status
// lights stay bright and feed the bloom. highlight (0 or 1) tints the object under
// the cursor.
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
void main() {
    worldPosition = (modelMat * vec4(inVertex, 1.0)).xyz;
    // The transpose of the inverse turns normals: n * M is transpose(M) * n.
    worldNormal = inNormal * inverseModelMat;
    texCoord = inTexCoord;
    color = inColor;
    gl_Position = projMat * (mvMat * vec4(inVertex, 1.0));
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
in vec2 texCoord;
in vec3 color;
in vec3 worldNormal;
in vec3 worldPosition;
uniform sampler2D texture0;
uniform vec3 lightDirection;
uniform float highlight;
uniform vec3 spotPosition;
uniform vec3 lightMultiplier;
out vec4 outColor;
void main() {
    vec3 n = normalize(worldNormal);
    vec3 albedo = texture(texture0, texCoord).rgb;
    vec3 base = albedo * min(color, vec3(1.0));
    vec3 glow = albedo * max(color - vec3(1.0), vec3(0.0));
    float diffuse = max(dot(n, -lightDirection), 0.0);
    vec3 toSpot = spotPosition - worldPosition;
    float spotDistance = length(toSpot);
    float facing = max(dot(n, toSpot / max(spotDistance, 0.0001)), 0.0);
    float spot = (0.3 + 0.7 * facing) / (1.0 + 0.12 * spotDistance * spotDistance);
    vec3 light = vec3(0.42) + lightMultiplier * diffuse + vec3(0.55) * spot;
    vec3 lit = base * light + glow;
    vec3 marked = lit * 1.25 + vec3(0.3, 0.24, 0.05);
    outColor = vec4(mix(lit, marked, clamp(highlight, 0.0, 1.0)), 1.0);
}
#endif
