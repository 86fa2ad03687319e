// The OpenGL backend's private record and its slot records. Handles of vertex inputs,
// index buffers, plain buffers and shaders are indices into the lists here (never GL
// names); a texture's handle is its GL name.
#pragma once

#include "backend/renderer_api.h"
#include "backends/window/backend_display.h"
#include "backends/opengl/gl_functions.h"

#include <stddef.h>
#include <stdint.h>

struct VertexInputSlot {
    uint32_t buffer;       // GL buffer name
    uint32_t vertexFormat; // VertexFormat id
};

struct IndexBufferSlot {
    uint32_t buffer; // GL buffer name
    uint32_t indexCount;
};

// A GL frame buffer this context made, and the program's record it was made for.
struct FrameBufferOwner {
    const FrameBufferRecord* record;
    uint32_t frameBuffer; // GL frame buffer name
};

enum { TEXTURE_UNIT_COUNT = 8 };

struct ProgramSlot {
    uint32_t program;        // linked GL program, 0 until a link succeeds
    uint32_t vertexShader;   // 0 after a failed compile
    uint32_t fragmentShader; // 0 after a failed compile
    uint32_t lastIndexBuffer;
    uint32_t boundTextures[TEXTURE_UNIT_COUNT]; // while this program is bound; -1 = unknown
    uint32_t vertexFormat;
    uint32_t lastVertexInput;
};

// Entries of ShaderRecord::attributes.
enum AttributeKind : int32_t {
    ATTRIBUTE_FLOAT = 0,
    ATTRIBUTE_INTEGER = 1,
    ATTRIBUTE_PACKED_BYTES = 2, // four normalised unsigned bytes in each 32-bit slot
};

struct ShaderAttribute {
    int32_t location; // -1 when the linked program lacks the attribute
    uint16_t components;
    int32_t kind;     // AttributeKind
    uint64_t byteOffset;
};

// Entries of ShaderRecord::uniforms: the backend's copy of a declaration.
struct ShaderUniform {
    char* name;
    int32_t location; // GL location once linked; -1 before and when optimised away
    uint16_t componentCount;
    uint32_t offset;  // the declared offset, kept for reference; uniforms are set by name
};

struct OpenGLBackendState {
    uint32_t vertexInputCount;
    uint32_t vertexInputCapacity;
    VertexInputSlot* vertexInputs;
    uint32_t indexBufferCount;
    uint32_t indexBufferCapacity;
    IndexBufferSlot* indexBuffers;
    uint32_t bufferCount;
    uint32_t bufferCapacity;
    uint32_t* buffers;
    uint8_t depthTestEnabled;
    uint8_t depthWriteEnabled;
    int32_t maxTextureSize;
    float maxAnisotropy; // 0 without the anisotropy extension
    uint32_t programCount;
    uint32_t programCapacity;
    ProgramSlot* programs;
    // The frame buffers this context made, each with the record it was made for. A
    // record keeps its handle across cleanupRenderer and a new initRenderer, whose
    // context hands out the same small names again: a record's handle counts only
    // when the record is listed here with it.
    uint32_t frameBufferCount;
    uint32_t frameBufferCapacity;
    FrameBufferOwner* frameBuffers;
    BackendDisplay display; // the window part and the monitor list
};

inline OpenGLBackendState* openGLState(RendererState* state) {
    return state ? static_cast<OpenGLBackendState*>(state->internal) : nullptr;
}

// A slot for a handle, or null when the handle is not one the lists hold.
VertexInputSlot* vertexInputSlot(RendererState* state, uint32_t handle);
IndexBufferSlot* indexBufferSlot(RendererState* state, uint32_t handle);
ProgramSlot* programSlot(RendererState* state, const ShaderRecord* shader);

// Binds a buffer to a GL target outside the draw path, and forgets what RendererState
// records as bound there, so that the next draw binds its own buffer again.
void bindBufferOutsideDraws(RendererState* state, GLenum target, uint32_t buffer);

// Binds the slot's buffer as the element array unless RendererState records it.
void bindIndexBufferThroughState(RendererState* state, uint32_t handle, const IndexBufferSlot* slot);

// Binds a texture on unit 0 outside bindTextureInRenderer and forgets the bound
// shader's cache entry for that unit.
void bindTextureOutsideCache(RendererState* state, uint32_t texture);

// Creates a texture for one attachment description (no data, one level); used by the
// frame buffers.
uint32_t createAttachmentTexture(RendererState* state, TextureDescription* description, uint32_t width,
                                 uint32_t height);

// The shader's attribute pointers on the vertex input's buffer (enabled as well).
void setUpVertexAttributes(RendererState* state, ShaderRecord* shader, const VertexInputSlot* input);
void disableVertexAttributes(const ShaderRecord* shader);

// Bytes per vertex of a format, 0 for an id outside the catalogue.
uint32_t vertexStrideBytes(int32_t vertexFormat);

// Viewport and scissor box at (0, 0) with the given size.
void setTargetArea(int32_t width, int32_t height);

// Clears colour and/or depth with depth writes on for the time of the clear.
void clearWithDepthWrites(RendererState* state, GLbitfield mask);
