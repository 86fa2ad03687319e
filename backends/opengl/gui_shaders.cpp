// The four built-in GUI shaders, in the two-block form (GLSL 1.30).
#include "backends/window/backend_exports.h"

namespace {

// Text: glyph coverage in the red channel of the atlas, scaled and placed in clip
// space by pos and scale.
const char kTextShader[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec3 pos;
uniform vec3 scale;
in vec2 inVertex;
in vec2 inTexCoord;
in vec4 inColor;
out vec2 texCoord;
out vec4 color;
void main() {
    gl_Position = vec4(scale, 1.0) * vec4(inVertex, 0.0, 1.0) + vec4(pos, 0.0);
    texCoord = inTexCoord;
    color = inColor;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform sampler2D texture0;
in vec2 texCoord;
in vec4 color;
out vec4 outColor;
void main() {
    float alpha = texture(texture0, texCoord).r;
    outColor = vec4(color.rgb, alpha * color.a);
}
#endif
)";

const char kColorShader[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform mat4 mvMat;
uniform mat4 projMat;
in vec3 inVertex;
in vec2 inTexCoord;
in vec3 inColor;
in vec3 inNormal;
out vec2 texCoord;
void main() {
    gl_Position = projMat * mvMat * vec4(inVertex, 1.0);
    texCoord = inTexCoord;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform vec4 color;
uniform sampler2D texture0;
in vec2 texCoord;
out vec4 outColor;
void main() {
    outColor = color;
}
#endif
)";

const char kTransformedTextShader[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform mat4 mvMat;
uniform mat4 projMat;
in vec2 inVertex;
in vec2 inTexCoord;
in vec4 inColor;
out vec2 texCoord;
out vec4 color;
void main() {
    gl_Position = projMat * mvMat * vec4(inVertex, 0.0, 1.0);
    texCoord = inTexCoord;
    color = inColor;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform sampler2D texture0;
in vec2 texCoord;
in vec4 color;
out vec4 outColor;
void main() {
    float alpha = texture(texture0, texCoord).r;
    outColor = vec4(color.rgb, alpha * color.a);
}
#endif
)";

// Image: the texture tinted by the vertex colour; nearly transparent texels are cut.
const char kImageShader[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform mat4 mvMat;
uniform mat4 projMat;
in vec3 inVertex;
in vec2 inTexCoord;
in vec3 inColor;
in vec3 inNormal;
out vec2 texCoord;
out vec4 color;
void main() {
    gl_Position = projMat * mvMat * vec4(inVertex, 1.0);
    color = vec4(inColor, 1.0);
    texCoord = inTexCoord;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform sampler2D texture0;
in vec2 texCoord;
in vec4 color;
out vec4 outColor;
void main() {
    outColor = color * texture(texture0, texCoord);
    if (outColor.a < 0.01) discard;
}
#endif
)";

} // namespace

const char* defaultGUITextShaderSource(void) { return kTextShader; }
const char* defaultGUIColorShaderSource(void) { return kColorShader; }
const char* defaultGUITransformedTextShaderSource(void) { return kTransformedTextShader; }
const char* defaultGUIImageShaderSource(void) { return kImageShader; }
