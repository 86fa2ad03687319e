#version 130
// High dynamic range to 0..1: Reinhard's curve extended so that 2.0 maps to white.
#ifdef VERTEX_SHADER_SOURCE
in vec3 inVertex;
uniform mat4 mvMat;
uniform mat4 projMat;
out vec2 texCoord;
void main() {
    texCoord = inVertex.xy;
    gl_Position = projMat * (mvMat * vec4(inVertex, 1.0));
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
in vec2 texCoord;
uniform sampler2D texture0;
uniform vec2 screenSize;
out vec4 outColor;
void main() {
    vec3 c = max(texture(texture0, texCoord).rgb, vec3(0.0));
    vec3 mapped = c * (vec3(1.0) + c / 4.0) / (vec3(1.0) + c);
    outColor = vec4(clamp(mapped, 0.0, 1.0), 1.0);
}
#endif
