#version 130
// Five-tap Gaussian along x, one texel apart (sigma about one texel). The game also
// runs it over the finished full-size picture, so it stays a light smoothing.
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
    vec2 texelStep = vec2(1.0 / screenSize.x, 0.0);
    vec3 sum = texture(texture0, texCoord).rgb * 0.40;
    sum += texture(texture0, texCoord + texelStep).rgb * 0.24;
    sum += texture(texture0, texCoord - texelStep).rgb * 0.24;
    sum += texture(texture0, texCoord + 2.0 * texelStep).rgb * 0.06;
    sum += texture(texture0, texCoord - 2.0 * texelStep).rgb * 0.06;
    outColor = vec4(sum, 1.0);
}
#endif
