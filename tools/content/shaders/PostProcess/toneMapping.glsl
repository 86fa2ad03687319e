#version 130
// High dynamic range to 0..1: Reinhard's curve extended so that 2.0 maps to white. The
// source is read with four taps a quarter of a target pixel apart, as the bright pass
// reads it, so a source larger than the target is averaged rather than point-sampled.
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
    vec2 quarter = 0.25 / screenSize;
    vec3 c = texture(texture0, texCoord + vec2(-quarter.x, -quarter.y)).rgb;
    c += texture(texture0, texCoord + vec2(quarter.x, -quarter.y)).rgb;
    c += texture(texture0, texCoord + vec2(-quarter.x, quarter.y)).rgb;
    c += texture(texture0, texCoord + vec2(quarter.x, quarter.y)).rgb;
    c = max(c * 0.25, vec3(0.0));
    vec3 mapped = c * (vec3(1.0) + c / 4.0) / (vec3(1.0) + c);
    outColor = vec4(clamp(mapped, 0.0, 1.0), 1.0);
}
#endif
