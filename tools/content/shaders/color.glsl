#version 130
// One flat colour for GUI rectangles and borders.
#ifdef VERTEX_SHADER_SOURCE
in vec3 inVertex;
in vec2 inTexCoord;
in vec3 inColor;
in vec3 inNormal;
uniform mat4 mvMat;
uniform mat4 projMat;
void main() {
    gl_Position = projMat * (mvMat * vec4(inVertex, 1.0));
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform vec4 color;
out vec4 outColor;
void main() {
    outColor = color;
}
#endif
