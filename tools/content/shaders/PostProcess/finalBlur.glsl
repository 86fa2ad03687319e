#version 130
// The room's finished picture: the scene target (texture0) smoothed along x, plus the
// room's bloom (texture1, a quarter of the size). The smoothing is the five-tap Gaussian
// (0.06, 0.24, 0.40, 0.24, 0.06) taken in three taps: a bilinear tap 1.2 texels out
// weighs the texels 1 and 2 away 0.8 and 0.2, so 0.30 of it gives 0.24 and 0.06. The
// bloom stays off the monitor panels, which are the pixels of alpha 1.
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
    vec2 outer = vec2(1.2 / screenSize.x, 0.0);
    vec4 centre = texture(texture0, texCoord);
    vec3 sum = centre.rgb * 0.40;
    sum += texture(texture0, texCoord + outer).rgb * 0.30;
    sum += texture(texture0, texCoord - outer).rgb * 0.30;
    vec3 bloom = texture(texture1, texCoord).rgb;
    outColor = vec4(sum + bloom * (1.0 - centre.a), 1.0);
}
#endif
