// Pixel read-back for tests and screenshots: the commands recorded so far are
// executed, the region of the bound target is copied into a read-back buffer, and
// the frame goes on with everything set as before. Rows come out bottom-up, four
// bytes per pixel, as glReadPixels gives them.
#include "backends/d3d12/d3d12_backend.h"
#include "backends/d3d12/texel_data.h"
#include "backends/window/backend_exports.h"

#include <string.h>

namespace {

struct ReadSource {
    ID3D12Resource* resource;
    DXGI_FORMAT format;
    uint32_t width;
    uint32_t height;
    D3D12_RESOURCE_STATES state;
};

uint32_t bytesPerPixel(DXGI_FORMAT format) {
    switch (format) {
    case DXGI_FORMAT_R16G16B16A16_FLOAT:
        return 8;
    case DXGI_FORMAT_R8_UNORM:
        return 1;
    default:
        return 4;
    }
}

uint8_t unitByte(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return static_cast<uint8_t>(value * 255.0f + 0.5f);
}

uint8_t halfByte(const uint8_t* bytes) {
    uint16_t half;
    memcpy(&half, bytes, 2);
    return unitByte(halfToFloat(half));
}

void toRgba(DXGI_FORMAT format, const uint8_t* in, uint8_t* out) {
    switch (format) {
    case DXGI_FORMAT_B8G8R8A8_UNORM:
        out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = in[3];
        break;
    case DXGI_FORMAT_R16G16B16A16_FLOAT:
        for (int c = 0; c < 4; ++c) out[c] = halfByte(in + 2 * c);
        break;
    case DXGI_FORMAT_R16G16_FLOAT:
        out[0] = halfByte(in), out[1] = halfByte(in + 2), out[2] = 0, out[3] = 255;
        break;
    case DXGI_FORMAT_R8_UNORM:
        out[0] = in[0], out[1] = 0, out[2] = 0, out[3] = 255;
        break;
    default:
        memcpy(out, in, 4);
        break;
    }
}

bool boundSource(D3D12Backend* backend, ReadSource* source) {
    if (backend->boundFrameBuffer >= 0 &&
        static_cast<uint32_t>(backend->boundFrameBuffer) < backend->frameBuffers.count) {
        const FrameBufferSlot& slot = backend->frameBuffers.elements[backend->boundFrameBuffer];
        if (slot.colorCount == 0) return false;
        const TextureRecord& texture = backend->textures[slot.internalColor[0]];
        *source = ReadSource{texture.resource, texture.format, slot.width, slot.height, texture.resourceState};
        return source->resource != nullptr;
    }
    if (!backend->swapChain) return false;
    *source = ReadSource{backend->backBuffers[backend->frameIndex], DXGI_FORMAT_R8G8B8A8_UNORM, backend->swapChainWidth,
                         backend->swapChainHeight, backend->backBufferState};
    return source->resource != nullptr;
}

ID3D12Resource* createReadbackBuffer(D3D12Backend* backend, uint64_t bytes) {
    D3D12_HEAP_PROPERTIES heap = {};
    heap.Type = D3D12_HEAP_TYPE_READBACK;
    D3D12_RESOURCE_DESC description = {};
    description.Dimension = D3D12_RESOURCE_DIMENSION_BUFFER;
    description.Width = bytes;
    description.Height = 1;
    description.DepthOrArraySize = 1;
    description.MipLevels = 1;
    description.SampleDesc.Count = 1;
    description.Layout = D3D12_TEXTURE_LAYOUT_ROW_MAJOR;
    ID3D12Resource* buffer = nullptr;
    if (FAILED(backend->device->CreateCommittedResource(&heap, D3D12_HEAP_FLAG_NONE, &description,
                                                        D3D12_RESOURCE_STATE_COPY_DEST, nullptr,
                                                        __uuidof(ID3D12Resource), reinterpret_cast<void**>(&buffer))))
        return nullptr;
    return buffer;
}

} // namespace

bool readPixelsInRenderer(RendererState* state, int32_t x, int32_t y, int32_t width, int32_t height, void* rgbaOut) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend || !backend->recording || !rgbaOut || width <= 0 || height <= 0 || x < 0 || y < 0) return false;
    ReadSource source = {};
    if (!boundSource(backend, &source)) return false;
    if (static_cast<uint64_t>(x) + width > source.width || static_cast<uint64_t>(y) + height > source.height)
        return false;

    const uint32_t pixelBytes = bytesPerPixel(source.format);
    const uint64_t rowPitch = (static_cast<uint64_t>(width) * pixelBytes + D3D12_TEXTURE_DATA_PITCH_ALIGNMENT - 1) /
                              D3D12_TEXTURE_DATA_PITCH_ALIGNMENT * D3D12_TEXTURE_DATA_PITCH_ALIGNMENT;
    ID3D12Resource* readback = createReadbackBuffer(backend, rowPitch * static_cast<uint64_t>(height));
    if (!readback) return false;

    // Bottom-up y counts from the target's last row.
    const uint32_t top = source.height - static_cast<uint32_t>(y) - static_cast<uint32_t>(height);
    D3D12_TEXTURE_COPY_LOCATION to = {};
    to.pResource = readback;
    to.Type = D3D12_TEXTURE_COPY_TYPE_PLACED_FOOTPRINT;
    to.PlacedFootprint.Footprint.Format = source.format;
    to.PlacedFootprint.Footprint.Width = static_cast<UINT>(width);
    to.PlacedFootprint.Footprint.Height = static_cast<UINT>(height);
    to.PlacedFootprint.Footprint.Depth = 1;
    to.PlacedFootprint.Footprint.RowPitch = static_cast<UINT>(rowPitch);
    D3D12_TEXTURE_COPY_LOCATION from = {};
    from.pResource = source.resource;
    from.Type = D3D12_TEXTURE_COPY_TYPE_SUBRESOURCE_INDEX;
    from.SubresourceIndex = 0;
    const D3D12_BOX box = {
        static_cast<UINT>(x), top, 0, static_cast<UINT>(x + width), top + static_cast<UINT>(height), 1};
    transitionResource(backend->frameList, source.resource, source.state, D3D12_RESOURCE_STATE_COPY_SOURCE);
    backend->frameList->CopyTextureRegion(&to, 0, 0, 0, &from, &box);
    transitionResource(backend->frameList, source.resource, D3D12_RESOURCE_STATE_COPY_SOURCE, source.state);
    const bool executed = executeRecordedCommands(state, backend);

    uint8_t* mapped = nullptr;
    D3D12_RANGE all = {0, static_cast<SIZE_T>(rowPitch * height)};
    bool read = false;
    if (executed && SUCCEEDED(readback->Map(0, &all, reinterpret_cast<void**>(&mapped)))) {
        uint8_t* out = static_cast<uint8_t*>(rgbaOut);
        for (int32_t row = 0; row < height; ++row) {
            // Output row 0 is the lowest row of the region: the copy's last.
            const uint8_t* in = mapped + static_cast<uint64_t>(height - 1 - row) * rowPitch;
            for (int32_t column = 0; column < width; ++column)
                toRgba(source.format, in + static_cast<uint64_t>(column) * pixelBytes,
                       out + (static_cast<uint64_t>(row) * width + column) * 4);
        }
        D3D12_RANGE nothingWritten = {0, 0};
        readback->Unmap(0, &nothingWritten);
        read = true;
    }
    readback->Release();
    return read;
}
