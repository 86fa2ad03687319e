// Textures: the id allocator over the 256-entry texture table, uploads through
// staging buffers recorded on the upload list, the sampler each texture names, and
// binding to the eight texture units. A texture id is also the slot of its view in
// the shader-visible heap. Missing mip levels are made by the compute shader where
// it exists and the format takes typed stores, else on the CPU at upload: a texture
// is never sampled with levels that were never written.
#include "backends/d3d12/d3d12_backend.h"
#include "backends/d3d12/texel_data.h"
#include "backends/window/backend_exports.h"

#include "backend/pixel_formats.h"

#include <stdlib.h>
#include <string.h>

namespace {

enum { MAX_DATA_LEVELS = 64 };

const DXGI_FORMAT kLayoutFormats[TEXEL_LAYOUT_COUNT] = {
    DXGI_FORMAT_R8G8B8A8_UNORM,     DXGI_FORMAT_B8G8R8A8_UNORM, DXGI_FORMAT_R8_UNORM,  DXGI_FORMAT_R16G16_FLOAT,
    DXGI_FORMAT_R16G16B16A16_FLOAT, DXGI_FORMAT_BC1_UNORM,      DXGI_FORMAT_BC2_UNORM, DXGI_FORMAT_BC3_UNORM,
};

D3D12_CPU_DESCRIPTOR_HANDLE viewSlot(D3D12Backend* backend, uint32_t index) {
    D3D12_CPU_DESCRIPTOR_HANDLE handle = backend->viewHeap->GetCPUDescriptorHandleForHeapStart();
    handle.ptr += static_cast<SIZE_T>(index) * backend->srvIncrement;
    return handle;
}

void writeView(D3D12Backend* backend, uint32_t id) {
    const TextureRecord& texture = backend->textures[id];
    if (texture.resource) {
        backend->device->CreateShaderResourceView(texture.resource, &texture.view, viewSlot(backend, id));
        return;
    }
    D3D12_SHADER_RESOURCE_VIEW_DESC none = {};
    none.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    none.ViewDimension = D3D12_SRV_DIMENSION_TEXTURE2D;
    none.Shader4ComponentMapping = D3D12_DEFAULT_SHADER_4_COMPONENT_MAPPING;
    none.Texture2D.MipLevels = 1;
    backend->device->CreateShaderResourceView(nullptr, &none, viewSlot(backend, id));
}

void describeView(TextureRecord* texture, DXGI_FORMAT format, uint32_t levels) {
    memset(&texture->view, 0, sizeof(texture->view));
    texture->view.Format = format;
    texture->view.ViewDimension = D3D12_SRV_DIMENSION_TEXTURE2D;
    texture->view.Shader4ComponentMapping = D3D12_DEFAULT_SHADER_4_COMPONENT_MAPPING;
    texture->view.Texture2D.MostDetailedMip = 0;
    texture->view.Texture2D.MipLevels = levels;
}


// Puts a new resource (or none) on an id; the old one lives on until the GPU is done.
void replaceResource(D3D12Backend* backend, uint32_t id, ID3D12Resource* resource) {
    TextureRecord& texture = backend->textures[id];
    retireObject(backend, texture.resource);
    texture.resource = resource;
    texture.resourceState = D3D12_RESOURCE_STATE_PIXEL_SHADER_RESOURCE;
    writeView(backend, id);
    refreshUnitsShowing(backend, id);
}

// The levels of the data that are really there: level l at offsets[l], as many as
// fit byteSize (when given) and the levels wanted.
uint32_t levelsPresent(uint32_t sourceFormat, uint32_t width, uint32_t height, uint32_t levelsInData, uint32_t wanted,
                       uint64_t byteSize, uint64_t* offsets) {
    uint64_t offset = 0;
    uint32_t present = 0;
    for (uint32_t level = 0; level < levelsInData && level < wanted && level < MAX_DATA_LEVELS; ++level) {
        const uint64_t size = levelBytes(sourceFormat, levelExtent(width, level), levelExtent(height, level));
        if (size == 0 || (byteSize != 0 && (offset > byteSize || size > byteSize - offset))) break;
        offsets[level] = offset;
        offset += size;
        ++present;
    }
    return present;
}

// Copies one level, rows tightly packed, into the staging buffer at its footprint.
void stageLevel(uint8_t* staging, const D3D12_PLACED_SUBRESOURCE_FOOTPRINT& footprint, const uint8_t* level,
                uint64_t rowBytes, uint32_t rows) {
    for (uint32_t row = 0; row < rows; ++row)
        memcpy(staging + footprint.Offset + static_cast<uint64_t>(row) * footprint.Footprint.RowPitch,
               level + static_cast<uint64_t>(row) * rowBytes, rowBytes);
}

// Uploads the levels the data has (converted to the texture's layout) and, without a
// compute path, the ones it lacks, box-filtered on the CPU. Records the copies on the
// upload list. False when memory or the staging buffer cannot be had.
bool stageAndCopy(D3D12Backend* backend, ID3D12Resource* resource, const TexelPlan& plan, const uint8_t* data,
                  const uint64_t* offsets, uint32_t width, uint32_t height, uint32_t present, uint32_t levels,
                  bool cpuMips) {
    const uint32_t copied = cpuMips ? levels : present;
    D3D12_PLACED_SUBRESOURCE_FOOTPRINT footprints[MAX_DATA_LEVELS];
    uint64_t total = 0;
    D3D12_RESOURCE_DESC description = resource->GetDesc();
    backend->device->GetCopyableFootprints(&description, 0, copied, 0, footprints, nullptr, nullptr, &total);
    ID3D12Resource* staging = createUploadBuffer(backend, total);
    if (!staging) return false;
    uint8_t* mapped = nullptr;
    D3D12_RANGE nothingRead = {0, 0};
    if (FAILED(staging->Map(0, &nothingRead, reinterpret_cast<void**>(&mapped)))) {
        staging->Release();
        return false;
    }
    // Each level in the texture's layout; the last one stays for the next box filter.
    uint8_t* previous = nullptr;
    bool complete = true;
    for (uint32_t level = 0; level < copied && complete; ++level) {
        const uint32_t w = levelExtent(width, level), h = levelExtent(height, level);
        const uint64_t bytes = texelLevelBytes(plan.layout, w, h);
        uint8_t* texels = static_cast<uint8_t*>(malloc(bytes ? bytes : 1));
        if (!texels) {
            complete = false;
            break;
        }
        if (level < present)
            convertLevel(plan, data + offsets[level], w, h, texels);
        else
            boxFilterLevel(plan.layout, previous, levelExtent(width, level - 1), levelExtent(height, level - 1),
                           texels);
        stageLevel(mapped, footprints[level], texels, texelRowBytes(plan.layout, w), texelRowCount(plan.layout, h));
        free(previous);
        previous = texels;
    }
    free(previous);
    staging->Unmap(0, nullptr);
    if (!complete) {
        staging->Release();
        return false;
    }
    for (uint32_t level = 0; level < copied; ++level) {
        D3D12_TEXTURE_COPY_LOCATION to = {};
        to.pResource = resource;
        to.Type = D3D12_TEXTURE_COPY_TYPE_SUBRESOURCE_INDEX;
        to.SubresourceIndex = level;
        D3D12_TEXTURE_COPY_LOCATION from = {};
        from.pResource = staging;
        from.Type = D3D12_TEXTURE_COPY_TYPE_PLACED_FOOTPRINT;
        from.PlacedFootprint = footprints[level];
        backend->uploadList->CopyTextureRegion(&to, 0, 0, 0, &from, nullptr);
    }
    if (cpuMips) backend->statistics.cpuMipLevels += levels - present;
    retireUploadBuffer(backend, staging);
    backend->uploadsPending = 1;
    return true;
}

uint32_t unitSampler(D3D12Backend* backend, uint32_t textureId) {
    if (textureId >= TEXTURE_TABLE_SIZE || !backend->textures[textureId].inUse) return 0;
    const uint32_t link = backend->textures[textureId].link;
    return link < SAMPLER_COUNT ? link : 0;
}

void applyUnit(D3D12Backend* backend, uint32_t unit) {
    if (!backend->recording) return;
    const uint32_t id = backend->unitTextures[unit];
    const uint32_t view =
        id < TEXTURE_TABLE_SIZE && backend->textures[id].resource ? id : static_cast<uint32_t>(NULL_TEXTURE_VIEW);
    const uint32_t sampler = unitSampler(backend, id);
    if (backend->unitViews[unit] != view) {
        D3D12_GPU_DESCRIPTOR_HANDLE handle = backend->viewHeap->GetGPUDescriptorHandleForHeapStart();
        handle.ptr += static_cast<uint64_t>(view) * backend->srvIncrement;
        backend->frameList->SetGraphicsRootDescriptorTable(1 + 2 * unit, handle);
        backend->unitViews[unit] = view;
        ++backend->statistics.textureTableSets;
    }
    if (backend->unitSamplers[unit] != sampler) {
        D3D12_GPU_DESCRIPTOR_HANDLE handle = backend->samplerHeap->GetGPUDescriptorHandleForHeapStart();
        handle.ptr += static_cast<uint64_t>(sampler) * backend->samplerIncrement;
        backend->frameList->SetGraphicsRootDescriptorTable(2 + 2 * unit, handle);
        backend->unitSamplers[unit] = sampler;
        ++backend->statistics.samplerTableSets;
    }
}

// The id a setter works on: reserved first when the handle names none.
TextureRecord* reservedTexture(D3D12Backend* backend, uint32_t* textureId) {
    if (!backend || !textureId) return nullptr;
    if (*textureId == RENDERER_INVALID_ID) *textureId = allocateTextureId(backend);
    return textureRecord(backend, *textureId);
}

} // namespace

ID3D12Resource* createTexture(D3D12Backend* backend, uint32_t width, uint32_t height, uint32_t levels,
                              DXGI_FORMAT format, D3D12_RESOURCE_FLAGS flags, D3D12_RESOURCE_STATES initial,
                              const D3D12_CLEAR_VALUE* clear) {
    D3D12_HEAP_PROPERTIES heap = {};
    heap.Type = D3D12_HEAP_TYPE_DEFAULT;
    D3D12_RESOURCE_DESC description = {};
    description.Dimension = D3D12_RESOURCE_DIMENSION_TEXTURE2D;
    description.Width = width;
    description.Height = height;
    description.DepthOrArraySize = 1;
    description.MipLevels = static_cast<UINT16>(levels);
    description.Format = format;
    description.SampleDesc.Count = 1;
    description.Layout = D3D12_TEXTURE_LAYOUT_UNKNOWN;
    description.Flags = flags;
    ID3D12Resource* resource = nullptr;
    if (FAILED(backend->device->CreateCommittedResource(&heap, D3D12_HEAP_FLAG_NONE, &description, initial, clear,
                                                        __uuidof(ID3D12Resource),
                                                        reinterpret_cast<void**>(&resource)))) {
        OutputDebugStringA("VidPortD3D12: a texture could not be created\n");
        return nullptr;
    }
    return resource;
}

uint32_t allocateTextureId(D3D12Backend* backend) {
    uint32_t id;
    if (backend->freeTextureHead != RENDERER_INVALID_ID) {
        id = backend->freeTextureHead;
        backend->freeTextureHead = backend->textures[id].link;
    } else {
        if (backend->nextTextureId >= TEXTURE_TABLE_SIZE) {
            OutputDebugStringA("VidPortD3D12: all 256 texture ids are in use\n");
            return RENDERER_INVALID_ID;
        }
        id = backend->nextTextureId++;
    }
    backend->textures[id].link = 0;
    backend->textures[id].inUse = 1;
    return id;
}

TextureRecord* textureRecord(D3D12Backend* backend, uint32_t id) {
    return backend && id < TEXTURE_TABLE_SIZE && backend->textures[id].inUse ? &backend->textures[id] : nullptr;
}

void freeTextureId(D3D12Backend* backend, uint32_t id) {
    TextureRecord* texture = textureRecord(backend, id);
    // An id released twice would sit on the list twice and go to two owners.
    if (!texture) return;
    texture->inUse = 0;
    texture->link = backend->freeTextureHead;
    backend->freeTextureHead = id;
}

void releaseTextureResource(D3D12Backend* backend, uint32_t id) {
    if (id >= TEXTURE_TABLE_SIZE || !backend->textures[id].resource) return;
    replaceResource(backend, id, nullptr);
}

bool createTargetTexture(D3D12Backend* backend, uint32_t id, uint32_t width, uint32_t height, DXGI_FORMAT format,
                         bool depth) {
    TextureRecord* texture = textureRecord(backend, id);
    if (!texture) return false;
    D3D12_CLEAR_VALUE clear = {};
    ID3D12Resource* resource;
    if (depth) {
        // One resource for both views: D32_FLOAT to draw depth into, R32_FLOAT to sample it.
        clear.Format = DXGI_FORMAT_D32_FLOAT;
        clear.DepthStencil.Depth = 1.0f;
        resource =
            createTexture(backend, width, height, 1, DXGI_FORMAT_R32_TYPELESS, D3D12_RESOURCE_FLAG_ALLOW_DEPTH_STENCIL,
                          D3D12_RESOURCE_STATE_PIXEL_SHADER_RESOURCE, &clear);
        format = DXGI_FORMAT_R32_FLOAT;
    } else {
        clear.Format = format;
        clear.Color[0] = clear.Color[1] = clear.Color[2] = 1.0f;
        clear.Color[3] = 0.0f;
        resource = createTexture(backend, width, height, 1, format, D3D12_RESOURCE_FLAG_ALLOW_RENDER_TARGET,
                                 D3D12_RESOURCE_STATE_PIXEL_SHADER_RESOURCE, &clear);
    }
    texture->format = format;
    texture->width = width;
    texture->height = height;
    texture->depth = depth ? 1 : 0;
    describeView(texture, format, 1);
    replaceResource(backend, id, resource);
    return resource != nullptr;
}

void bindTextureUnit(D3D12Backend* backend, uint32_t unit, uint32_t textureId) {
    if (unit >= TEXTURE_UNIT_COUNT) return;
    backend->unitTextures[unit] = textureId;
    applyUnit(backend, unit);
}

void reapplyTextureUnits(D3D12Backend* backend) {
    for (uint32_t unit = 0; unit < TEXTURE_UNIT_COUNT; ++unit) {
        backend->unitViews[unit] = RENDERER_INVALID_ID;
        backend->unitSamplers[unit] = RENDERER_INVALID_ID;
        applyUnit(backend, unit);
    }
}

void refreshUnitsShowing(D3D12Backend* backend, uint32_t textureId) {
    for (uint32_t unit = 0; unit < TEXTURE_UNIT_COUNT; ++unit)
        if (backend->unitTextures[unit] == textureId) applyUnit(backend, unit);
}

uint32_t uploadTextureInRenderer(RendererState* state, void* pixels, uint64_t byteSize, TextureDescription* description,
                                 uint16_t levelsInData, uint32_t currentId) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend || !backend->device || !description) return RENDERER_INVALID_ID;
    uint32_t id = currentId;
    if (!textureRecord(backend, id)) id = allocateTextureId(backend);
    TextureRecord* texture = textureRecord(backend, id);
    if (!texture) return RENDERER_INVALID_ID;
    // Its textures filter smoothly until setTextureSmoothInRenderer says otherwise;
    // the description's wrap mode picks the sampler.
    texture->link = samplerWithWrap(backend, texture->link, description->wrapMode);

    const uint32_t width = description->width ? description->width : 1;
    const uint32_t height = description->height ? description->height : 1;
    const bool renderTarget = description->renderTarget != 0;
    if (description->attachmentKind == ATTACHMENT_DEPTH) {
        createTargetTexture(backend, id, width, height, DXGI_FORMAT_R32_FLOAT, true);
        return id;
    }

    const TexelPlan plan = planTexels(description->pixelFormat, width, height);
    const DXGI_FORMAT format = kLayoutFormats[plan.layout];
    const bool blocks = kTexelLayouts[plan.layout].blockBytes != 0;
    uint32_t wanted = description->mipLevels ? description->mipLevels : 1;
    const uint32_t chain = fullMipChainLength(width, height);
    if (wanted > chain) wanted = chain;

    uint64_t offsets[MAX_DATA_LEVELS];
    const uint8_t* data = static_cast<const uint8_t*>(pixels);
    // A buffer shorter than the levels it claims gives the levels that fit; one
    // shorter than its first level gives a texture without contents, never a read
    // past its end.
    const uint32_t present = data ? levelsPresent(plan.sourceFormat, width, height, levelsInData ? levelsInData : 1,
                                                  wanted, byteSize, offsets)
                                  : 0;
    if (present == 0) data = nullptr;
    uint32_t levels = data ? wanted : 1;
    if (data && blocks) levels = present; // block data cannot be filtered: only the levels given
    const bool generate = data && present < levels;
    const bool gpuMips = generate && !renderTarget && backend->mipPipeline && formatTakesGpuMips(backend, format);

    D3D12_RESOURCE_FLAGS flags = D3D12_RESOURCE_FLAG_NONE;
    if (renderTarget && !blocks) flags |= D3D12_RESOURCE_FLAG_ALLOW_RENDER_TARGET;
    if (gpuMips) flags |= D3D12_RESOURCE_FLAG_ALLOW_UNORDERED_ACCESS;
    ID3D12Resource* resource =
        createTexture(backend, width, height, levels, format, flags,
                      data ? D3D12_RESOURCE_STATE_COPY_DEST : D3D12_RESOURCE_STATE_PIXEL_SHADER_RESOURCE, nullptr);
    texture->format = format;
    texture->width = width;
    texture->height = height;
    texture->depth = 0;
    describeView(texture, format, levels);
    if (!resource) {
        replaceResource(backend, id, nullptr);
        return id;
    }
    if (data && !stageAndCopy(backend, resource, plan, data, offsets, width, height, present, levels, !gpuMips)) {
        resource->Release();
        replaceResource(backend, id, nullptr);
        return id;
    }
    if (data) {
        if (gpuMips) {
            transitionResource(backend->uploadList, resource, D3D12_RESOURCE_STATE_COPY_DEST,
                               D3D12_RESOURCE_STATE_UNORDERED_ACCESS);
            recordGpuMips(backend, resource, format, width, height, levels, present - 1);
        } else {
            transitionResource(backend->uploadList, resource, D3D12_RESOURCE_STATE_COPY_DEST,
                               D3D12_RESOURCE_STATE_PIXEL_SHADER_RESOURCE);
        }
    }
    replaceResource(backend, id, resource);
    return id;
}

void bindTextureInRenderer(RendererState* state, uint32_t textureId, int32_t unit) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend || unit < 0 || unit >= TEXTURE_UNIT_COUNT) return;
    bindTextureUnit(backend, static_cast<uint32_t>(unit), textureId);
}

uint32_t getTextureIDInRenderer(RendererState* state) {
    D3D12Backend* backend = d3d12State(state);
    return backend ? allocateTextureId(backend) : RENDERER_INVALID_ID;
}

void pushFreeTextureDescriptorInRenderer(RendererState* state, uint32_t textureId) {
    if (D3D12Backend* backend = d3d12State(state)) freeTextureId(backend, textureId);
}

void setTextureSmoothInRenderer(RendererState* state, uint32_t* textureId, bool smooth) {
    D3D12Backend* backend = d3d12State(state);
    TextureRecord* texture = reservedTexture(backend, textureId);
    if (!texture) return;
    texture->link = samplerWithFilter(backend, texture->link, smooth);
    refreshUnitsShowing(backend, *textureId);
}

void setTextureWrapModeInRenderer(RendererState* state, uint32_t* textureId, uint32_t wrapMode) {
    D3D12Backend* backend = d3d12State(state);
    TextureRecord* texture = reservedTexture(backend, textureId);
    if (!texture) return;
    texture->link = samplerWithWrap(backend, texture->link, wrapMode);
    refreshUnitsShowing(backend, *textureId);
}
