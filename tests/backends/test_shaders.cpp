// The suite's own shaders, per shading language. A backend whose language has no
// entry here skips the tests that need them.
#include "tests/backends/backend_harness.h"

#include <string.h>

namespace {

const char kPlacedGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec4 area;
uniform float depth;
uniform vec2 uvScale;
in vec3 inVertex;
in vec2 inTexCoord;
out vec2 uv;
void main() {
    gl_Position = vec4(mix(area.xy, area.zw, inVertex.xy), depth, 1.0);
    uv = inTexCoord * uvScale;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform vec4 tint;
uniform sampler2D texture0;
in vec2 uv;
out vec4 outColor;
void main() {
    outColor = tint * texture(texture0, uv);
}
#endif
)";

const char kSolidGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec4 area;
uniform float depth;
in vec3 inVertex;
void main() {
    gl_Position = vec4(mix(area.xy, area.zw, inVertex.xy), depth, 1.0);
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform vec4 tint;
out vec4 outColor;
void main() {
    outColor = tint;
}
#endif
)";

const char kDepthViewGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec4 area;
in vec3 inVertex;
in vec2 inTexCoord;
out vec2 uv;
void main() {
    gl_Position = vec4(mix(area.xy, area.zw, inVertex.xy), 0.0, 1.0);
    uv = inTexCoord;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform sampler2D texture0;
in vec2 uv;
out vec4 outColor;
void main() {
    outColor = vec4(vec3(texture(texture0, uv).r), 1.0);
}
#endif
)";

const char kSecondUnitGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec4 area;
in vec3 inVertex;
in vec2 inTexCoord;
out vec2 uv;
void main() {
    gl_Position = vec4(mix(area.xy, area.zw, inVertex.xy), 0.0, 1.0);
    uv = inTexCoord;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform sampler2D texture0;
uniform sampler2D texture3;
in vec2 uv;
out vec4 outColor;
void main() {
    outColor = texture(texture3, uv) + 0.0 * texture(texture0, uv);
}
#endif
)";

const char kPackedColorGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
in vec2 inVertex;
in vec2 inTexCoord;
in vec4 inColor;
out vec4 color;
void main() {
    gl_Position = vec4(inVertex, 0.0, 1.0);
    color = inColor;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
in vec4 color;
out vec4 outColor;
void main() {
    outColor = color;
}
#endif
)";

const char kMeshIndexGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
in vec3 inVertex;
in int inMeshIndex;
flat out int meshIndex;
void main() {
    gl_Position = vec4(inVertex, 1.0);
    meshIndex = inMeshIndex;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
flat in int meshIndex;
out vec4 outColor;
void main() {
    outColor = meshIndex == 2 ? vec4(0.0, 1.0, 0.0, 1.0) : vec4(1.0, 0.0, 0.0, 1.0);
}
#endif
)";

// mode 0: (weights[2], offsets[2].y, matrices[2][3].x); mode 1: (pairs[2], ints[2] / 255);
// mode 2: (uints[2] / 255, bones[1][0].x, bones[2][0].x).
const char kArraysGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform vec4 area;
in vec3 inVertex;
void main() {
    gl_Position = vec4(mix(area.xy, area.zw, inVertex.xy), 0.0, 1.0);
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform int mode;
uniform float weights[4];
uniform vec3 offsets[3];
uniform mat4 matrices[3];
uniform vec2 pairs[4];
uniform int ints[4];
uniform uint uints[4];
uniform mat4 bones[3];
out vec4 outColor;
void main() {
    if (mode == 0)
        outColor = vec4(weights[2], offsets[2].y, matrices[2][3].x, 1.0);
    else if (mode == 1)
        outColor = vec4(pairs[2].x, pairs[2].y, float(ints[2]) / 255.0, 1.0);
    else
        outColor = vec4(float(uints[2]) / 255.0, bones[1][0].x, bones[2][0].x, 1.0);
}
#endif
)";

const char kCompileErrorGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
in vec3 inVertex;
void main() {
    gl_Position = undeclaredValue * vec4(inVertex, 1.0);
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
out vec4 outColor;
void main() {
    outColor = vec4(1.0);
}
#endif
)";

// Each stage compiles; the two declarations of "shared" disagree, which only the
// linker sees.
const char kLinkErrorGlsl[] = R"(#version 130
#ifdef VERTEX_SHADER_SOURCE
uniform float shared;
in vec3 inVertex;
void main() {
    gl_Position = vec4(inVertex * shared, 1.0);
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
uniform int shared;
out vec4 outColor;
void main() {
    outColor = vec4(float(shared));
}
#endif
)";

const char* const kGlslShaders[TEST_SHADER_COUNT] = {
    kPlacedGlsl, kSolidGlsl, kDepthViewGlsl, kSecondUnitGlsl, kPackedColorGlsl,
    kMeshIndexGlsl, kArraysGlsl, kCompileErrorGlsl, kLinkErrorGlsl,
};

} // namespace

const char* testShaderSource(TestShader shader) {
    if (shader < 0 || shader >= TEST_SHADER_COUNT) return nullptr;
    if (strcmp(api().getShaderSourceFileExtensionInRenderer(), ".glsl") == 0) return kGlslShaders[shader];
    return nullptr;
}
