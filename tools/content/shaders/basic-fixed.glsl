#version 130
// Unlit: texture0 x vertex colour. The monitor panels show their camera's picture
// with it.
#ifdef VERTEX_SHADER_SOURCE
in vec3 inVertex;
in vec2 inTexCoord;
in vec3 inColor;
in vec3 inNormal;
uniform mat4 mvMat;
uniform mat4 projMat;
out vec2 texCoord;
out vec3 color;
void main() {
    texCoord = inTexCoord;
    color = inColor;
    gl_Position = projMat * (mvMat * vec4(inVertex, 1.0));
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
in vec2 texCoord;
in vec3 color;
uniform sampler2D texture0;
out vec4 outColor;
void main() {
    vec4 sampled = texture(texture0, texCoord);
    outColor = vec4(sampled.rgb * color, 1.0);
}
#endif
