// Vertex inputs, index buffers and the older plain-buffer family. Every buffer is a
// committed buffer in an upload heap: the CPU writes it through a mapping and the GPU
// reads it in place. Released ids wait on the free-id stacks of RendererState and
// come back last in, first out, with their buffer. A buffer replaced by a larger one
// stays alive until the GPU finished the frame whose draws may still read it.
#include "backends/d3d12/d3d12_backend.h"
#include "backends/window/backend_exports.h"

#include "backend/free_ids.h"
#include "backend/vertex_formats.h"

#include <string.h>

namespace {

uint64_t vertexBytes(uint32_t vertexCount, int32_t vertexFormat) {
    return static_cast<uint64_t>(vertexCount) * static_cast<uint64_t>(vertexFormatSlots(vertexFormat)) * 4u;
}

// A view's sizes are 32-bit: larger buffers are refused.
bool fitsView(uint64_t bytes) { return bytes > 0 && bytes <= 0xFFFFFFFFu; }

// Writes bytes at an offset of an upload buffer through a mapping.
bool writeBuffer(ID3D12Resource* buffer, uint64_t offset, const void* data, uint64_t bytes) {
    if (!buffer || !data || bytes == 0) return true;
    uint8_t* memory = nullptr;
    D3D12_RANGE nothingRead = {0, 0};
    if (FAILED(buffer->Map(0, &nothingRead, reinterpret_cast<void**>(&memory)))) return false;
    memcpy(memory + offset, data, bytes);
    D3D12_RANGE written = {static_cast<SIZE_T>(offset), static_cast<SIZE_T>(offset + bytes)};
    buffer->Unmap(0, &written);
    return true;
}

// A new buffer for a slot: the one it had may still be read by this frame's draws.
ID3D12Resource* replaceBuffer(D3D12Backend* backend, ID3D12Resource* old, uint64_t bytes) {
    ID3D12Resource* buffer = createUploadBuffer(backend, bytes);
    if (!buffer) return nullptr;
    retireObject(backend, old);
    return buffer;
}

// Before a write in place: a buffer that the open frame list has bound may still be
// read by the draws recorded so far, which must see what they were recorded with. It
// is swapped for a copy, and the draws keep the old one until the GPU finished.
template <typename Slot>
bool makeWritable(D3D12Backend* backend, Slot* slot, uint64_t capacity) {
    if (!backend->recording || slot->boundInList != backend->listSerial) return true;
    ID3D12Resource* copy = createUploadBuffer(backend, capacity);
    if (!copy) return false;
    uint8_t* from = nullptr;
    uint8_t* to = nullptr;
    D3D12_RANGE all = {0, static_cast<SIZE_T>(capacity)};
    D3D12_RANGE nothing = {0, 0};
    if (SUCCEEDED(slot->buffer->Map(0, &all, reinterpret_cast<void**>(&from)))) {
        if (SUCCEEDED(copy->Map(0, &nothing, reinterpret_cast<void**>(&to)))) {
            memcpy(to, from, capacity);
            copy->Unmap(0, nullptr);
        }
        slot->buffer->Unmap(0, &nothing);
    }
    retireObject(backend, slot->buffer);
    slot->buffer = copy;
    slot->view.gpuAddress = copy->GetGPUVirtualAddress();
    slot->boundInList = 0;
    return true;
}

// Fills a vertex input slot with a new buffer of exactly the data's size.
bool fillVertexInput(D3D12Backend* backend, VertexInputSlot* slot, uint32_t vertexCount, const float* data,
                     int32_t vertexFormat) {
    const uint64_t bytes = vertexBytes(vertexCount, vertexFormat);
    ID3D12Resource* buffer = replaceBuffer(backend, slot->buffer, bytes);
    if (!buffer) return false;
    slot->buffer = buffer;
    slot->boundInList = 0;
    writeBuffer(buffer, 0, data, bytes);
    slot->view.gpuAddress = buffer->GetGPUVirtualAddress();
    slot->view.capacity = static_cast<uint32_t>(bytes);
    slot->view.stride = static_cast<uint32_t>(bytes / vertexCount);
    slot->view.used = static_cast<uint32_t>(bytes);
    return true;
}

bool fillIndexBuffer(D3D12Backend* backend, IndexBufferSlot* slot, uint32_t indexCount, const uint32_t* indices) {
    const uint64_t bytes = static_cast<uint64_t>(indexCount) * 4u;
    ID3D12Resource* buffer = replaceBuffer(backend, slot->buffer, bytes);
    if (!buffer) return false;
    slot->buffer = buffer;
    slot->boundInList = 0;
    writeBuffer(buffer, 0, indices, bytes);
    slot->view.gpuAddress = buffer->GetGPUVirtualAddress();
    slot->view.capacity = static_cast<uint32_t>(bytes);
    slot->view.format = DXGI_FORMAT_R32_UINT;
    slot->view.indexCount = indexCount;
    return true;
}

// A bound buffer that changed must be bound again by the next draw.
void forgetIfBound(uint32_t* bound, uint32_t id) {
    if (*bound == id) *bound = RENDERER_INVALID_ID;
}

PlainBufferSlot* plainBufferSlot(D3D12Backend* backend, uint32_t id) {
    return backend && id < backend->plainBuffers.count ? &backend->plainBuffers.elements[id] : nullptr;
}

} // namespace

VertexInputSlot* vertexInputSlot(D3D12Backend* backend, uint32_t id) {
    return backend && id < backend->vertexInputs.count && backend->vertexInputs.elements[id].buffer
               ? &backend->vertexInputs.elements[id]
               : nullptr;
}

IndexBufferSlot* indexBufferSlot(D3D12Backend* backend, uint32_t id) {
    return backend && id < backend->indexBuffers.count && backend->indexBuffers.elements[id].buffer
               ? &backend->indexBuffers.elements[id]
               : nullptr;
}

void bindVertexInput(RendererState* state, D3D12Backend* backend, uint32_t id) {
    VertexInputSlot* slot = vertexInputSlot(backend, id);
    if (!slot || !backend->recording || state->boundVertexInput == id) return;
    backend->frameList->IASetVertexBuffers(0, 1, reinterpret_cast<const D3D12_VERTEX_BUFFER_VIEW*>(&slot->view));
    slot->boundInList = backend->listSerial;
    state->boundVertexInput = id;
    ++backend->statistics.vertexBufferSets;
}

void bindIndexBuffer(RendererState* state, D3D12Backend* backend, uint32_t id) {
    IndexBufferSlot* slot = indexBufferSlot(backend, id);
    if (!slot || !backend->recording || state->boundIndexBuffer == id) return;
    backend->frameList->IASetIndexBuffer(reinterpret_cast<const D3D12_INDEX_BUFFER_VIEW*>(&slot->view));
    slot->boundInList = backend->listSerial;
    state->boundIndexBuffer = id;
    ++backend->statistics.indexBufferSets;
}

uint32_t createVertexInputBufferInRenderer(RendererState* state, uint32_t vertexCount, const float* data,
                                           int32_t vertexFormat) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend || !isVertexFormat(vertexFormat) || !fitsView(vertexBytes(vertexCount, vertexFormat)))
        return RENDERER_INVALID_ID;
    uint32_t id = 0;
    if (!takeFreeVertexInputId(state, backend->vertexInputs.count, &id)) {
        if (!appendDynArray(&backend->vertexInputs)) return RENDERER_INVALID_ID;
        id = backend->vertexInputs.count - 1;
    }
    VertexInputSlot* slot = &backend->vertexInputs.elements[id];
    if (!fillVertexInput(backend, slot, vertexCount, data, vertexFormat)) {
        releaseVertexInputId(state, id);
        return RENDERER_INVALID_ID;
    }
    forgetIfBound(&state->boundVertexInput, id);
    return id;
}

uint32_t updateVertexInputBufferInRenderer(RendererState* state, uint32_t id, uint32_t vertexCount, const float* data,
                                           int32_t vertexFormat) {
    D3D12Backend* backend = d3d12State(state);
    VertexInputSlot* slot = vertexInputSlot(backend, id);
    if (!slot) return createVertexInputBufferInRenderer(state, vertexCount, data, vertexFormat);
    const uint64_t bytes = vertexBytes(vertexCount, vertexFormat);
    if (!isVertexFormat(vertexFormat) || !fitsView(bytes)) return id;
    if (slot->view.capacity >= bytes) {
        if (!makeWritable(backend, slot, slot->view.capacity)) return id;
        slot->view.stride = static_cast<uint32_t>(bytes / vertexCount);
        slot->view.used = static_cast<uint32_t>(bytes);
        writeBuffer(slot->buffer, 0, data, bytes);
        forgetIfBound(&state->boundVertexInput, id);
        return id;
    }
    // Too small: the id goes back on the stack and the creation takes it straight back
    // with a buffer of the new size.
    releaseVertexInputId(state, id);
    return createVertexInputBufferInRenderer(state, vertexCount, data, vertexFormat);
}

uint32_t updateVertexInputBufferFromIndexInRenderer(RendererState* state, uint32_t id, uint32_t firstVertex,
                                                    uint32_t vertexCount, const float* data, int32_t vertexFormat) {
    D3D12Backend* backend = d3d12State(state);
    VertexInputSlot* slot = vertexInputSlot(backend, id);
    if (!slot || !data || !isVertexFormat(vertexFormat)) return id;
    const uint64_t bytes = vertexBytes(vertexCount, vertexFormat);
    const uint64_t offset = vertexBytes(firstVertex, vertexFormat);
    if (!fitsView(bytes)) return id;
    if (bytes > slot->view.capacity) {
        releaseVertexInputId(state, id);
        return createVertexInputBufferInRenderer(state, vertexCount, data, vertexFormat);
    }
    // A range past the end writes nothing rather than past the buffer.
    if (offset > slot->view.capacity - bytes) return id;
    if (!makeWritable(backend, slot, slot->view.capacity)) return id;
    slot->view.used = static_cast<uint32_t>(bytes);
    writeBuffer(slot->buffer, offset, data, bytes);
    forgetIfBound(&state->boundVertexInput, id);
    return id;
}

void* openVertexInputBufferInRenderer(RendererState* state, uint32_t id) {
    D3D12Backend* backend = d3d12State(state);
    VertexInputSlot* slot = vertexInputSlot(backend, id);
    if (!slot || !makeWritable(backend, slot, slot->view.capacity)) return nullptr;
    forgetIfBound(&state->boundVertexInput, id);
    void* memory = nullptr;
    D3D12_RANGE nothingRead = {0, 0};
    return SUCCEEDED(slot->buffer->Map(0, &nothingRead, &memory)) ? memory : nullptr;
}

void closeVertexInputBufferInRenderer(RendererState* state, uint32_t id, uint32_t vertexCount, int32_t vertexFormat) {
    VertexInputSlot* slot = vertexInputSlot(d3d12State(state), id);
    if (!slot) return;
    const uint64_t bytes = vertexBytes(vertexCount, vertexFormat);
    slot->view.used = static_cast<uint32_t>(bytes < slot->view.capacity ? bytes : slot->view.capacity);
    slot->buffer->Unmap(0, nullptr);
}

void deleteVertexInputBufferInRenderer(RendererState* state, uint32_t id) {
    if (!vertexInputSlot(d3d12State(state), id)) return;
    releaseVertexInputId(state, id);
}

uint32_t createIndexBufferInRendererWithData(RendererState* state, uint32_t indexCount, const uint32_t* indices) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend || !fitsView(static_cast<uint64_t>(indexCount) * 4u)) return RENDERER_INVALID_ID;
    uint32_t id = 0;
    if (!takeFreeIndexBufferId(state, backend->indexBuffers.count, &id)) {
        if (!appendDynArray(&backend->indexBuffers)) return RENDERER_INVALID_ID;
        id = backend->indexBuffers.count - 1;
    }
    if (!fillIndexBuffer(backend, &backend->indexBuffers.elements[id], indexCount, indices)) {
        releaseIndexBufferId(state, id);
        return RENDERER_INVALID_ID;
    }
    forgetIfBound(&state->boundIndexBuffer, id);
    return id;
}

uint32_t updateIndexBufferInRenderer(RendererState* state, uint32_t id, uint32_t indexCount, const uint32_t* indices) {
    D3D12Backend* backend = d3d12State(state);
    IndexBufferSlot* slot = indexBufferSlot(backend, id);
    if (!slot) return createIndexBufferInRendererWithData(state, indexCount, indices);
    const uint64_t bytes = static_cast<uint64_t>(indexCount) * 4u;
    if (!fitsView(bytes)) return id;
    if (slot->view.capacity >= bytes) {
        if (!makeWritable(backend, slot, slot->view.capacity)) return id;
        slot->view.indexCount = indexCount;
        writeBuffer(slot->buffer, 0, indices, bytes);
        forgetIfBound(&state->boundIndexBuffer, id);
        return id;
    }
    releaseIndexBufferId(state, id);
    return createIndexBufferInRendererWithData(state, indexCount, indices);
}

void* openIndexBufferInRenderer(RendererState* state, uint32_t id) {
    D3D12Backend* backend = d3d12State(state);
    IndexBufferSlot* slot = indexBufferSlot(backend, id);
    if (!slot || !makeWritable(backend, slot, slot->view.capacity)) return nullptr;
    forgetIfBound(&state->boundIndexBuffer, id);
    void* memory = nullptr;
    D3D12_RANGE nothingRead = {0, 0};
    return SUCCEEDED(slot->buffer->Map(0, &nothingRead, &memory)) ? memory : nullptr;
}

void closeIndexBufferInRenderer(RendererState* state, uint32_t id, uint32_t indexCount) {
    IndexBufferSlot* slot = indexBufferSlot(d3d12State(state), id);
    if (!slot) return;
    const uint32_t capacity = slot->view.capacity / 4u;
    slot->view.indexCount = indexCount < capacity ? indexCount : capacity;
    slot->buffer->Unmap(0, nullptr);
}

void deleteIndexBufferInRenderer(RendererState* state, uint32_t id) {
    if (!indexBufferSlot(d3d12State(state), id)) return;
    releaseIndexBufferId(state, id);
}

void bindVertexBufferInRenderer(RendererState* state, uint32_t id) {
    if (D3D12Backend* backend = d3d12State(state)) bindVertexInput(state, backend, id);
}

void bindIndexBufferInRenderer(RendererState* state, uint32_t id) {
    if (D3D12Backend* backend = d3d12State(state)) bindIndexBuffer(state, backend, id);
}

// The older family (no caller in the game): plain buffers of its own, so that its ids
// never name a vertex input, and index buffers of the index table. Sends write into
// the buffers their create calls made, growing them when the data does not fit.
uint32_t createBufferInRenderer(RendererState* state) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend || !appendDynArray(&backend->plainBuffers)) return RENDERER_INVALID_ID;
    return backend->plainBuffers.count - 1;
}

uint32_t createVertexBufferInRenderer(RendererState* state, uint32_t positionFloatCount) {
    const uint32_t id = createBufferInRenderer(state);
    PlainBufferSlot* slot = plainBufferSlot(d3d12State(state), id);
    if (!slot) return RENDERER_INVALID_ID;
    const uint64_t bytes = static_cast<uint64_t>(positionFloatCount / 3) * 32u;
    if (fitsView(bytes)) {
        slot->buffer = createUploadBuffer(d3d12State(state), bytes);
        slot->capacity = slot->buffer ? static_cast<uint32_t>(bytes) : 0;
    }
    return id;
}

uint32_t createIndexBufferInRenderer(RendererState* state, uint32_t indexCount) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend || !fitsView(static_cast<uint64_t>(indexCount) * 4u)) return RENDERER_INVALID_ID;
    if (!appendDynArray(&backend->indexBuffers)) return RENDERER_INVALID_ID;
    const uint32_t id = backend->indexBuffers.count - 1;
    if (!fillIndexBuffer(backend, &backend->indexBuffers.elements[id], indexCount, nullptr)) {
        --backend->indexBuffers.count;
        return RENDERER_INVALID_ID;
    }
    return id;
}

void sendVerticesToBufferInRenderer(RendererState* state, uint32_t id, const float* data, uint32_t floatCount) {
    D3D12Backend* backend = d3d12State(state);
    PlainBufferSlot* slot = plainBufferSlot(backend, id);
    const uint64_t bytes = static_cast<uint64_t>(floatCount) * 4u;
    if (!slot || !data || !fitsView(bytes)) return;
    if (!slot->buffer || slot->capacity < bytes) {
        ID3D12Resource* buffer = replaceBuffer(backend, slot->buffer, bytes);
        if (!buffer) return;
        slot->buffer = buffer;
        slot->capacity = static_cast<uint32_t>(bytes);
    }
    writeBuffer(slot->buffer, 0, data, bytes);
    slot->used = static_cast<uint32_t>(bytes);
}

void sendDataToBufferInRenderer(RendererState* state, uint32_t id, const float* data, uint32_t floatCount) {
    PlainBufferSlot* slot = plainBufferSlot(d3d12State(state), id);
    if (!slot || !slot->buffer || !data) return;
    // Each triple goes into floats 5 to 7 of consecutive 8-float vertices.
    uint8_t* memory = nullptr;
    D3D12_RANGE nothingRead = {0, 0};
    if (FAILED(slot->buffer->Map(0, &nothingRead, reinterpret_cast<void**>(&memory)))) return;
    const uint32_t vertices = slot->capacity / 32u;
    for (uint32_t t = 0; t < floatCount / 3 && t < vertices; ++t)
        memcpy(memory + static_cast<size_t>(t) * 32u + 20u, data + static_cast<size_t>(t) * 3u, 12);
    slot->buffer->Unmap(0, nullptr);
}

void sendIndicesToBufferInRenderer(RendererState* state, uint32_t id, const uint32_t* data, uint32_t count) {
    D3D12Backend* backend = d3d12State(state);
    IndexBufferSlot* slot = indexBufferSlot(backend, id);
    if (!slot || !data) return;
    const uint64_t bytes = static_cast<uint64_t>(count) * 4u;
    if (!fitsView(bytes)) return;
    if (slot->view.capacity < bytes) {
        if (!fillIndexBuffer(backend, slot, count, data)) return;
    } else {
        if (!makeWritable(backend, slot, slot->view.capacity)) return;
        writeBuffer(slot->buffer, 0, data, bytes);
        slot->view.indexCount = count;
    }
    forgetIfBound(&state->boundIndexBuffer, id);
}

void deleteBufferInRenderer(RendererState* state, uint32_t id) {
    D3D12Backend* backend = d3d12State(state);
    PlainBufferSlot* slot = plainBufferSlot(backend, id);
    if (!slot || !slot->buffer) return;
    retireObject(backend, slot->buffer);
    slot->buffer = nullptr; // the entry stays, and a second delete finds nothing
    slot->capacity = 0;
}
