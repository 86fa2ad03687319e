// Uniform setters: each copies its value into the shader slot's staged constant
// block at the offset the declaration was packed to; the block reaches the GPU at
// the next draw with that shader. The "O" forms address an element of an array as
// HLSL lays arrays out: every element of a scalar, two- or three-component array
// starts a 16-byte row, matrices follow each other.
#include "backends/d3d12/d3d12_backend.h"
#include "backends/window/backend_exports.h"

#include <string.h>

namespace {

struct ShaderUniform {
    char* name;
    uint32_t offset;
    uint16_t componentCount;
};

// Where a value of `bytes` bytes goes: the uniform's offset plus the element's
// displacement. Null when the shader declares no such uniform or it would not fit.
uint8_t* uniformTarget(RendererState* state, ShaderRecord* shader, const char* name, uint64_t displacement,
                       uint64_t bytes) {
    ShaderSlot* slot = shaderSlot(d3d12State(state), shader);
    if (!slot || !slot->constants || !name) return nullptr;
    const ShaderUniform* uniforms = static_cast<const ShaderUniform*>(shader->uniforms);
    for (uint32_t i = 0; uniforms && i < shader->uniformCount; ++i) {
        if (strcmp(uniforms[i].name, name) != 0) continue;
        if (uniforms[i].offset == RENDERER_INVALID_ID) return nullptr;
        const uint64_t start = static_cast<uint64_t>(uniforms[i].offset) * 4u + displacement;
        if (start > STAGED_CONSTANT_BYTES || bytes > STAGED_CONSTANT_BYTES - start) return nullptr;
        return slot->constants + start;
    }
    return nullptr;
}

// The element at byteOffset of a tightly packed array of elementSize-byte values,
// each element in its own 16-byte row.
uint64_t rowDisplacement(uint64_t byteOffset, uint64_t elementSize) { return 16u * (byteOffset / elementSize); }

void writeValue(RendererState* state, ShaderRecord* shader, const char* name, uint64_t displacement, const void* value,
                uint64_t bytes) {
    if (!value) return;
    if (uint8_t* target = uniformTarget(state, shader, name, displacement, bytes)) memcpy(target, value, bytes);
}

} // namespace

void sendFloatToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name, float value) {
    writeValue(state, shader, name, 0, &value, 4);
}

void sendFloatToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name, float value,
                                  uint64_t byteOffset) {
    writeValue(state, shader, name, rowDisplacement(byteOffset, 4), &value, 4);
}

void sendIntegerToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name, int32_t value) {
    writeValue(state, shader, name, 0, &value, 4);
}

void sendIntegerToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name, int32_t value,
                                    uint64_t byteOffset) {
    writeValue(state, shader, name, rowDisplacement(byteOffset, 4), &value, 4);
}

void sendUnsignedIntegerToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                           uint32_t value) {
    writeValue(state, shader, name, 0, &value, 4);
}

void sendUnsignedIntegerToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                            uint32_t value, uint64_t byteOffset) {
    writeValue(state, shader, name, rowDisplacement(byteOffset, 4), &value, 4);
}

void sendVector2DToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                    RendererVector2 value) {
    const float pair[2] = {value.x, value.y};
    writeValue(state, shader, name, 0, pair, 8);
}

void sendVector2DToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                     RendererVector2 value, uint64_t byteOffset) {
    const float pair[2] = {value.x, value.y};
    writeValue(state, shader, name, rowDisplacement(byteOffset, 8), pair, 8);
}

void sendVector3DToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name, const float* value) {
    writeValue(state, shader, name, 0, value, 12);
}

void sendVector3DToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name, const float* value,
                                     uint64_t byteOffset) {
    writeValue(state, shader, name, rowDisplacement(byteOffset, 12), value, 12);
}

void sendVector4DToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name, const float* value) {
    writeValue(state, shader, name, 0, value, 16);
}

// Three columns of three, each in its own 16-byte row, as HLSL holds a float3x3.
void sendMatrix3x3ToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                     const float* matrix) {
    if (!matrix) return;
    uint8_t* target = uniformTarget(state, shader, name, 0, 44);
    if (!target) return;
    for (int column = 0; column < 3; ++column) memcpy(target + 16 * column, matrix + 3 * column, 12);
}

void sendMatrix4x4ToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                     const float* matrix) {
    writeValue(state, shader, name, 0, matrix, 64);
}

void sendMatrix4x4ToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name, const float* matrix,
                                      uint64_t byteOffset) {
    writeValue(state, shader, name, byteOffset, matrix, 64);
}

void sendSkeletonToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name, const float* matrices,
                                    uint32_t count) {
    writeValue(state, shader, name, 0, matrices, static_cast<uint64_t>(count) * 64u);
}

void sendSkeletonToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                     const float* matrices, uint32_t count, uint64_t byteOffset) {
    writeValue(state, shader, name, byteOffset, matrices, static_cast<uint64_t>(count) * 64u);
}
