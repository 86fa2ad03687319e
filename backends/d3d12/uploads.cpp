// The upload list: buffer and texture uploads (and mip jobs) recorded at any time,
// executed and waited for once, before the frame's own list that uses them. The
// upload buffers they read from are released after that wait.
#include "backends/d3d12/d3d12_backend.h"

ID3D12Resource* createUploadBuffer(D3D12Backend* backend, uint64_t bytes) {
    D3D12_HEAP_PROPERTIES heap = {};
    heap.Type = D3D12_HEAP_TYPE_UPLOAD;
    heap.CreationNodeMask = 1;
    heap.VisibleNodeMask = 1;
    D3D12_RESOURCE_DESC description = {};
    description.Dimension = D3D12_RESOURCE_DIMENSION_BUFFER;
    description.Width = bytes ? bytes : 1;
    description.Height = 1;
    description.DepthOrArraySize = 1;
    description.MipLevels = 1;
    description.Format = DXGI_FORMAT_UNKNOWN;
    description.SampleDesc.Count = 1;
    description.Layout = D3D12_TEXTURE_LAYOUT_ROW_MAJOR;
    ID3D12Resource* buffer = nullptr;
    if (FAILED(backend->device->CreateCommittedResource(&heap, D3D12_HEAP_FLAG_NONE, &description,
                                                        D3D12_RESOURCE_STATE_GENERIC_READ, nullptr,
                                                        __uuidof(ID3D12Resource), reinterpret_cast<void**>(&buffer))))
        return nullptr;
    return buffer;
}

void retireUploadBuffer(D3D12Backend* backend, IUnknown* buffer) {
    if (!buffer) return;
    if (!pushDynArray(&backend->releaseAfterUploads, buffer)) {
        // No memory to wait with: run the uploads now instead.
        backend->uploadsPending = 1;
        flushUploads(backend);
        buffer->Release();
    }
}

void flushUploads(D3D12Backend* backend) {
    if (!backend->uploadsPending || !backend->uploadList) return;
    backend->uploadsPending = 0;
    backend->uploadList->Close();
    ID3D12CommandList* lists[1] = {backend->uploadList};
    backend->queue->ExecuteCommandLists(1, lists);
    waitForGpu(backend);
    DynArray<IUnknown*>* staging = &backend->releaseAfterUploads;
    for (uint32_t i = 0; i < staging->count; ++i) staging->elements[i]->Release();
    staging->count = 0;
    backend->uploadAllocator->Reset();
    backend->uploadList->Reset(backend->uploadAllocator, nullptr);
    backend->mipJobCount = 0;
}
