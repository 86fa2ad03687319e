#version 130
// The scene (texture0) plus its blurred bright parts (texture1).
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
uniform sampler2D texture1;
uniform vec2 screenSize;
out vec4 outColor;
void main() {
    outColor = vec4(texture(texture0, texCoord).rgb + texture(texture1, texCoord).rgb, 1.0);
}
#endif
