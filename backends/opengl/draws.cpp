// Indexed triangle draws from 32-bit indices, with the shader's attribute pointers
// set on the vertex input's buffer.
#include "backends/window/backend_exports.h"
#include "backends/opengl/opengl_backend.h"

namespace {

struct DrawBuffers {
    ProgramSlot* slot;
    const VertexInputSlot* input;
    const IndexBufferSlot* indices;
};

uint32_t attributeBytes(const ShaderAttribute& attribute) { return attribute.components * 4u; }

// Resolves the handles and makes the shader current; false when any of them names
// nothing, or the shader never linked (GL would draw with fixed-function processing).
bool prepareDraw(RendererState* state, ShaderRecord* shader, uint32_t indexBufferId, uint32_t vertexInputId,
                 DrawBuffers* draw) {
    draw->slot = programSlot(state, shader);
    draw->input = vertexInputSlot(state, vertexInputId);
    draw->indices = indexBufferSlot(state, indexBufferId);
    if (!draw->slot || !draw->slot->program || !draw->input || !draw->indices) return false;
    // The attribute locations are those of this shader's program.
    if (state->currentShader != shader) bindShaderInRenderer(state, shader);
    setUpVertexAttributes(state, shader, draw->input);
    draw->slot->lastVertexInput = vertexInputId;
    draw->slot->lastIndexBuffer = indexBufferId;
    bindIndexBufferThroughState(state, indexBufferId, draw->indices);
    return true;
}

void drawRange(uint32_t first, uint32_t count) {
    if (count == 0) return;
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(static_cast<uintptr_t>(first) * sizeof(uint32_t)));
}

} // namespace

void setUpVertexAttributes(RendererState* state, ShaderRecord* shader, const VertexInputSlot* input) {
    glBindBuffer(GL_ARRAY_BUFFER, input->buffer);
    state->boundVertexInput = static_cast<uint32_t>(input - openGLState(state)->vertexInputs);
    const GLsizei stride = static_cast<GLsizei>(vertexStrideBytes(static_cast<int32_t>(input->vertexFormat)));
    const ShaderAttribute* attributes = static_cast<const ShaderAttribute*>(shader->attributes);
    for (uint32_t i = 0; attributes && i < shader->attributeCount; ++i) {
        const ShaderAttribute& attribute = attributes[i];
        if (attribute.location < 0) continue;
        const GLuint location = static_cast<GLuint>(attribute.location);
        // An attribute the vertex input's format does not hold would be read past the
        // end of each vertex (and of the buffer); it keeps GL's constant value instead.
        if (attribute.byteOffset + attributeBytes(attribute) > static_cast<uint64_t>(stride)) {
            glDisableVertexAttribArray(location);
            continue;
        }
        const void* offset = reinterpret_cast<const void*>(static_cast<uintptr_t>(attribute.byteOffset));
        switch (attribute.kind) {
        case ATTRIBUTE_INTEGER:
            glVertexAttribIPointer(location, attribute.components, GL_INT, stride, offset);
            break;
        case ATTRIBUTE_PACKED_BYTES:
            glVertexAttribPointer(location, attribute.components * 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, offset);
            break;
        default:
            glVertexAttribPointer(location, attribute.components, GL_FLOAT, GL_FALSE, stride, offset);
            break;
        }
        // Enabled here as well as at bind time: an unbind in between disables them.
        glEnableVertexAttribArray(location);
    }
}

void drawIndexedInRenderer(RendererState* state, ShaderRecord* shader, uint32_t indexBufferId, uint32_t vertexInputId) {
    DrawBuffers draw;
    if (!prepareDraw(state, shader, indexBufferId, vertexInputId, &draw)) return;
    drawRange(0, draw.indices->indexCount);
}

void drawIndexedSubIndexCountInRenderer(RendererState* state, ShaderRecord* shader, uint32_t indexBufferId,
                                        uint32_t vertexInputId, uint32_t count) {
    DrawBuffers draw;
    if (!prepareDraw(state, shader, indexBufferId, vertexInputId, &draw)) return;
    drawRange(0, count < draw.indices->indexCount ? count : draw.indices->indexCount);
}

void drawIndexedSubIndexSetInRenderer(RendererState* state, ShaderRecord* shader, uint32_t indexBufferId,
                                      uint32_t vertexInputId, uint32_t first, uint32_t count) {
    DrawBuffers draw;
    if (!prepareDraw(state, shader, indexBufferId, vertexInputId, &draw)) return;
    const uint32_t available = draw.indices->indexCount;
    if (first >= available) return;
    drawRange(first, count < available - first ? count : available - first);
}

void drawIndexedWithPreviousBuffersInRenderer(RendererState* state, ShaderRecord* shader) {
    const ProgramSlot* slot = programSlot(state, shader);
    if (!slot) return;
    drawIndexedInRenderer(state, shader, slot->lastIndexBuffer, slot->lastVertexInput);
}
