#version 130
// A monitor's picture: the scene (texture0) plus its blurred bright parts (texture1),
// which come from a smaller target. One bilinear tap enlarges them: four taps half a
// pixel of this target apart would average to the same, bilinear filtering being
// linear between texel centres. The picture replaces its target without blending;
// nothing reads its alpha.
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
out vec4 outColor;
void main() {
    vec3 bloom = texture(texture1, texCoord).rgb;
    outColor = vec4(texture(texture0, texCoord).rgb + bloom, 0.0);
}
#endif
