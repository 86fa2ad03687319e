// The game's shader programs as it declares them: the file under data/shaders/ (no
// extension), the vertex format of their input and their uniforms with component
// counts. Header only, so the Windows shader tests can use it without the builder.
#pragma once

#include <stdint.h>

struct ShaderUniformSpec {
    const char* name;
    uint16_t components;
};

struct ShaderProgramSpec {
    const char* path;
    int32_t vertexFormat;
    bool postProcess; // gets setShaderOutputInRenderer(1) and the unit quad
    ShaderUniformSpec uniforms[8];
    uint32_t uniformCount;
};

inline constexpr ShaderProgramSpec kShaderProgramSpecs[] = {
    {"basic-fixed", 0, false, {{"mvMat", 16}, {"projMat", 16}}, 2},
    {"basic-directional-light", 0, false,
     {{"mvMat", 16}, {"projMat", 16}, {"modelMat", 16}, {"inverseModelMat", 9}, {"lightDirection", 3}, {"highlight", 1},
      {"spotPosition", 3}, {"lightMultiplier", 3}},
     8},
    {"text", 8, false, {{"pos", 3}, {"scale", 3}}, 2},
    {"color", 0, false, {{"mvMat", 16}, {"projMat", 16}, {"color", 4}}, 3},
    {"shadowmap", 0, false, {{"mvMat", 16}, {"projMat", 16}}, 2},
    {"PostProcess/horizontalBlur", 3, true, {{"mvMat", 16}, {"projMat", 16}, {"screenSize", 2}}, 3},
    {"PostProcess/verticalBlur", 3, true, {{"mvMat", 16}, {"projMat", 16}, {"screenSize", 2}}, 3},
    {"PostProcess/bloomComposite", 3, true, {{"mvMat", 16}, {"projMat", 16}, {"screenSize", 2}}, 3},
    {"PostProcess/onlyBright", 3, true, {{"mvMat", 16}, {"projMat", 16}, {"screenSize", 2}}, 3},
    {"PostProcess/toneMapping", 3, true, {{"mvMat", 16}, {"projMat", 16}, {"screenSize", 2}}, 3},
};
inline constexpr uint32_t kShaderProgramSpecCount = sizeof(kShaderProgramSpecs) / sizeof(kShaderProgramSpecs[0]);

// Where the Direct3D 12 backend places each uniform in its constant block, in 32-bit
// units: after the previous one, moved to the next 16-byte row when it would cross
// one, with sizes above 4 that are not a multiple of 4 rounded up (a 3 x 3 matrix
// takes three rows). HLSL packs a cbuffer declared in the same order the same way.
inline void packedUniformOffsets(const ShaderProgramSpec* program, uint32_t* offsets) {
    uint32_t previousOffset = 0, previousCount = 0;
    for (uint32_t i = 0; i < program->uniformCount; ++i) {
        uint32_t count = program->uniforms[i].components;
        uint32_t offset = i > 0 ? previousOffset + previousCount : 0;
        if (offset % 4 != 0 && 4 - offset % 4 < count) offset = (offset + 3) / 4 * 4;
        if (count > 4 && count % 4 != 0) count = (count + 3) / 4 * 4;
        offsets[i] = offset;
        previousOffset = offset;
        previousCount = count;
    }
}
