#version 130
// Keeps what is brighter than the threshold, for the bloom. The source is four times
// the target's size on each side: four bilinear taps a quarter of a target texel from
// the centre average the whole 4 x 4 block of source texels. Pixels of alpha 1 (the
// monitor panels in the room's picture) give no bloom.
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
    vec4 a = texture(texture0, texCoord + vec2(-quarter.x, -quarter.y));
    vec4 b = texture(texture0, texCoord + vec2(quarter.x, -quarter.y));
    vec4 d = texture(texture0, texCoord + vec2(-quarter.x, quarter.y));
    vec4 e = texture(texture0, texCoord + vec2(quarter.x, quarter.y));
    vec3 c = a.rgb * (1.0 - a.a) + b.rgb * (1.0 - b.a) + d.rgb * (1.0 - d.a) + e.rgb * (1.0 - e.a);
    c *= 0.25;
    float peak = max(c.r, max(c.g, c.b));
    float keep = max(peak - 0.9, 0.0) / max(peak, 0.0001);
    outColor = vec4(c * keep, 1.0);
}
#endif
