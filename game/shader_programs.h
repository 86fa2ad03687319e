// The game's shader programs, in the order it reads, declares and compiles them: the
// source file under data/shaders/ (no extension), the vertex format of its input, its
// uniforms with their component counts, and the cull and blend state of its record.
// One table: the loader, the content builder (which copies the sources) and the shader
// tests all read it. Header only, so the Windows shader tests need nothing else.
#pragma once

#include "backend/renderer_types.h"

#include <stdint.h>
#include <string.h>

enum { SHADER_PROGRAM_COUNT = 12, SHADER_PROGRAM_MAX_UNIFORMS = 9 };

struct ShaderUniformSpec {
    const char* name;
    uint16_t components;
};

struct ShaderProgramSpec {
    const char* path;
    int32_t vertexFormat;
    bool postProcess; // writes colour only (setShaderOutputInRenderer 1); drawn over the unit quad
    uint32_t cullMode;
    uint32_t blendMode;
    ShaderUniformSpec uniforms[SHADER_PROGRAM_MAX_UNIFORMS];
    uint32_t uniformCount;
};

// Index of each program in the table, which is also the order of the records in
// ShaderPrograms.
enum ShaderProgramIndex {
    PROGRAM_BASIC_FIXED = 0,
    PROGRAM_BASIC_DIRECTIONAL_LIGHT = 1,
    PROGRAM_TEXT = 2,
    PROGRAM_COLOR = 3,
    PROGRAM_SHADOWMAP = 4,
    PROGRAM_FINAL_BLUR = 5,      // the room's finished picture: smoothed, with its bloom
    PROGRAM_HORIZONTAL_BLUR = 6, // the bloom chains
    PROGRAM_VERTICAL_BLUR = 7,
    PROGRAM_BLOOM_COMPOSITE = 8, // a monitor's picture: scene + bloom, replacing the target
    PROGRAM_ONLY_BRIGHT = 9,
    PROGRAM_TONE_MAPPING = 10,
    PROGRAM_COPY = 11,          // the kept picture of the room into the back buffer
};

#define QUARLO_POST_UNIFORMS {{"mvMat", 16}, {"projMat", 16}, {"screenSize", 2}}, 3
// The monitor composite and the copy read their inputs at the pixel's own place and
// need no size.
#define QUARLO_COMPOSITE_UNIFORMS {{"mvMat", 16}, {"projMat", 16}}, 2

// Rooms are seen from inside and doors from both sides: the lit pass draws every face,
// whatever way the content winds it. Nothing the game draws with a program that writes
// a fixed alpha blends: blending would give the source itself, and costs a read of the
// target for every pixel on a software rasteriser. The text and colour programs of the
// GUI blend with their alpha.
inline constexpr ShaderProgramSpec kShaderProgramSpecs[SHADER_PROGRAM_COUNT] = {
    {"basic-fixed", 0, false, CULL_BACK, BLEND_NONE, {{"mvMat", 16}, {"projMat", 16}}, 2},
    {"basic-directional-light",
     0,
     false,
     CULL_NONE,
     BLEND_NONE,
     {{"mvMat", 16},
      {"projMat", 16},
      {"modelMat", 16},
      {"inverseModelMat", 9},
      {"lightDirection", 3},
      {"highlight", 1},
      {"spotPosition", 3},
      {"lightMultiplier", 3},
      {"shade", 1}},
     9},
    {"text", 8, false, CULL_BACK, BLEND_ALPHA, {{"pos", 3}, {"scale", 3}}, 2},
    {"color", 0, false, CULL_BACK, BLEND_ALPHA, {{"mvMat", 16}, {"projMat", 16}, {"color", 4}}, 3},
    {"shadowmap", 0, false, CULL_NONE, BLEND_ALPHA, {{"mvMat", 16}, {"projMat", 16}}, 2},
    {"PostProcess/finalBlur", 3, true, CULL_BACK, BLEND_NONE, QUARLO_POST_UNIFORMS},
    {"PostProcess/horizontalBlur", 3, true, CULL_BACK, BLEND_NONE, QUARLO_POST_UNIFORMS},
    {"PostProcess/verticalBlur", 3, true, CULL_BACK, BLEND_NONE, QUARLO_POST_UNIFORMS},
    {"PostProcess/bloomComposite", 3, true, CULL_BACK, BLEND_NONE, QUARLO_COMPOSITE_UNIFORMS},
    {"PostProcess/onlyBright", 3, true, CULL_BACK, BLEND_NONE, QUARLO_POST_UNIFORMS},
    {"PostProcess/toneMapping", 3, true, CULL_BACK, BLEND_NONE, QUARLO_POST_UNIFORMS},
    {"PostProcess/copy", 3, true, CULL_BACK, BLEND_NONE, QUARLO_COMPOSITE_UNIFORMS},
};

#undef QUARLO_POST_UNIFORMS
#undef QUARLO_COMPOSITE_UNIFORMS

// True for the first program read from its source file; later ones load the same file
// into another record.
inline bool isFirstProgramOfItsSource(uint32_t index) {
    for (uint32_t i = 0; i < index && i < SHADER_PROGRAM_COUNT; ++i)
        if (strcmp(kShaderProgramSpecs[i].path, kShaderProgramSpecs[index].path) == 0) return false;
    return index < SHADER_PROGRAM_COUNT;
}
