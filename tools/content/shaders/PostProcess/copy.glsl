#version 130
// The room's kept picture into the back buffer, texel for texel: each pixel reads the
// texel at its own place, unfiltered and unscaled, so the copy is the picture itself.
#ifdef VERTEX_SHADER_SOURCE
in vec3 inVertex;
uniform mat4 mvMat;
uniform mat4 projMat;
void main() {
    gl_Position = projMat * (mvMat * vec4(inVertex, 1.0));
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform sampler2D texture0;
out vec4 outColor;
void main() {
    outColor = vec4(texelFetch(texture0, ivec2(gl_FragCoord.xy), 0).rgb, 1.0);
}
#endif
