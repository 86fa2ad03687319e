// The pipeline-state cache: per shader slot, 32 buckets by pipeline key (depth test,
// depth write, culling, wireframe), each a short list of states by render-target
// formats and blend mode. A state is created once and found again by a linear
// search; a bind that changes nothing records nothing.
#include "backends/d3d12/d3d12_backend.h"

#include <string.h>

namespace {

uint32_t cullBits(uint32_t cullMode) {
    switch (cullMode) {
    case CULL_FRONT:
        return KEY_CULL_FRONT;
    case CULL_NONE:
        return KEY_CULL_NONE;
    default:
        return KEY_CULL_BACK;
    }
}

// Colour is source x SrcBlend + destination x DestBlend; alpha is always the source's.
void describeBlend(D3D12_RENDER_TARGET_BLEND_DESC* target, uint32_t blendMode, bool blending) {
    target->BlendEnable = blending && blendMode != BLEND_NONE;
    target->LogicOpEnable = FALSE;
    target->SrcBlend = D3D12_BLEND_ONE;
    target->DestBlend = D3D12_BLEND_ZERO;
    switch (blendMode) {
    case BLEND_ALPHA:
        target->SrcBlend = D3D12_BLEND_SRC_ALPHA;
        target->DestBlend = D3D12_BLEND_INV_SRC_ALPHA;
        break;
    case BLEND_PREMULTIPLIED:
        target->DestBlend = D3D12_BLEND_INV_SRC_ALPHA;
        break;
    default: // BLEND_ADDITIVE here replaces the target: one, zero
        break;
    }
    target->BlendOp = D3D12_BLEND_OP_ADD;
    target->SrcBlendAlpha = D3D12_BLEND_ONE;
    target->DestBlendAlpha = D3D12_BLEND_ZERO;
    target->BlendOpAlpha = D3D12_BLEND_OP_ADD;
    target->LogicOp = D3D12_LOGIC_OP_NOOP;
    target->RenderTargetWriteMask = D3D12_COLOR_WRITE_ENABLE_ALL;
}

ID3D12PipelineState* createPipeline(D3D12Backend* backend, const ShaderSlot* slot, uint32_t key,
                                    const DXGI_FORMAT* formats, uint32_t formatCount, uint32_t blendMode) {
    if (!slot->vertexCode || !slot->pixelCode) return nullptr;
    D3D12_GRAPHICS_PIPELINE_STATE_DESC description = {};
    description.pRootSignature = backend->rootSignature;
    description.VS.pShaderBytecode = slot->vertexCode->GetBufferPointer();
    description.VS.BytecodeLength = slot->vertexCode->GetBufferSize();
    description.PS.pShaderBytecode = slot->pixelCode->GetBufferPointer();
    description.PS.BytecodeLength = slot->pixelCode->GetBufferSize();
    description.InputLayout.pInputElementDescs = slot->inputElements;
    description.InputLayout.NumElements = slot->inputElementCount;
    description.IBStripCutValue = D3D12_INDEX_BUFFER_STRIP_CUT_VALUE_DISABLED;
    description.PrimitiveTopologyType = D3D12_PRIMITIVE_TOPOLOGY_TYPE_TRIANGLE;

    D3D12_RASTERIZER_DESC& rasterizer = description.RasterizerState;
    rasterizer.FillMode = (key & KEY_WIREFRAME) ? D3D12_FILL_MODE_WIREFRAME : D3D12_FILL_MODE_SOLID;
    const uint32_t cull = key & KEY_CULL_BITS;
    rasterizer.CullMode = cull == KEY_CULL_NONE    ? D3D12_CULL_MODE_NONE
                          : cull == KEY_CULL_FRONT ? D3D12_CULL_MODE_FRONT
                                                   : D3D12_CULL_MODE_BACK;
    rasterizer.FrontCounterClockwise = TRUE;
    rasterizer.DepthClipEnable = TRUE;

    uint32_t colorCount = 0;
    bool depthTarget = false;
    for (uint32_t i = 0; i < formatCount; ++i) {
        if (formats[i] == DXGI_FORMAT_D32_FLOAT)
            depthTarget = true;
        else if (colorCount < MAX_COLOR_ATTACHMENTS)
            description.RTVFormats[colorCount++] = formats[i];
    }
    description.NumRenderTargets = colorCount;
    description.DSVFormat = depthTarget ? DXGI_FORMAT_D32_FLOAT : DXGI_FORMAT_UNKNOWN;

    // Without a depth target there is nothing to test or write.
    D3D12_DEPTH_STENCIL_DESC& depth = description.DepthStencilState;
    depth.DepthEnable = depthTarget && (key & KEY_DEPTH_TEST);
    depth.DepthWriteMask = (key & KEY_DEPTH_WRITE) ? D3D12_DEPTH_WRITE_MASK_ALL : D3D12_DEPTH_WRITE_MASK_ZERO;
    depth.DepthFunc = D3D12_COMPARISON_FUNC_LESS_EQUAL;
    depth.StencilEnable = FALSE;
    depth.StencilReadMask = 0xFF;
    depth.StencilWriteMask = 0xFF;
    const D3D12_DEPTH_STENCILOP_DESC keep = {D3D12_STENCIL_OP_KEEP, D3D12_STENCIL_OP_KEEP, D3D12_STENCIL_OP_KEEP,
                                             D3D12_COMPARISON_FUNC_ALWAYS};
    depth.FrontFace = keep;
    depth.BackFace = keep;

    description.BlendState.AlphaToCoverageEnable = FALSE;
    description.BlendState.IndependentBlendEnable = FALSE;
    for (uint32_t i = 0; i < 8; ++i) describeBlend(&description.BlendState.RenderTarget[i], blendMode, colorCount > 0);
    description.SampleMask = 0xFFFFFFFF;
    description.SampleDesc.Count = 1;

    ID3D12PipelineState* pipeline = nullptr;
    if (FAILED(backend->device->CreateGraphicsPipelineState(&description, __uuidof(ID3D12PipelineState),
                                                            reinterpret_cast<void**>(&pipeline)))) {
        OutputDebugStringA("VidPortD3D12: a pipeline state was refused\n");
        return nullptr;
    }
    ++backend->statistics.pipelinesCreated;
    return pipeline;
}

bool sameFormats(const PipelineEntry& entry, const DXGI_FORMAT* formats, uint32_t formatCount) {
    if (entry.formatCount != formatCount) return false;
    for (uint32_t i = 0; i < formatCount; ++i)
        if (entry.formats[i] != formats[i]) return false;
    return true;
}

} // namespace

ShaderSlot* shaderSlot(D3D12Backend* backend, const ShaderRecord* shader) {
    if (!backend || !shader || shader->slot < 0 || static_cast<uint32_t>(shader->slot) >= backend->shaderSlots.count)
        return nullptr;
    ShaderSlot* slot = &backend->shaderSlots.elements[shader->slot];
    // A record that kept its number from an earlier start names another record's slot.
    return slot->owner == shader ? slot : nullptr;
}

void releasePipelines(D3D12Backend* backend, ShaderSlot* slot) {
    for (uint32_t key = 0; key < PIPELINE_KEY_COUNT; ++key) {
        DynArray<PipelineEntry>* bucket = &slot->buckets[key];
        // The frame's list may have recorded draws with them.
        for (uint32_t i = 0; i < bucket->count; ++i) retireObject(backend, bucket->elements[i].pipeline);
        releaseDynArray(bucket);
    }
    slot->current = nullptr;
}

const PipelineEntry* pipelineFor(D3D12Backend* backend, ShaderSlot* slot, uint32_t key, const DXGI_FORMAT* formats,
                                 uint32_t formatCount, uint32_t blendMode) {
    if (formatCount > MAX_COLOR_ATTACHMENTS + 1) return nullptr;
    DynArray<PipelineEntry>* bucket = &slot->buckets[key % PIPELINE_KEY_COUNT];
    for (uint32_t i = 0; i < bucket->count; ++i)
        if (bucket->elements[i].blendMode == blendMode && sameFormats(bucket->elements[i], formats, formatCount))
            return &bucket->elements[i];
    // Entries move when the bucket grows: the slot's current entry moves with them.
    const bool currentHere = slot->current >= bucket->elements && slot->current < bucket->elements + bucket->count;
    const uint32_t currentIndex = currentHere ? static_cast<uint32_t>(slot->current - bucket->elements) : 0;
    PipelineEntry* entry = appendDynArray(bucket);
    if (!entry) return nullptr;
    if (currentHere) slot->current = &bucket->elements[currentIndex];
    entry->formatCount = formatCount;
    memcpy(entry->formats, formats, formatCount * sizeof(DXGI_FORMAT));
    entry->blendMode = blendMode;
    entry->pipeline = createPipeline(backend, slot, key, formats, formatCount, blendMode);
    return entry;
}

void setPipeline(D3D12Backend* backend, ID3D12PipelineState* pipeline) {
    if (!pipeline || !backend->recording || backend->listPipeline == pipeline) return;
    backend->frameList->SetPipelineState(pipeline);
    backend->listPipeline = pipeline;
    ++backend->statistics.pipelineSets;
}

void bindShaderPipeline(RendererState* state, D3D12Backend* backend, ShaderRecord* shader, bool force) {
    ShaderSlot* slot = shaderSlot(backend, shader);
    if (!slot) return;
    const uint32_t key = (backend->pipelineKey & ~KEY_CULL_BITS) | cullBits(shader->cullMode);
    DXGI_FORMAT formats[MAX_COLOR_ATTACHMENTS + 1];
    const uint32_t formatCount = boundTargetFormats(backend, slot->outputs, formats);
    const PipelineEntry* entry = pipelineFor(backend, slot, key, formats, formatCount, shader->blendMode);
    if (!force && state->currentShader == shader && slot->current == entry &&
        slot->currentTargetsVersion == backend->targetsVersion)
        return;
    slot->current = entry;
    slot->currentTargetsVersion = backend->targetsVersion;
    if (entry && entry->pipeline) setPipeline(backend, entry->pipeline);
    ListTargets targets = {};
    boundTargetViews(backend, slot->outputs, &targets);
    setListTargets(backend, &targets);
}
