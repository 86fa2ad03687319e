#include "tests/support/recording_renderer.h"

#include "engine/program/program_state.h"
#include "backend/frame_rules.h"
#include "backend/free_ids.h"
#include "backend/vertex_formats.h"

#include <string.h>

namespace {

RecordingRenderer* gRecorder;

enum SlotIndex {
#define SLOT_INDEX(name, ret, params, called) SLOT_##name,
    RENDERER_ENTRY_POINTS(SLOT_INDEX)
#undef SLOT_INDEX
};

// Generic recording of one argument by its type.
void recordArgument(RecordedCall* call, RendererState* state) { call->state = state; }
void recordArgument(RecordedCall* call, ShaderRecord* shader) { call->shader = shader; }
void recordArgument(RecordedCall* call, bool value) { call->integers.push_back(value ? 1 : 0); }
void recordArgument(RecordedCall* call, int32_t value) { call->integers.push_back(static_cast<uint64_t>(value)); }
void recordArgument(RecordedCall* call, uint32_t value) { call->integers.push_back(value); }
void recordArgument(RecordedCall* call, uint16_t value) { call->integers.push_back(value); }
void recordArgument(RecordedCall* call, uint64_t value) { call->integers.push_back(value); }
void recordArgument(RecordedCall* call, float value) { call->values.push_back(value); }
void recordArgument(RecordedCall* call, RendererVector2 value) {
    call->values.push_back(value.x);
    call->values.push_back(value.y);
}
void recordArgument(RecordedCall* call, const char* text) {
    if (text) call->text = text;
}
void recordArgument(RecordedCall* call, uint32_t* id) {
    call->pointer = id;
    if (id) call->integers.push_back(*id);
}
void recordArgument(RecordedCall* call, const uint32_t* data) { call->pointer = data; }
void recordArgument(RecordedCall* call, const float* data) { call->pointer = data; }
void recordArgument(RecordedCall* call, void* data) { call->pointer = data; }
void recordArgument(RecordedCall* call, WindowParameters* parameters) { call->pointer = parameters; }
void recordArgument(RecordedCall* call, TextureDescription* description) {
    call->pointer = description;
    if (description) call->description = *description;
}
void recordArgument(RecordedCall* call, FrameBufferRecord* frameBuffer) { call->pointer = frameBuffer; }
void recordArgument(RecordedCall* call, TextureDescription** attachments) { (void)attachments; }
void recordArgument(RecordedCall* call, const UniformDeclaration* uniforms) { call->pointer = uniforms; }

template <typename R>
R defaultResult() {
    return R();
}
template <>
bool defaultResult<bool>() {
    return true;
}

RecordedCall* beginCall(int slot) {
    gRecorder->calls.push_back(RecordedCall());
    RecordedCall* call = &gRecorder->calls.back();
    call->name = kRendererEntryPointNames[slot];
    call->state = nullptr;
    call->shader = nullptr;
    call->pointer = nullptr;
    call->description = TextureDescription{};
    call->result = 0;
    return call;
}

// The generic slot: records the name and each argument, answers with a neutral value.
template <int Slot, typename F>
struct GenericSlot;

template <int Slot, typename R, typename... A>
struct GenericSlot<Slot, R (*)(A...)> {
    static R call(A... arguments) {
        RecordedCall* c = beginCall(Slot);
        (void)c; // unused by the entry points without arguments
        (recordArgument(c, arguments), ...);
        return defaultResult<R>();
    }
};

template <int Slot, typename... A>
struct GenericSlot<Slot, void (*)(A...)> {
    static void call(A... arguments) {
        RecordedCall* c = beginCall(Slot);
        (void)c;
        (recordArgument(c, arguments), ...);
    }
};

uint32_t takeId(std::vector<uint32_t>* freeIds, uint32_t* next) {
    if (!freeIds->empty()) {
        uint32_t id = freeIds->back();
        freeIds->pop_back();
        return id;
    }
    return (*next)++;
}

// Buffer ids come from the free-id stacks of the state, by the backends' own rule.
uint32_t takeVertexInputId(RendererState* state) {
    uint32_t id = 0;
    if (state && takeFreeVertexInputId(state, gRecorder->nextVertexInput, &id)) return id;
    return gRecorder->nextVertexInput++;
}

uint32_t takeIndexBufferId(RendererState* state) {
    uint32_t id = 0;
    if (state && takeFreeIndexBufferId(state, gRecorder->nextIndexBuffer, &id)) return id;
    return gRecorder->nextIndexBuffer++;
}

size_t vertexFloats(uint32_t vertexCount, int32_t format) {
    return static_cast<size_t>(vertexCount) * static_cast<size_t>(vertexFormatSlots(format));
}

// The entry points whose results or copied data tests look at.

bool recordInit(RendererState* state, WindowParameters* parameters, const char* title) {
    RecordedCall* c = beginCall(SLOT_initRenderer);
    c->state = state;
    c->pointer = parameters;
    if (title) c->text = title;
    c->result = gRecorder->initResult;
    // A start gives the state empty free-id stacks, as the backends do.
    if (state) {
        state->freeVertexInputCount = 0;
        state->freeIndexBufferCount = 0;
        forgetBoundBuffers(state);
    }
    return gRecorder->initResult;
}

void recordClearColor(RendererState* state, const float* rgba) {
    RecordedCall* c = beginCall(SLOT_clearColorBufferOnRenderer);
    c->state = state;
    c->values.assign(rgba, rgba + 4);
}

uint32_t recordCreateVertexInput(RendererState* state, uint32_t vertexCount, const float* data, int32_t format) {
    RecordedCall* c = beginCall(SLOT_createVertexInputBufferInRenderer);
    c->state = state;
    c->pointer = data;
    c->integers = {vertexCount, static_cast<uint64_t>(format)};
    if (data) c->values.assign(data, data + vertexFloats(vertexCount, format));
    c->result = takeVertexInputId(state);
    return static_cast<uint32_t>(c->result);
}

uint32_t recordUpdateVertexInput(RendererState* state, uint32_t id, uint32_t vertexCount, const float* data,
                                 int32_t format) {
    RecordedCall* c = beginCall(SLOT_updateVertexInputBufferInRenderer);
    c->state = state;
    c->pointer = data;
    c->integers = {id, vertexCount, static_cast<uint64_t>(format)};
    if (data) c->values.assign(data, data + vertexFloats(vertexCount, format));
    // An id that names no buffer gets a new one, as in the backends.
    c->result = id < gRecorder->nextVertexInput ? id : takeVertexInputId(state);
    return static_cast<uint32_t>(c->result);
}

uint32_t recordCreateIndexBuffer(RendererState* state, uint32_t indexCount, const uint32_t* indices) {
    RecordedCall* c = beginCall(SLOT_createIndexBufferInRendererWithData);
    c->state = state;
    c->pointer = indices;
    c->integers = {indexCount};
    if (indices) c->indices.assign(indices, indices + indexCount);
    c->result = takeIndexBufferId(state);
    return static_cast<uint32_t>(c->result);
}

uint32_t recordUpdateIndexBuffer(RendererState* state, uint32_t id, uint32_t indexCount, const uint32_t* indices) {
    RecordedCall* c = beginCall(SLOT_updateIndexBufferInRenderer);
    c->state = state;
    c->pointer = indices;
    c->integers = {id, indexCount};
    if (indices) c->indices.assign(indices, indices + indexCount);
    c->result = id < gRecorder->nextIndexBuffer ? id : takeIndexBufferId(state);
    return static_cast<uint32_t>(c->result);
}

void* recordOpenVertexInput(RendererState* state, uint32_t id) {
    RecordedCall* c = beginCall(SLOT_openVertexInputBufferInRenderer);
    c->state = state;
    c->integers = {id};
    return gRecorder->mappedMemory.data();
}

void* recordOpenIndexBuffer(RendererState* state, uint32_t id) {
    RecordedCall* c = beginCall(SLOT_openIndexBufferInRenderer);
    c->state = state;
    c->integers = {id};
    return gRecorder->mappedMemory.data();
}

void recordDeleteVertexInput(RendererState* state, uint32_t id) {
    RecordedCall* c = beginCall(SLOT_deleteVertexInputBufferInRenderer);
    c->state = state;
    c->integers = {id};
    if (state && id < gRecorder->nextVertexInput) releaseVertexInputId(state, id);
}

void recordDeleteIndexBuffer(RendererState* state, uint32_t id) {
    RecordedCall* c = beginCall(SLOT_deleteIndexBufferInRenderer);
    c->state = state;
    c->integers = {id};
    if (state && id < gRecorder->nextIndexBuffer) releaseIndexBufferId(state, id);
}

uint32_t recordUploadTexture(RendererState* state, void* pixels, uint64_t byteSize, TextureDescription* description,
                             uint16_t levelsInData, uint32_t currentId) {
    RecordedCall* c = beginCall(SLOT_uploadTextureInRenderer);
    c->state = state;
    c->pointer = pixels;
    c->integers = {byteSize, levelsInData, currentId};
    if (description) c->description = *description;
    c->result = currentId != RENDERER_INVALID_ID ? currentId : takeId(&gRecorder->freeTextures, &gRecorder->nextTexture);
    return static_cast<uint32_t>(c->result);
}

uint32_t recordGetTextureId(RendererState* state) {
    RecordedCall* c = beginCall(SLOT_getTextureIDInRenderer);
    c->state = state;
    c->result = takeId(&gRecorder->freeTextures, &gRecorder->nextTexture);
    return static_cast<uint32_t>(c->result);
}

void recordPushFreeTexture(RendererState* state, uint32_t id) {
    RecordedCall* c = beginCall(SLOT_pushFreeTextureDescriptorInRenderer);
    c->state = state;
    c->integers = {id};
    gRecorder->freeTextures.push_back(id);
}

void reserveTextureId(RecordedCall* c, uint32_t* id) {
    c->pointer = id;
    c->integers.push_back(*id);
    if (*id == RENDERER_INVALID_ID) *id = takeId(&gRecorder->freeTextures, &gRecorder->nextTexture);
    c->result = *id;
}

void recordTextureSmooth(RendererState* state, uint32_t* id, bool smooth) {
    RecordedCall* c = beginCall(SLOT_setTextureSmoothInRenderer);
    c->state = state;
    reserveTextureId(c, id);
    c->integers.push_back(smooth ? 1 : 0);
}

void recordTextureWrap(RendererState* state, uint32_t* id, uint32_t wrapMode) {
    RecordedCall* c = beginCall(SLOT_setTextureWrapModeInRenderer);
    c->state = state;
    reserveTextureId(c, id);
    c->integers.push_back(wrapMode);
}

void recordEnableDepthTest(RendererState* state, bool enabled) {
    RecordedCall* c = beginCall(SLOT_enableDepthTestOnRenderer);
    c->state = state;
    c->integers = {enabled ? 1u : 0u};
    gRecorder->depthTest = enabled;
}

void recordEnableDepthMask(RendererState* state, bool enabled) {
    RecordedCall* c = beginCall(SLOT_enableDepthMaskOnRenderer);
    c->state = state;
    c->integers = {enabled ? 1u : 0u};
    gRecorder->depthMask = enabled;
}

bool recordIsDepthTest(RendererState* state) {
    RecordedCall* c = beginCall(SLOT_isDepthTestEnabledInRenderer);
    c->state = state;
    c->result = gRecorder->depthTest;
    return gRecorder->depthTest;
}

bool recordIsDepthMask(RendererState* state) {
    RecordedCall* c = beginCall(SLOT_isDepthMaskEnabledInRenderer);
    c->state = state;
    c->result = gRecorder->depthMask;
    return gRecorder->depthMask;
}

void recordSetScissor(RendererState* state, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    RecordedCall* c = beginCall(SLOT_setScissorOnRenderer);
    c->state = state;
    c->integers = {static_cast<uint64_t>(x0), static_cast<uint64_t>(y0), static_cast<uint64_t>(x1),
                   static_cast<uint64_t>(y1)};
    if (state) recordScissor(state, x0, y0, x1, y1);
}

void recordResize(RendererState* state, uint32_t width, uint32_t height) {
    RecordedCall* c = beginCall(SLOT_resizeBackBuffersOnRenderer);
    c->state = state;
    c->integers = {width, height};
    if (state) recordBackBufferSize(state, width, height);
}

uint32_t recordMaxTextureSize(RendererState* state) {
    RecordedCall* c = beginCall(SLOT_getMaxTextureSizeInRenderer);
    c->state = state;
    c->result = gRecorder->maxTextureSize;
    return gRecorder->maxTextureSize;
}

const char* recordShaderExtension() {
    RecordedCall* c = beginCall(SLOT_getShaderSourceFileExtensionInRenderer);
    c->text = gRecorder->shaderExtension;
    return gRecorder->shaderExtension;
}

#define BUILT_IN_SOURCE(name)                     \
    const char* record_##name() {                 \
        beginCall(SLOT_##name);                   \
        return "// " #name "\n";                  \
    }
BUILT_IN_SOURCE(defaultGUITextShaderSource)
BUILT_IN_SOURCE(defaultGUIColorShaderSource)
BUILT_IN_SOURCE(defaultGUITransformedTextShaderSource)
BUILT_IN_SOURCE(defaultGUIImageShaderSource)
#undef BUILT_IN_SOURCE

uint32_t recordWindowWidth(RendererState* state) {
    RecordedCall* c = beginCall(SLOT_windowWidthInRenderer);
    c->state = state;
    c->result = gRecorder->windowWidth;
    return gRecorder->windowWidth;
}

uint32_t recordWindowHeight(RendererState* state) {
    RecordedCall* c = beginCall(SLOT_windowHeightInRenderer);
    c->state = state;
    c->result = gRecorder->windowHeight;
    return gRecorder->windowHeight;
}

void assignShaderSlot(ShaderRecord* shader) {
    if (shader && shader->slot < 0) shader->slot = gRecorder->nextShaderSlot++;
}

bool recordLoadShader(RendererState* state, ShaderRecord* shader, const char* source) {
    RecordedCall* c = beginCall(SLOT_loadShaderFromSourceInRenderer);
    c->state = state;
    c->shader = shader;
    if (source) c->text = source;
    assignShaderSlot(shader);
    c->result = 1;
    return true;
}

void recordShaderInput(RendererState* state, ShaderRecord* shader, int32_t format, const UniformDeclaration* uniforms,
                       uint32_t uniformCount) {
    RecordedCall* c = beginCall(SLOT_setShaderInputInRenderer);
    c->state = state;
    c->shader = shader;
    c->pointer = uniforms;
    c->integers = {static_cast<uint64_t>(format), uniformCount};
    // The uniform names, one per line, so a test can compare the declared list; their
    // component counts follow the two integers above.
    for (uint32_t i = 0; uniforms && i < uniformCount; ++i) {
        c->text += uniforms[i].name ? uniforms[i].name : "";
        c->text += '\n';
        c->integers.push_back(uniforms[i].componentCount);
    }
    assignShaderSlot(shader);
}

bool recordCompileShader(RendererState* state, ShaderRecord* shader) {
    RecordedCall* c = beginCall(SLOT_compileShaderInRenderer);
    c->state = state;
    c->shader = shader;
    c->result = gRecorder->compileResult;
    return gRecorder->compileResult;
}

void recordBindShader(RendererState* state, ShaderRecord* shader) {
    RecordedCall* c = beginCall(SLOT_bindShaderInRenderer);
    c->state = state;
    c->shader = shader;
    state->currentShader = shader;
}

void recordCleanupShader(RendererState* state, ShaderRecord* shader) {
    RecordedCall* c = beginCall(SLOT_cleanupShaderInRenderer);
    c->state = state;
    c->shader = shader;
    if (shader) shader->slot = -1;
}

void recordCreateFrameBuffer(RendererState* state, FrameBufferRecord* frameBuffer, uint32_t width, uint32_t height,
                             TextureDescription** attachments, uint32_t count) {
    RecordedCall* c = beginCall(SLOT_createFrameBufferInRenderer);
    c->state = state;
    c->pointer = frameBuffer;
    c->integers = {width, height, count};
    for (uint32_t i = 0; attachments && i < count; ++i)
        c->attachments.push_back(attachments[i] ? *attachments[i] : TextureDescription{});
    if (!frameBuffer) return;
    if (frameBuffer->handle == RENDERER_INVALID_ID) frameBuffer->handle = gRecorder->nextFrameBuffer++;
    gRecorder->frameBufferTextures.push_back(std::vector<uint32_t>(count ? count : 1));
    std::vector<uint32_t>& ids = gRecorder->frameBufferTextures.back();
    for (uint32_t i = 0; i < count; ++i) {
        ids[i] = takeId(&gRecorder->freeTextures, &gRecorder->nextTexture);
        if (attachments && attachments[i]) {
            attachments[i]->width = static_cast<uint16_t>(width);
            attachments[i]->height = static_cast<uint16_t>(height);
        }
    }
    frameBuffer->textures = ids.data();
    frameBuffer->attachmentCount = count;
    frameBuffer->width = width;
    frameBuffer->height = height;
}

void recordDestroyFrameBuffer(RendererState* state, FrameBufferRecord* frameBuffer) {
    RecordedCall* c = beginCall(SLOT_destroyFrameBufferInRenderer);
    c->state = state;
    c->pointer = frameBuffer;
    if (!frameBuffer) return;
    frameBuffer->textures = nullptr;
    frameBuffer->attachmentCount = 0;
}

void recordBindFrameBuffer(RendererState* state, FrameBufferRecord* frameBuffer) {
    RecordedCall* c = beginCall(SLOT_bindFrameBufferInRenderer);
    c->state = state;
    c->pointer = frameBuffer;
    if (frameBuffer) frameBuffer->bound = 1;
}

void recordUnbindFrameBuffer(RendererState* state, FrameBufferRecord* frameBuffer) {
    RecordedCall* c = beginCall(SLOT_unbindFrameBufferInRenderer);
    c->state = state;
    c->pointer = frameBuffer;
    if (frameBuffer) frameBuffer->bound = 0;
}

void recordBeginFrame(RendererState* state) {
    RecordedCall* c = beginCall(SLOT_beginFrameInRenderer);
    c->state = state;
    if (!state) return;
    forgetBoundBuffers(state);
    dispatchPendingResize(state);
}

// Uniform setters: the name goes to text, the values are copied.
RecordedCall* beginUniform(int slot, RendererState* state, ShaderRecord* shader, const char* name) {
    RecordedCall* c = beginCall(slot);
    c->state = state;
    c->shader = shader;
    if (name) c->text = name;
    return c;
}

void recordMatrix4(RendererState* state, ShaderRecord* shader, const char* name, const float* m) {
    RecordedCall* c = beginUniform(SLOT_sendMatrix4x4ToShaderInRenderer, state, shader, name);
    c->values.assign(m, m + 16);
}

void recordMatrix4O(RendererState* state, ShaderRecord* shader, const char* name, const float* m, uint64_t offset) {
    RecordedCall* c = beginUniform(SLOT_sendMatrix4x4ToShaderOInRenderer, state, shader, name);
    c->values.assign(m, m + 16);
    c->integers = {offset};
}

void recordMatrix3(RendererState* state, ShaderRecord* shader, const char* name, const float* m) {
    RecordedCall* c = beginUniform(SLOT_sendMatrix3x3ToShaderInRenderer, state, shader, name);
    c->values.assign(m, m + 9);
}

void recordSkeleton(RendererState* state, ShaderRecord* shader, const char* name, const float* m, uint32_t count) {
    RecordedCall* c = beginUniform(SLOT_sendSkeletonToShaderInRenderer, state, shader, name);
    if (m) c->values.assign(m, m + 16 * static_cast<size_t>(count));
    c->integers = {count};
}

void recordSkeletonO(RendererState* state, ShaderRecord* shader, const char* name, const float* m, uint32_t count,
                     uint64_t offset) {
    RecordedCall* c = beginUniform(SLOT_sendSkeletonToShaderOInRenderer, state, shader, name);
    if (m) c->values.assign(m, m + 16 * static_cast<size_t>(count));
    c->integers = {count, offset};
}

void recordVector3(RendererState* state, ShaderRecord* shader, const char* name, const float* v) {
    RecordedCall* c = beginUniform(SLOT_sendVector3DToShaderInRenderer, state, shader, name);
    c->values.assign(v, v + 3);
}

void recordVector3O(RendererState* state, ShaderRecord* shader, const char* name, const float* v, uint64_t offset) {
    RecordedCall* c = beginUniform(SLOT_sendVector3DToShaderOInRenderer, state, shader, name);
    c->values.assign(v, v + 3);
    c->integers = {offset};
}

void recordVector4(RendererState* state, ShaderRecord* shader, const char* name, const float* v) {
    RecordedCall* c = beginUniform(SLOT_sendVector4DToShaderInRenderer, state, shader, name);
    c->values.assign(v, v + 4);
}

void recordSendVertices(RendererState* state, uint32_t id, const float* data, uint32_t floatCount) {
    RecordedCall* c = beginCall(SLOT_sendVerticesToBufferInRenderer);
    c->state = state;
    c->pointer = data;
    c->integers = {id, floatCount};
    if (data) c->values.assign(data, data + floatCount);
}

void recordSendIndices(RendererState* state, uint32_t id, const uint32_t* data, uint32_t count) {
    RecordedCall* c = beginCall(SLOT_sendIndicesToBufferInRenderer);
    c->state = state;
    c->pointer = data;
    c->integers = {id, count};
    if (data) c->indices.assign(data, data + count);
}

} // namespace

void installRecordingRenderer(RecordingRenderer* recorder) {
    gRecorder = recorder;
    // A new recorder's ids start afresh, and so do the free-id stacks it takes them from.
    gRendererState.freeVertexInputCount = 0;
    gRendererState.freeIndexBufferCount = 0;
#define FILL_GENERIC(name, ret, params, called) gRenderer.name = &GenericSlot<SLOT_##name, name##Fn>::call;
    RENDERER_ENTRY_POINTS(FILL_GENERIC)
#undef FILL_GENERIC
    gRenderer.initRenderer = recordInit;
    gRenderer.clearColorBufferOnRenderer = recordClearColor;
    gRenderer.createVertexInputBufferInRenderer = recordCreateVertexInput;
    gRenderer.updateVertexInputBufferInRenderer = recordUpdateVertexInput;
    gRenderer.createIndexBufferInRendererWithData = recordCreateIndexBuffer;
    gRenderer.updateIndexBufferInRenderer = recordUpdateIndexBuffer;
    gRenderer.openVertexInputBufferInRenderer = recordOpenVertexInput;
    gRenderer.openIndexBufferInRenderer = recordOpenIndexBuffer;
    gRenderer.deleteVertexInputBufferInRenderer = recordDeleteVertexInput;
    gRenderer.deleteIndexBufferInRenderer = recordDeleteIndexBuffer;
    gRenderer.uploadTextureInRenderer = recordUploadTexture;
    gRenderer.getTextureIDInRenderer = recordGetTextureId;
    gRenderer.pushFreeTextureDescriptorInRenderer = recordPushFreeTexture;
    gRenderer.setTextureSmoothInRenderer = recordTextureSmooth;
    gRenderer.setTextureWrapModeInRenderer = recordTextureWrap;
    gRenderer.enableDepthTestOnRenderer = recordEnableDepthTest;
    gRenderer.enableDepthMaskOnRenderer = recordEnableDepthMask;
    gRenderer.isDepthTestEnabledInRenderer = recordIsDepthTest;
    gRenderer.isDepthMaskEnabledInRenderer = recordIsDepthMask;
    gRenderer.setScissorOnRenderer = recordSetScissor;
    gRenderer.resizeBackBuffersOnRenderer = recordResize;
    gRenderer.getMaxTextureSizeInRenderer = recordMaxTextureSize;
    gRenderer.getShaderSourceFileExtensionInRenderer = recordShaderExtension;
    gRenderer.defaultGUITextShaderSource = record_defaultGUITextShaderSource;
    gRenderer.defaultGUIColorShaderSource = record_defaultGUIColorShaderSource;
    gRenderer.defaultGUITransformedTextShaderSource = record_defaultGUITransformedTextShaderSource;
    gRenderer.defaultGUIImageShaderSource = record_defaultGUIImageShaderSource;
    gRenderer.windowWidthInRenderer = recordWindowWidth;
    gRenderer.windowHeightInRenderer = recordWindowHeight;
    gRenderer.loadShaderFromSourceInRenderer = recordLoadShader;
    gRenderer.setShaderInputInRenderer = recordShaderInput;
    gRenderer.compileShaderInRenderer = recordCompileShader;
    gRenderer.bindShaderInRenderer = recordBindShader;
    gRenderer.cleanupShaderInRenderer = recordCleanupShader;
    gRenderer.createFrameBufferInRenderer = recordCreateFrameBuffer;
    gRenderer.destroyFrameBufferInRenderer = recordDestroyFrameBuffer;
    gRenderer.bindFrameBufferInRenderer = recordBindFrameBuffer;
    gRenderer.unbindFrameBufferInRenderer = recordUnbindFrameBuffer;
    gRenderer.beginFrameInRenderer = recordBeginFrame;
    gRenderer.sendMatrix4x4ToShaderInRenderer = recordMatrix4;
    gRenderer.sendMatrix4x4ToShaderOInRenderer = recordMatrix4O;
    gRenderer.sendMatrix3x3ToShaderInRenderer = recordMatrix3;
    gRenderer.sendSkeletonToShaderInRenderer = recordSkeleton;
    gRenderer.sendSkeletonToShaderOInRenderer = recordSkeletonO;
    gRenderer.sendVector3DToShaderInRenderer = recordVector3;
    gRenderer.sendVector3DToShaderOInRenderer = recordVector3O;
    gRenderer.sendVector4DToShaderInRenderer = recordVector4;
    gRenderer.sendVerticesToBufferInRenderer = recordSendVertices;
    gRenderer.sendIndicesToBufferInRenderer = recordSendIndices;
}

void removeRecordingRenderer() {
    gRenderer = RendererApi{};
    gRecorder = nullptr;
}

size_t countCalls(const RecordingRenderer* recorder, const char* name) {
    size_t n = 0;
    for (const RecordedCall& call : recorder->calls) n += call.name == name;
    return n;
}

const RecordedCall* findCall(const RecordingRenderer* recorder, const char* name, size_t n) {
    for (const RecordedCall& call : recorder->calls)
        if (call.name == name && n-- == 0) return &call;
    return nullptr;
}

const RecordedCall* findUniform(const RecordingRenderer* recorder, const char* uniformName, size_t n) {
    for (const RecordedCall& call : recorder->calls)
        if (call.name.compare(0, 4, "send") == 0 && call.name.find("ToShader") != std::string::npos &&
            call.text == uniformName && n-- == 0)
            return &call;
    return nullptr;
}

std::vector<std::string> callNames(const RecordingRenderer* recorder) {
    std::vector<std::string> names;
    for (const RecordedCall& call : recorder->calls) names.push_back(call.name);
    return names;
}
