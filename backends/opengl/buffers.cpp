// Vertex inputs, index buffers and the older plain-buffer family. Released handles
// wait on the free stacks of RendererState and come back last in, first out, with
// their slot and GL buffer name.
#include "backends/window/backend_exports.h"
#include "backends/opengl/opengl_backend.h"

#include "backend/free_ids.h"
#include "backend/vertex_formats.h"
#include "engine/assets/dyn_array.h"

#include <stdlib.h>
#include <string.h>

namespace {

uint64_t vertexBytes(uint32_t vertexCount, int32_t vertexFormat) {
    return static_cast<uint64_t>(vertexCount) * vertexStrideBytes(vertexFormat);
}

uint64_t indexBytes(uint32_t indexCount) { return static_cast<uint64_t>(indexCount) * sizeof(uint32_t); }

// Writes data over the start of the bound buffer, or gives it new storage of that
// size when it no longer fits: glBufferSubData reports GL_INVALID_VALUE for a write
// past the end. The handle and the GL name stay; only the storage is replaced.
void writeOrGrow(GLenum target, uint64_t size, const void* data) {
    if (!data) {
        glBufferData(target, static_cast<GLsizeiptr>(size), nullptr, GL_STATIC_DRAW);
        return;
    }
    clearGLErrors();
    glBufferSubData(target, 0, static_cast<GLsizeiptr>(size), data);
    if (glGetError() == GL_INVALID_VALUE) glBufferData(target, static_cast<GLsizeiptr>(size), data, GL_STATIC_DRAW);
}

} // namespace

uint32_t vertexStrideBytes(int32_t vertexFormat) {
    return static_cast<uint32_t>(vertexFormatSlots(vertexFormat)) * 4u;
}

VertexInputSlot* vertexInputSlot(RendererState* state, uint32_t handle) {
    OpenGLBackendState* gl = openGLState(state);
    return gl && handle < gl->vertexInputCount ? &gl->vertexInputs[handle] : nullptr;
}

IndexBufferSlot* indexBufferSlot(RendererState* state, uint32_t handle) {
    OpenGLBackendState* gl = openGLState(state);
    return gl && handle < gl->indexBufferCount ? &gl->indexBuffers[handle] : nullptr;
}

void bindBufferOutsideDraws(RendererState* state, GLenum target, uint32_t buffer) {
    glBindBuffer(target, buffer);
    if (target == GL_ARRAY_BUFFER) state->boundVertexInput = RENDERER_INVALID_ID;
    if (target == GL_ELEMENT_ARRAY_BUFFER) state->boundIndexBuffer = RENDERER_INVALID_ID;
}

void bindIndexBufferThroughState(RendererState* state, uint32_t handle, const IndexBufferSlot* slot) {
    if (state->boundIndexBuffer == handle) return;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, slot->buffer);
    state->boundIndexBuffer = handle;
}

uint32_t createVertexInputBufferInRenderer(RendererState* state, uint32_t vertexCount, const float* data,
                                           int32_t vertexFormat) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl || !isVertexFormat(vertexFormat)) return RENDERER_INVALID_ID;
    uint32_t handle = 0;
    if (!takeFreeVertexInputId(state, gl->vertexInputCount, &handle)) {
        if (!growBlock(reinterpret_cast<void**>(&gl->vertexInputs), &gl->vertexInputCapacity, gl->vertexInputCount + 1, sizeof(VertexInputSlot)))
            return RENDERER_INVALID_ID;
        handle = gl->vertexInputCount++;
        GLuint name = 0;
        glGenBuffers(1, &name);
        gl->vertexInputs[handle].buffer = name;
    }
    VertexInputSlot& slot = gl->vertexInputs[handle];
    slot.vertexFormat = static_cast<uint32_t>(vertexFormat);
    bindBufferOutsideDraws(state, GL_ARRAY_BUFFER, slot.buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexBytes(vertexCount, vertexFormat)), data,
                 GL_STATIC_DRAW);
    return handle;
}

uint32_t updateVertexInputBufferInRenderer(RendererState* state, uint32_t id, uint32_t vertexCount, const float* data,
                                           int32_t vertexFormat) {
    VertexInputSlot* slot = vertexInputSlot(state, id);
    if (!slot) return createVertexInputBufferInRenderer(state, vertexCount, data, vertexFormat);
    if (!isVertexFormat(vertexFormat)) return id;
    bindBufferOutsideDraws(state, GL_ARRAY_BUFFER, slot->buffer);
    slot->vertexFormat = static_cast<uint32_t>(vertexFormat);
    writeOrGrow(GL_ARRAY_BUFFER, vertexBytes(vertexCount, vertexFormat), data);
    return id;
}

uint32_t updateVertexInputBufferFromIndexInRenderer(RendererState* state, uint32_t id, uint32_t firstVertex,
                                                    uint32_t vertexCount, const float* data, int32_t vertexFormat) {
    VertexInputSlot* slot = vertexInputSlot(state, id);
    if (!slot || !data || !isVertexFormat(vertexFormat)) return id;
    bindBufferOutsideDraws(state, GL_ARRAY_BUFFER, slot->buffer);
    // A range past the end is refused by GL and writes nothing.
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(vertexBytes(firstVertex, vertexFormat)),
                    static_cast<GLsizeiptr>(vertexBytes(vertexCount, vertexFormat)), data);
    return id;
}

void deleteVertexInputBufferInRenderer(RendererState* state, uint32_t id) {
    VertexInputSlot* slot = vertexInputSlot(state, id);
    if (!slot) return;
    bindBufferOutsideDraws(state, GL_ARRAY_BUFFER, slot->buffer);
    glBufferData(GL_ARRAY_BUFFER, 0, nullptr, GL_STATIC_DRAW);
    releaseVertexInputId(state, id);
}

uint32_t createIndexBufferInRendererWithData(RendererState* state, uint32_t indexCount, const uint32_t* indices) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl) return RENDERER_INVALID_ID;
    uint32_t handle = 0;
    if (!takeFreeIndexBufferId(state, gl->indexBufferCount, &handle)) {
        if (!growBlock(reinterpret_cast<void**>(&gl->indexBuffers), &gl->indexBufferCapacity, gl->indexBufferCount + 1, sizeof(IndexBufferSlot)))
            return RENDERER_INVALID_ID;
        handle = gl->indexBufferCount++;
        GLuint name = 0;
        glGenBuffers(1, &name);
        gl->indexBuffers[handle].buffer = name;
    }
    IndexBufferSlot& slot = gl->indexBuffers[handle];
    slot.indexCount = indexCount;
    bindBufferOutsideDraws(state, GL_ELEMENT_ARRAY_BUFFER, slot.buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexBytes(indexCount)), indices, GL_STATIC_DRAW);
    return handle;
}

uint32_t updateIndexBufferInRenderer(RendererState* state, uint32_t id, uint32_t indexCount, const uint32_t* indices) {
    IndexBufferSlot* slot = indexBufferSlot(state, id);
    if (!slot) return createIndexBufferInRendererWithData(state, indexCount, indices);
    bindBufferOutsideDraws(state, GL_ELEMENT_ARRAY_BUFFER, slot->buffer);
    slot->indexCount = indexCount;
    writeOrGrow(GL_ELEMENT_ARRAY_BUFFER, indexBytes(indexCount), indices);
    return id;
}

void deleteIndexBufferInRenderer(RendererState* state, uint32_t id) {
    IndexBufferSlot* slot = indexBufferSlot(state, id);
    if (!slot) return;
    bindBufferOutsideDraws(state, GL_ARRAY_BUFFER, slot->buffer);
    glBufferData(GL_ARRAY_BUFFER, 0, nullptr, GL_STATIC_DRAW);
    slot->indexCount = 0;
    releaseIndexBufferId(state, id);
}

uint32_t createIndexBufferInRenderer(RendererState* state, uint32_t indexCount) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl || !growBlock(reinterpret_cast<void**>(&gl->indexBuffers), &gl->indexBufferCapacity, gl->indexBufferCount + 1, sizeof(IndexBufferSlot)))
        return RENDERER_INVALID_ID;
    uint32_t handle = gl->indexBufferCount++;
    GLuint name = 0;
    glGenBuffers(1, &name);
    gl->indexBuffers[handle] = IndexBufferSlot{name, indexCount};
    return handle;
}

void bindVertexBufferInRenderer(RendererState* state, uint32_t id) {
    VertexInputSlot* slot = vertexInputSlot(state, id);
    if (!slot || state->boundVertexInput == id) return;
    glBindBuffer(GL_ARRAY_BUFFER, slot->buffer);
    state->boundVertexInput = id;
}

void bindIndexBufferInRenderer(RendererState* state, uint32_t id) {
    IndexBufferSlot* slot = indexBufferSlot(state, id);
    if (slot) bindIndexBufferThroughState(state, id, slot);
}

// The older family. createBufferInRenderer and createVertexBufferInRenderer hand out
// indices into the plain list, createIndexBufferInRenderer a slot of the index list;
// each send writes into the list its create call filled. A plain-buffer index read as
// a vertex input would overwrite that vertex input (index 0 is the unit quad).
namespace {

// The GL name of a plain buffer, or 0 when the index names none or it was deleted.
uint32_t plainBuffer(RendererState* state, uint32_t id) {
    OpenGLBackendState* gl = openGLState(state);
    return gl && id < gl->bufferCount ? gl->buffers[id] : 0;
}

} // namespace

uint32_t createBufferInRenderer(RendererState* state) {
    OpenGLBackendState* gl = openGLState(state);
    if (!gl || !growBlock(reinterpret_cast<void**>(&gl->buffers), &gl->bufferCapacity, gl->bufferCount + 1, sizeof(uint32_t)))
        return RENDERER_INVALID_ID;
    GLuint name = 0;
    glGenBuffers(1, &name);
    gl->buffers[gl->bufferCount] = name;
    return gl->bufferCount++;
}

uint32_t createVertexBufferInRenderer(RendererState* state, uint32_t) { return createBufferInRenderer(state); }

void sendVerticesToBufferInRenderer(RendererState* state, uint32_t id, const float* data, uint32_t floatCount) {
    const uint32_t name = plainBuffer(state, id);
    if (name == 0) return;
    bindBufferOutsideDraws(state, GL_ARRAY_BUFFER, name);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(static_cast<uint64_t>(floatCount) * sizeof(float)), data,
                 GL_STATIC_DRAW);
}

void sendDataToBufferInRenderer(RendererState* state, uint32_t id, const float* data, uint32_t floatCount) {
    sendVerticesToBufferInRenderer(state, id, data, floatCount);
}

void sendIndicesToBufferInRenderer(RendererState* state, uint32_t id, const uint32_t* data, uint32_t count) {
    IndexBufferSlot* slot = indexBufferSlot(state, id);
    if (!slot) return;
    bindBufferOutsideDraws(state, GL_ELEMENT_ARRAY_BUFFER, slot->buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexBytes(count)), data, GL_STATIC_DRAW);
    slot->indexCount = count; // the draws take the whole buffer's count from here
}

void deleteBufferInRenderer(RendererState* state, uint32_t id) {
    OpenGLBackendState* gl = openGLState(state);
    if (plainBuffer(state, id) == 0) return;
    glDeleteBuffers(1, &gl->buffers[id]);
    gl->buffers[id] = 0; // the entry stays, and a second delete finds nothing to delete
}
