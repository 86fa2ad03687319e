// Indexed triangle draws: the shader is made current with the pipeline state of the
// render state and the bound targets, its staged constants take a block of the pool,
// and the buffers are bound unless they already are.
#include "backends/d3d12/d3d12_backend.h"
#include "backends/window/backend_exports.h"

void drawWithShader(RendererState* state, ShaderRecord* shader, uint32_t indexBufferId, uint32_t vertexInputId,
                    uint32_t first, uint32_t count, bool allIndices) {
    D3D12Backend* backend = d3d12State(state);
    ShaderSlot* slot = shaderSlot(backend, shader);
    if (!slot || !backend->recording) return;
    slot->lastVertexInput = vertexInputId;
    slot->lastIndexBuffer = indexBufferId;
    IndexBufferSlot* indices = indexBufferSlot(backend, indexBufferId);
    if (!indices || !vertexInputSlot(backend, vertexInputId)) return;
    // The draw uses this shader whatever was bound, with states for the targets bound now.
    if (state->currentShader != shader)
        bindShaderInRenderer(state, shader);
    else if (slot->currentTargetsVersion != backend->targetsVersion)
        bindShaderPipeline(state, backend, shader, false);
    // A shader that did not compile, or whose state was refused, draws nothing.
    if (!slot->current || !slot->current->pipeline) return;

    const uint32_t available = indices->view.indexCount;
    if (allIndices) {
        first = 0;
        count = available;
    }
    if (first >= available) return;
    if (count > available - first) count = available - first;
    if (count == 0) return;

    bindVertexInput(state, backend, vertexInputId);
    bindIndexBuffer(state, backend, indexBufferId);
    // A shader that declares no uniforms reads no constant block.
    if (shader->uniformCount > 0 && !allocateConstants(backend, slot->constants, slot->constantBytes)) {
        ++backend->statistics.drawsSkipped;
        return;
    }
    backend->frameList->DrawIndexedInstanced(count, 1, first, 0, 0);
    ++backend->statistics.drawsRecorded;
}

void drawIndexedInRenderer(RendererState* state, ShaderRecord* shader, uint32_t indexBufferId, uint32_t vertexInputId) {
    drawWithShader(state, shader, indexBufferId, vertexInputId, 0, 0, true);
}

void drawIndexedSubIndexCountInRenderer(RendererState* state, ShaderRecord* shader, uint32_t indexBufferId,
                                        uint32_t vertexInputId, uint32_t count) {
    drawWithShader(state, shader, indexBufferId, vertexInputId, 0, count, false);
}

void drawIndexedSubIndexSetInRenderer(RendererState* state, ShaderRecord* shader, uint32_t indexBufferId,
                                      uint32_t vertexInputId, uint32_t first, uint32_t count) {
    drawWithShader(state, shader, indexBufferId, vertexInputId, first, count, false);
}

void drawIndexedWithPreviousBuffersInRenderer(RendererState* state, ShaderRecord* shader) {
    ShaderSlot* slot = shaderSlot(d3d12State(state), shader);
    if (!slot) return;
    drawWithShader(state, shader, slot->lastIndexBuffer, slot->lastVertexInput, 0, 0, true);
}
