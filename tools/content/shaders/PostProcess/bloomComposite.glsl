#version 130
// The scene (texture0) plus its blurred bright parts (texture1). The bloom comes from a
// smaller target: four taps half a pixel of this target apart soften its enlargement.
// Alpha is 0: the room's bloom is blended (one, one - source alpha) onto the scene
// target, which adds it on every backend; a monitor's picture replaces its target
// without blending. Nothing reads these targets' alpha.
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
    vec2 offset = 0.5 / screenSize;
    vec3 bloom = texture(texture1, texCoord + vec2(-offset.x, -offset.y)).rgb;
    bloom += texture(texture1, texCoord + vec2(offset.x, -offset.y)).rgb;
    bloom += texture(texture1, texCoord + vec2(-offset.x, offset.y)).rgb;
    bloom += texture(texture1, texCoord + vec2(offset.x, offset.y)).rgb;
    outColor = vec4(texture(texture0, texCoord).rgb + bloom * 0.25, 0.0);
}
#endif
