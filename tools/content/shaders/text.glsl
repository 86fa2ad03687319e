#version 130
// Glyph quads in window space: the position is scaled and moved by the uniforms, the
// atlas's red channel is the coverage.
#ifdef VERTEX_SHADER_SOURCE
in vec2 inVertex;
in vec2 inTexCoord;
in vec4 inColor;
uniform vec3 pos;
uniform vec3 scale;
out vec2 texCoord;
out vec4 color;
void main() {
    texCoord = inTexCoord;
    color = inColor;
    gl_Position = vec4(scale, 1.0) * vec4(inVertex, 0.0, 1.0) + vec4(pos, 0.0);
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
in vec2 texCoord;
in vec4 color;
uniform sampler2D texture0;
out vec4 outColor;
void main() {
    outColor = vec4(color.rgb, color.a * texture(texture0, texCoord).r);
}
#endif
