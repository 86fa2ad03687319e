// Uniform setters: by the name the shader declared, or by array element ("O" forms,
// "name[i]" looked up in the program). GL sets uniforms on the current program, so a
// value for a shader that is not the bound one is set on its program for the time of
// the call.
#include "backends/window/backend_exports.h"
#include "backends/opengl/opengl_backend.h"
#include "backends/opengl/shader_source.h"

#include <string.h>

namespace {

struct UniformTarget {
    GLint location;
    GLuint restoreProgram;
    bool switched;
};

bool enterProgram(RendererState* state, const ProgramSlot* slot, UniformTarget* target) {
    target->switched = false;
    target->restoreProgram = 0;
    if (!slot->program) return false;
    const ProgramSlot* bound = state->currentShader ? programSlot(state, state->currentShader) : nullptr;
    const GLuint current = bound ? bound->program : 0;
    if (current != slot->program) {
        glUseProgram(slot->program);
        target->restoreProgram = current;
        target->switched = true;
    }
    return true;
}

void leaveProgram(const UniformTarget& target) {
    if (target.switched) glUseProgram(target.restoreProgram);
}

// The declared uniform of that name (the first match), when it has a location.
bool namedUniform(RendererState* state, ShaderRecord* shader, const char* name, UniformTarget* target) {
    const ProgramSlot* slot = programSlot(state, shader);
    if (!slot || !name) return false;
    const ShaderUniform* uniforms = static_cast<const ShaderUniform*>(shader->uniforms);
    for (uint32_t i = 0; uniforms && i < shader->uniformCount; ++i) {
        if (strcmp(uniforms[i].name, name) != 0) continue;
        if (uniforms[i].location == -1) return false;
        target->location = uniforms[i].location;
        return enterProgram(state, slot, target);
    }
    return false;
}

bool elementUniform(RendererState* state, ShaderRecord* shader, const char* name, uint64_t byteOffset,
                    uint32_t elementSize, UniformTarget* target) {
    const ProgramSlot* slot = programSlot(state, shader);
    char element[UNIFORM_ELEMENT_NAME_CAPACITY];
    if (!slot || !slot->program || !formatElementName(element, name, byteOffset, elementSize)) return false;
    target->location = glGetUniformLocation(slot->program, element);
    if (target->location == -1) return false;
    return enterProgram(state, slot, target);
}

} // namespace

void sendMatrix4x4ToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                     const float* matrix) {
    UniformTarget target;
    if (!matrix || !namedUniform(state, shader, name, &target)) return;
    glUniformMatrix4fv(target.location, 1, GL_FALSE, matrix);
    leaveProgram(target);
}

void sendMatrix4x4ToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                      const float* matrix, uint64_t byteOffset) {
    UniformTarget target;
    if (!matrix || !elementUniform(state, shader, name, byteOffset, 64, &target)) return;
    glUniformMatrix4fv(target.location, 1, GL_FALSE, matrix);
    leaveProgram(target);
}

void sendMatrix3x3ToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                     const float* matrix) {
    UniformTarget target;
    if (!matrix || !namedUniform(state, shader, name, &target)) return;
    glUniformMatrix3fv(target.location, 1, GL_FALSE, matrix);
    leaveProgram(target);
}

void sendSkeletonToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                    const float* matrices, uint32_t count) {
    UniformTarget target;
    if (!matrices || count == 0 || !namedUniform(state, shader, name, &target)) return;
    glUniformMatrix4fv(target.location, static_cast<GLsizei>(count), GL_FALSE, matrices);
    leaveProgram(target);
}

void sendSkeletonToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                     const float* matrices, uint32_t count, uint64_t byteOffset) {
    UniformTarget target;
    if (!matrices || count == 0 || !elementUniform(state, shader, name, byteOffset, 64, &target)) return;
    glUniformMatrix4fv(target.location, static_cast<GLsizei>(count), GL_FALSE, matrices);
    leaveProgram(target);
}

void sendFloatToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name, float value) {
    UniformTarget target;
    if (!namedUniform(state, shader, name, &target)) return;
    glUniform1f(target.location, value);
    leaveProgram(target);
}

void sendFloatToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name, float value,
                                  uint64_t byteOffset) {
    UniformTarget target;
    if (!elementUniform(state, shader, name, byteOffset, 4, &target)) return;
    glUniform1f(target.location, value);
    leaveProgram(target);
}

void sendIntegerToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name, int32_t value) {
    UniformTarget target;
    if (!namedUniform(state, shader, name, &target)) return;
    glUniform1i(target.location, value);
    leaveProgram(target);
}

void sendIntegerToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name, int32_t value,
                                    uint64_t byteOffset) {
    UniformTarget target;
    if (!elementUniform(state, shader, name, byteOffset, 4, &target)) return;
    glUniform1i(target.location, value);
    leaveProgram(target);
}

void sendUnsignedIntegerToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                           uint32_t value) {
    UniformTarget target;
    if (!namedUniform(state, shader, name, &target)) return;
    glUniform1ui(target.location, value);
    leaveProgram(target);
}

void sendUnsignedIntegerToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                            uint32_t value, uint64_t byteOffset) {
    UniformTarget target;
    if (!elementUniform(state, shader, name, byteOffset, 4, &target)) return;
    glUniform1ui(target.location, value);
    leaveProgram(target);
}

void sendVector2DToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                    RendererVector2 value) {
    UniformTarget target;
    if (!namedUniform(state, shader, name, &target)) return;
    glUniform2f(target.location, value.x, value.y);
    leaveProgram(target);
}

void sendVector2DToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name,
                                     RendererVector2 value, uint64_t byteOffset) {
    UniformTarget target;
    if (!elementUniform(state, shader, name, byteOffset, 8, &target)) return;
    glUniform2f(target.location, value.x, value.y);
    leaveProgram(target);
}

void sendVector3DToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name, const float* value) {
    UniformTarget target;
    if (!value || !namedUniform(state, shader, name, &target)) return;
    glUniform3f(target.location, value[0], value[1], value[2]);
    leaveProgram(target);
}

void sendVector3DToShaderOInRenderer(RendererState* state, ShaderRecord* shader, const char* name, const float* value,
                                     uint64_t byteOffset) {
    UniformTarget target;
    if (!value || !elementUniform(state, shader, name, byteOffset, 12, &target)) return;
    glUniform3f(target.location, value[0], value[1], value[2]);
    leaveProgram(target);
}

void sendVector4DToShaderInRenderer(RendererState* state, ShaderRecord* shader, const char* name, const float* value) {
    UniformTarget target;
    if (!value || !namedUniform(state, shader, name, &target)) return;
    glUniform4f(target.location, value[0], value[1], value[2], value[3]);
    leaveProgram(target);
}
