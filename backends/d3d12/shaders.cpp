// Shader slots: the two stages compiled from one HLSL source ("VSMain", "PSMain"),
// the input layout of the record's vertex format, the constant block the uniforms are
// packed into, and binding with the pipeline state of the current render state.
#include "backends/d3d12/d3d12_backend.h"
#include "backends/window/backend_exports.h"

#include "backend/vertex_formats.h"

#include <d3dcompiler.h>

#include <stdlib.h>
#include <string.h>

// The copy of a frame buffer's internal attachments into its program-visible ones:
// every pixel reads its own texel (Load), so the copy is exact and keeps the rows in
// their order; colour through SV_Target, depth through SV_Depth.
const char kBlitShaderSource[] = R"(Texture2D colorTexture : register(t0);
Texture2D depthTexture : register(t1);
SamplerState colorSampler : register(s0);
SamplerState depthSampler : register(s1);

struct VertexInput {
    float2 position : POSITION;
    float2 texCoord : TEXCOORD;
    float4 color : COLOR;
};

struct PixelInput {
    float4 position : SV_Position;
    float2 texCoord : TEXCOORD0;
};

struct PixelOutput {
    float4 color : SV_Target;
    float depth : SV_Depth;
};

PixelInput VSMain(VertexInput input) {
    PixelInput output;
    output.position = float4(input.position, 0.0, 1.0);
    output.texCoord = input.texCoord;
    return output;
}

PixelOutput PSMain(PixelInput input) {
    PixelOutput output;
    int3 texel = int3(int(input.position.x), int(input.position.y), 0);
    output.color = colorTexture.Load(texel);
    output.depth = depthTexture.Load(texel).r;
    return output;
}
)";

namespace {

// Entries of ShaderRecord::attributes as this backend fills them.
struct ShaderAttribute {
    char* semantic;
    uint32_t zero;
    uint16_t components;
    uint32_t kind; // 0 float, 1 signed integer, 2 four 8-bit unsigned normalised values
};

// Entries of ShaderRecord::uniforms: the declaration after packing.
struct ShaderUniform {
    char* name;
    uint32_t offset; // in 32-bit units from the start of the constant block
    uint16_t componentCount;
};

const DXGI_FORMAT kFloatFormats[4] = {DXGI_FORMAT_R32_FLOAT, DXGI_FORMAT_R32G32_FLOAT, DXGI_FORMAT_R32G32B32_FLOAT,
                                      DXGI_FORMAT_R32G32B32A32_FLOAT};
const DXGI_FORMAT kIntegerFormats[4] = {DXGI_FORMAT_R32_SINT, DXGI_FORMAT_R32G32_SINT, DXGI_FORMAT_R32G32B32_SINT,
                                        DXGI_FORMAT_R32G32B32A32_SINT};

char* copyText(const char* text) {
    const size_t length = strlen(text);
    char* copy = static_cast<char*>(malloc(length + 1));
    if (copy) memcpy(copy, text, length + 1);
    return copy;
}

ShaderSlot* assignSlot(D3D12Backend* backend, ShaderRecord* shader) {
    if (ShaderSlot* slot = shaderSlot(backend, shader)) return slot;
    ShaderSlot* slot = appendDynArray(&backend->shaderSlots);
    if (!slot) return nullptr;
    memset(slot, 0, sizeof(*slot));
    slot->constants = static_cast<uint8_t*>(calloc(STAGED_CONSTANT_BYTES, 1));
    if (!slot->constants) {
        --backend->shaderSlots.count;
        return nullptr;
    }
    slot->owner = shader;
    slot->vertexFormat = -1;
    slot->constantBytes = CONSTANT_BLOCK_STEP;
    slot->outputs = SHADER_OUTPUT_COLOR | SHADER_OUTPUT_DEPTH;
    slot->lastVertexInput = RENDERER_INVALID_ID;
    slot->lastIndexBuffer = RENDERER_INVALID_ID;
    shader->slot = static_cast<int32_t>(backend->shaderSlots.count - 1);
    return slot;
}

ID3DBlob* compileStage(const char* source, const char* name, const char* entry, const char* target) {
    ID3DBlob* code = nullptr;
    ID3DBlob* errors = nullptr;
    HRESULT result = D3DCompile(source, strlen(source), name, nullptr, nullptr, entry, target, 0, 0, &code, &errors);
    if (errors) {
        // WINEDEBUG=+debugstr shows the compiler's messages.
        OutputDebugStringA(static_cast<const char*>(errors->GetBufferPointer()));
        errors->Release();
    }
    if (FAILED(result)) {
        if (code) code->Release();
        return nullptr;
    }
    return code;
}

void releaseInputLayout(ShaderSlot* slot) {
    for (uint32_t i = 0; slot->inputElements && i < slot->inputElementCount; ++i)
        free(const_cast<char*>(slot->inputElements[i].SemanticName));
    free(slot->inputElements);
    slot->inputElements = nullptr;
    slot->inputElementCount = 0;
}

void releaseRecordLists(ShaderRecord* shader) {
    ShaderAttribute* attributes = static_cast<ShaderAttribute*>(shader->attributes);
    for (uint32_t i = 0; attributes && i < shader->attributeCount; ++i) free(attributes[i].semantic);
    free(attributes);
    shader->attributes = nullptr;
    shader->attributeCount = 0;
    ShaderUniform* uniforms = static_cast<ShaderUniform*>(shader->uniforms);
    for (uint32_t i = 0; uniforms && i < shader->uniformCount; ++i) free(uniforms[i].name);
    free(uniforms);
    shader->uniforms = nullptr;
    shader->uniformCount = 0;
}

uint32_t attributeKind(VertexAttribute attribute, int32_t components) {
    if (attribute == VERTEX_ATTRIBUTE_JOINTS || attribute == VERTEX_ATTRIBUTE_MESH_INDEX) return 1;
    if (attribute == VERTEX_ATTRIBUTE_COLOR && components == 1) return 2; // four bytes in one slot
    return 0;
}

DXGI_FORMAT elementFormat(uint32_t kind, int32_t components) {
    if (kind == 2) return DXGI_FORMAT_R8G8B8A8_UNORM;
    if (components < 1 || components > 4) return DXGI_FORMAT_UNKNOWN;
    return kind == 1 ? kIntegerFormats[components - 1] : kFloatFormats[components - 1];
}

// The attribute list and the input layout of a vertex format, in catalogue order.
bool buildInputs(ShaderRecord* shader, ShaderSlot* slot, int32_t vertexFormat) {
    if (!isVertexFormat(vertexFormat)) return false;
    ShaderAttribute* attributes =
        static_cast<ShaderAttribute*>(calloc(VERTEX_ATTRIBUTE_KIND_COUNT, sizeof(ShaderAttribute)));
    D3D12_INPUT_ELEMENT_DESC* elements =
        static_cast<D3D12_INPUT_ELEMENT_DESC*>(calloc(VERTEX_ATTRIBUTE_KIND_COUNT, sizeof(D3D12_INPUT_ELEMENT_DESC)));
    if (!attributes || !elements) {
        free(attributes);
        free(elements);
        return false;
    }
    uint32_t count = 0;
    for (int32_t a = 0; a < VERTEX_ATTRIBUTE_KIND_COUNT; ++a) {
        const VertexAttribute attribute = static_cast<VertexAttribute>(a);
        const int32_t offset = vertexAttributeOffset(vertexFormat, attribute);
        if (offset < 0) continue;
        const int32_t components = vertexAttributeComponents(vertexFormat, attribute);
        const uint32_t kind = attributeKind(attribute, components);
        char* semantic = copyText(kVertexAttributeSemantics[a]);
        char* elementName = copyText(kVertexAttributeSemantics[a]);
        if (!semantic || !elementName) {
            free(semantic);
            free(elementName);
            break;
        }
        attributes[count] = ShaderAttribute{semantic, 0, static_cast<uint16_t>(components), kind};
        D3D12_INPUT_ELEMENT_DESC& element = elements[count];
        element.SemanticName = elementName;
        element.SemanticIndex = 0;
        element.Format = elementFormat(kind, components);
        element.InputSlot = 0;
        element.AlignedByteOffset = static_cast<UINT>(offset) * 4u;
        element.InputSlotClass = D3D12_INPUT_CLASSIFICATION_PER_VERTEX_DATA;
        element.InstanceDataStepRate = 0;
        ++count;
    }
    shader->attributes = attributes;
    shader->attributeCount = count;
    releaseInputLayout(slot);
    slot->inputElements = elements;
    slot->inputElementCount = count;
    slot->vertexFormat = vertexFormat;
    return true;
}

// Lays the declarations out in the constant block as HLSL packs a cbuffer declared
// in the same order: an entry with offset 0 after the first follows the previous one,
// nothing straddles a 16-byte row, and counts above 4 fill whole rows.
bool packUniforms(ShaderRecord* shader, ShaderSlot* slot, const UniformDeclaration* declarations, uint32_t count) {
    ShaderUniform* uniforms = static_cast<ShaderUniform*>(calloc(count, sizeof(ShaderUniform)));
    if (!uniforms) return false;
    uint64_t previousOffset = 0, previousCount = 0, end = 0;
    uint32_t packed = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t offset = declarations[i].offset;
        if (offset == 0 && i > 0) offset = previousOffset + previousCount;
        uint64_t components = declarations[i].componentCount;
        if (offset % 4 != 0 && 4 - offset % 4 < components) offset = (offset + 3) / 4 * 4;
        if (components > 4 && components % 4 != 0) components = (components + 3) / 4 * 4;
        char* name = copyText(declarations[i].name ? declarations[i].name : "");
        if (!name) break;
        // A value the staged block cannot hold is never written.
        const bool fits = (offset + components) * 4 <= STAGED_CONSTANT_BYTES;
        uniforms[packed++] = ShaderUniform{name, fits ? static_cast<uint32_t>(offset) : RENDERER_INVALID_ID,
                                           static_cast<uint16_t>(components)};
        if (fits && (offset + components) * 4 > end) end = (offset + components) * 4;
        previousOffset = offset;
        previousCount = components;
    }
    shader->uniforms = uniforms;
    shader->uniformCount = packed;
    while (slot->constantBytes < end) slot->constantBytes += CONSTANT_BLOCK_STEP;
    return true;
}

} // namespace

bool loadShaderFromSourceInRenderer(RendererState* state, ShaderRecord* shader, const char* source) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend || !shader || !source) return false;
    ShaderSlot* slot = assignSlot(backend, shader);
    if (!slot) return false;
    releaseObject(&slot->pendingVertexCode);
    releaseObject(&slot->pendingPixelCode);
    slot->pendingVertexCode = compileStage(source, "vertex shader", "VSMain", "vs_5_0");
    slot->pendingPixelCode = compileStage(source, "pixel shader", "PSMain", "ps_5_0");
    slot->pending = 1;
    return true;
}

void setShaderInputInRenderer(RendererState* state, ShaderRecord* shader, int32_t vertexFormat,
                              const UniformDeclaration* uniforms, uint32_t uniformCount) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend || !shader) return;
    ShaderSlot* slot = assignSlot(backend, shader);
    if (!slot) return;
    releaseRecordLists(shader);
    const int32_t previousFormat = slot->vertexFormat;
    buildInputs(shader, slot, vertexFormat);
    if (uniforms && uniformCount > 0) packUniforms(shader, slot, uniforms, uniformCount);
    // States built for another input layout would read the vertices wrongly.
    if (slot->vertexFormat != previousFormat) releasePipelines(backend, slot);
}

void setShaderOutputInRenderer(RendererState* state, ShaderRecord* shader, uint32_t outputs) {
    if (ShaderSlot* slot = shaderSlot(d3d12State(state), shader))
        slot->outputs = outputs & (SHADER_OUTPUT_COLOR | SHADER_OUTPUT_DEPTH);
}

bool compileShaderInRenderer(RendererState* state, ShaderRecord* shader) {
    D3D12Backend* backend = d3d12State(state);
    ShaderSlot* slot = shaderSlot(backend, shader);
    if (!slot) return false;
    // The code on trial: a source loaded since the last compile, else the slot's own.
    ID3DBlob* previousVertex = slot->vertexCode;
    ID3DBlob* previousPixel = slot->pixelCode;
    DynArray<PipelineEntry> previousBuckets[PIPELINE_KEY_COUNT];
    memcpy(previousBuckets, slot->buckets, sizeof(previousBuckets));
    memset(slot->buckets, 0, sizeof(slot->buckets));
    const PipelineEntry* previousCurrent = slot->current;
    slot->current = nullptr;
    if (slot->pending) {
        slot->vertexCode = slot->pendingVertexCode;
        slot->pixelCode = slot->pendingPixelCode;
    }
    // One state against the back buffer proves the stages, the input layout and the
    // root signature fit together; it stays in the cache for the binds to come.
    DXGI_FORMAT formats[2];
    uint32_t formatCount = 0;
    if (slot->outputs & SHADER_OUTPUT_COLOR) formats[formatCount++] = DXGI_FORMAT_R8G8B8A8_UNORM;
    if (slot->outputs & SHADER_OUTPUT_DEPTH) formats[formatCount++] = DXGI_FORMAT_D32_FLOAT;
    const uint32_t key = KEY_DEPTH_TEST | KEY_DEPTH_WRITE |
                         (shader->cullMode == CULL_FRONT  ? KEY_CULL_FRONT
                          : shader->cullMode == CULL_NONE ? KEY_CULL_NONE
                                                          : KEY_CULL_BACK);
    const PipelineEntry* trial = slot->vertexCode && slot->pixelCode
                                     ? pipelineFor(backend, slot, key, formats, formatCount, shader->blendMode)
                                     : nullptr;
    const bool built = trial && trial->pipeline;
    if (built) {
        // The new code takes over; the old states go once the GPU is done with them.
        if (slot->pending) {
            releaseObject(&previousVertex);
            releaseObject(&previousPixel);
        }
        for (uint32_t k = 0; k < PIPELINE_KEY_COUNT; ++k) {
            for (uint32_t i = 0; i < previousBuckets[k].count; ++i)
                retireObject(backend, previousBuckets[k].elements[i].pipeline);
            releaseDynArray(&previousBuckets[k]);
        }
    } else {
        // A source that does not build leaves the shader as it was.
        releasePipelines(backend, slot);
        if (slot->pending) {
            releaseObject(&slot->pendingVertexCode);
            releaseObject(&slot->pendingPixelCode);
        }
        slot->vertexCode = previousVertex;
        slot->pixelCode = previousPixel;
        memcpy(slot->buckets, previousBuckets, sizeof(previousBuckets));
        slot->current = previousCurrent;
    }
    slot->pendingVertexCode = nullptr;
    slot->pendingPixelCode = nullptr;
    slot->pending = 0;
    if (built && state->currentShader == shader) bindShaderPipeline(state, backend, shader, true);
    return built;
}

void bindShaderInRenderer(RendererState* state, ShaderRecord* shader) {
    D3D12Backend* backend = d3d12State(state);
    if (!shaderSlot(backend, shader)) return;
    bindShaderPipeline(state, backend, shader, false);
    state->currentShader = shader;
}

void unbindShaderInRenderer(RendererState*, ShaderRecord*) {}

void cleanupShaderInRenderer(RendererState* state, ShaderRecord* shader) {
    if (!state || !shader) return;
    D3D12Backend* backend = d3d12State(state);
    if (ShaderSlot* slot = shaderSlot(backend, shader)) {
        // The slot is not handed out again; what it holds goes.
        releasePipelines(backend, slot);
        releaseObject(&slot->vertexCode);
        releaseObject(&slot->pixelCode);
        releaseObject(&slot->pendingVertexCode);
        releaseObject(&slot->pendingPixelCode);
        releaseInputLayout(slot);
        free(slot->constants);
        slot->constants = nullptr;
        slot->owner = nullptr;
    }
    if (state->currentShader == shader) state->currentShader = nullptr;
    shader->slot = -1;
    releaseRecordLists(shader);
}
