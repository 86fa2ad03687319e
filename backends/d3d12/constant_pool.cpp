// The constant pool: one persistently mapped upload buffer cut into blocks, one size
// class per block size (256, 512, ... bytes), each block with a constant view made in
// advance, so that a draw costs one copy and one table call. A class has as many
// blocks as the frames before asked of it. A draw that finds none left still draws: it
// takes a block of a spill buffer made for the rest of the frame (views in heap slots
// no recorded command names yet), and counts ten times over, so that the pool grows
// at the next frame start and the spill buffers go. Skipping the draw instead would
// leave a picture the game keeps (its views are redrawn only on change) wrong.
#include "backends/d3d12/d3d12_backend.h"

#include <string.h>

namespace {

// Shader-visible descriptor heaps hold at most this many views on every tier.
const uint64_t kMaxHeapViews = 1000000;
// Constant views the first heap has room for. The heap is made once and only made
// anew when the pool outgrows it: under Wine each shader-visible heap costs seconds
// to create, whatever its size.
const uint64_t kFirstHeapConstantViews = 65536;
const uint32_t kOverflowPenalty = 10;

D3D12_CPU_DESCRIPTOR_HANDLE heapSlot(D3D12Backend* backend, uint64_t index) {
    D3D12_CPU_DESCRIPTOR_HANDLE handle = backend->viewHeap->GetCPUDescriptorHandleForHeapStart();
    handle.ptr += static_cast<SIZE_T>(index * backend->srvIncrement);
    return handle;
}

void layOutClasses(D3D12Backend* backend, uint64_t* bytes, uint64_t* views) {
    uint64_t offset = 0;
    uint64_t count = 0;
    for (uint32_t c = 0; c < backend->sizeClasses.count; ++c) {
        SizeClass& sizeClass = backend->sizeClasses.elements[c];
        sizeClass.byteOffset = offset;
        offset += sizeClass.capacity * sizeClass.blockBytes;
        count += sizeClass.capacity;
    }
    *bytes = offset;
    *views = count;
}

// Views of blocks of a buffer from a heap slot on.
void writeBlockViews(D3D12Backend* backend, ID3D12Resource* buffer, uint64_t blockBytes, uint64_t blocks,
                     uint64_t firstView) {
    const D3D12_GPU_VIRTUAL_ADDRESS base = buffer->GetGPUVirtualAddress();
    for (uint64_t block = 0; block < blocks; ++block) {
        D3D12_CONSTANT_BUFFER_VIEW_DESC view = {};
        view.BufferLocation = base + block * blockBytes;
        view.SizeInBytes = static_cast<UINT>(blockBytes);
        backend->device->CreateConstantBufferView(&view, heapSlot(backend, firstView + block));
    }
}

void releaseSpills(D3D12Backend* backend) {
    for (uint32_t i = 0; i < backend->spills.count; ++i) {
        SpillChunk& chunk = backend->spills.elements[i];
        chunk.buffer->Unmap(0, nullptr);
        retireObject(backend, chunk.buffer);
    }
    backend->spills.count = 0;
    backend->spillNextView = FIRST_CONSTANT_VIEW + backend->poolViewCount;
}

// A block for a draw its class had none left for, from a spill buffer of that block
// size; null when not even a spill buffer can be had.
uint8_t* spillBlock(D3D12Backend* backend, uint64_t blockBytes, uint64_t wanted, uint64_t* view) {
    SpillChunk* chunk = nullptr;
    for (uint32_t i = backend->spills.count; i-- > 0;)
        if (backend->spills.elements[i].blockBytes == blockBytes &&
            backend->spills.elements[i].used < backend->spills.elements[i].blocks) {
            chunk = &backend->spills.elements[i];
            break;
        }
    if (!chunk) {
        uint64_t blocks = wanted < 16 ? 16 : wanted;
        if (backend->spillNextView + blocks > backend->viewHeapSize)
            blocks = backend->viewHeapSize - backend->spillNextView;
        if (backend->spillNextView >= backend->viewHeapSize || blocks == 0) return nullptr;
        ID3D12Resource* buffer = createUploadBuffer(backend, blocks * blockBytes);
        uint8_t* memory = nullptr;
        D3D12_RANGE nothingRead = {0, 0};
        if (!buffer || FAILED(buffer->Map(0, &nothingRead, reinterpret_cast<void**>(&memory)))) {
            if (buffer) buffer->Release();
            return nullptr;
        }
        chunk = appendDynArray(&backend->spills);
        if (!chunk) {
            buffer->Unmap(0, nullptr);
            buffer->Release();
            return nullptr;
        }
        *chunk = SpillChunk{buffer, memory, blockBytes, blocks, 0, backend->spillNextView};
        writeBlockViews(backend, buffer, blockBytes, blocks, chunk->firstView);
        backend->spillNextView += blocks;
    }
    *view = chunk->firstView + chunk->used;
    return chunk->memory + blockBytes * chunk->used++;
}

void writeConstantViews(D3D12Backend* backend) {
    if (!backend->constantBuffer) return;
    const D3D12_GPU_VIRTUAL_ADDRESS base = backend->constantBuffer->GetGPUVirtualAddress();
    uint64_t index = FIRST_CONSTANT_VIEW;
    for (uint32_t c = 0; c < backend->sizeClasses.count; ++c) {
        const SizeClass& sizeClass = backend->sizeClasses.elements[c];
        for (uint64_t block = 0; block < sizeClass.capacity; ++block) {
            D3D12_CONSTANT_BUFFER_VIEW_DESC view = {};
            view.BufferLocation = base + sizeClass.byteOffset + block * sizeClass.blockBytes;
            view.SizeInBytes = static_cast<UINT>(sizeClass.blockBytes);
            backend->device->CreateConstantBufferView(&view, heapSlot(backend, index++));
        }
    }
}

bool appendSizeClass(D3D12Backend* backend) {
    SizeClass* sizeClass = appendDynArray(&backend->sizeClasses);
    if (!sizeClass) return false;
    *sizeClass = SizeClass{};
    sizeClass->blockBytes = static_cast<uint64_t>(CONSTANT_BLOCK_STEP) * backend->sizeClasses.count;
    return true;
}

} // namespace

void resetSizeClasses(D3D12Backend* backend) {
    backend->sizeClasses.count = 0;
    for (uint32_t c = 0; c < FIRST_SIZE_CLASS_COUNT; ++c) appendSizeClass(backend);
}

void recreateTextureViews(D3D12Backend* backend) {
    D3D12_SHADER_RESOURCE_VIEW_DESC none = {};
    none.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    none.ViewDimension = D3D12_SRV_DIMENSION_TEXTURE2D;
    none.Shader4ComponentMapping = D3D12_DEFAULT_SHADER_4_COMPONENT_MAPPING;
    none.Texture2D.MipLevels = 1;
    for (uint32_t id = 0; id < TEXTURE_TABLE_SIZE; ++id) {
        const TextureRecord& texture = backend->textures[id];
        if (texture.resource)
            backend->device->CreateShaderResourceView(texture.resource, &texture.view, heapSlot(backend, id));
        else
            backend->device->CreateShaderResourceView(nullptr, &none, heapSlot(backend, id));
    }
    backend->device->CreateShaderResourceView(nullptr, &none, heapSlot(backend, NULL_TEXTURE_VIEW));
}

// A heap with room for the texture views and `views` constant views, unless the
// current one has it already.
bool ensureViewHeap(D3D12Backend* backend, uint64_t views) {
    if (backend->viewHeap && FIRST_CONSTANT_VIEW + views <= backend->viewHeapSize) return true;
    uint64_t room = backend->viewHeap ? 2 * views : kFirstHeapConstantViews;
    if (room < views) room = views;
    if (FIRST_CONSTANT_VIEW + room > kMaxHeapViews) room = kMaxHeapViews - FIRST_CONSTANT_VIEW;
    if (views > room) return false;
    D3D12_DESCRIPTOR_HEAP_DESC description = {};
    description.Type = D3D12_DESCRIPTOR_HEAP_TYPE_CBV_SRV_UAV;
    description.NumDescriptors = static_cast<UINT>(FIRST_CONSTANT_VIEW + room);
    description.Flags = D3D12_DESCRIPTOR_HEAP_FLAG_SHADER_VISIBLE;
    ID3D12DescriptorHeap* heap = nullptr;
    if (FAILED(backend->device->CreateDescriptorHeap(&description, __uuidof(ID3D12DescriptorHeap),
                                                     reinterpret_cast<void**>(&heap))))
        return false;
    // The old heap may still be named by submitted work.
    retireObject(backend, backend->viewHeap);
    backend->viewHeap = heap;
    backend->viewHeapSize = description.NumDescriptors;
    recreateTextureViews(backend);
    return true;
}

bool createConstantPool(D3D12Backend* backend, uint64_t bytes) {
    uint64_t laidOut = 0;
    uint64_t views = 0;
    layOutClasses(backend, &laidOut, &views);
    if (bytes < laidOut) bytes = laidOut;
    if (!ensureViewHeap(backend, views)) return false;
    if (bytes > backend->poolBytes || !backend->constantBuffer) {
        ID3D12Resource* buffer = createUploadBuffer(backend, bytes);
        if (!buffer) return false;
        uint8_t* memory = nullptr;
        D3D12_RANGE nothingRead = {0, 0};
        if (FAILED(buffer->Map(0, &nothingRead, reinterpret_cast<void**>(&memory)))) {
            buffer->Release();
            return false;
        }
        // The old storage may still be named by submitted work.
        if (backend->constantBuffer) backend->constantBuffer->Unmap(0, nullptr);
        retireObject(backend, backend->constantBuffer);
        backend->constantBuffer = buffer;
        backend->constantMemory = memory;
        backend->poolBytes = bytes;
    }
    backend->poolViewCount = views;
    writeConstantViews(backend);
    backend->spillNextView = FIRST_CONSTANT_VIEW + views;
    return true;
}

void prepareConstantPool(D3D12Backend* backend) {
    releaseSpills(backend);
    if (backend->poolOverflow) {
        // Every class takes what the last frame asked of it, within what one heap holds.
        uint64_t wanted = 0;
        for (uint32_t c = 0; c < backend->sizeClasses.count; ++c) {
            const SizeClass& sizeClass = backend->sizeClasses.elements[c];
            wanted += sizeClass.used > sizeClass.capacity ? sizeClass.used : sizeClass.capacity;
        }
        const bool fits = wanted + FIRST_CONSTANT_VIEW <= kMaxHeapViews;
        for (uint32_t c = 0; c < backend->sizeClasses.count; ++c) {
            SizeClass& sizeClass = backend->sizeClasses.elements[c];
            if (fits && sizeClass.used > sizeClass.capacity) sizeClass.capacity = sizeClass.used;
        }
        uint64_t bytes = 0;
        uint64_t views = 0;
        layOutClasses(backend, &bytes, &views);
        if (!createConstantPool(backend, bytes > backend->poolBytes ? bytes : backend->poolBytes)) {
            // No room for the larger pool: the classes go back to none, and grow again.
            OutputDebugStringA("VidPortD3D12: the constant pool cannot grow\n");
            for (uint32_t c = 0; c < backend->sizeClasses.count; ++c) backend->sizeClasses.elements[c].capacity = 0;
            layOutClasses(backend, &bytes, &views);
            backend->poolViewCount = 0;
            backend->spillNextView = FIRST_CONSTANT_VIEW;
        }
        backend->poolOverflow = 0;
    }
    uint64_t next = FIRST_CONSTANT_VIEW;
    for (uint32_t c = 0; c < backend->sizeClasses.count; ++c) {
        SizeClass& sizeClass = backend->sizeClasses.elements[c];
        sizeClass.used = 0;
        sizeClass.nextView = next;
        next += sizeClass.capacity;
    }
}

bool allocateConstants(D3D12Backend* backend, const uint8_t* block, uint32_t bytes) {
    if (!backend->recording || bytes == 0 || bytes % CONSTANT_BLOCK_STEP != 0) return false;
    const uint32_t classIndex = bytes / CONSTANT_BLOCK_STEP - 1;
    while (classIndex >= backend->sizeClasses.count)
        if (!appendSizeClass(backend)) return false;
    SizeClass& sizeClass = backend->sizeClasses.elements[classIndex];
    const uint64_t slot = sizeClass.used++;
    uint8_t* target;
    uint64_t viewIndex;
    if (sizeClass.used <= sizeClass.capacity) {
        target = backend->constantMemory + sizeClass.byteOffset + slot * sizeClass.blockBytes;
        viewIndex = sizeClass.nextView++;
    } else {
        backend->poolOverflow = 1;
        sizeClass.used += kOverflowPenalty;
        target = spillBlock(backend, sizeClass.blockBytes, sizeClass.capacity, &viewIndex);
        if (!target) return false;
        ++backend->statistics.spilledBlocks;
    }
    memcpy(target, block, bytes);
    D3D12_GPU_DESCRIPTOR_HANDLE view = backend->viewHeap->GetGPUDescriptorHandleForHeapStart();
    view.ptr += viewIndex * backend->srvIncrement;
    backend->frameList->SetGraphicsRootDescriptorTable(0, view);
    return true;
}
