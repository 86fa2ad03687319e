// The samplers: eight fixed descriptions (smooth or point, by wrap mode) in one
// shader-visible heap of 32, so that every texture unit's table points at its own
// sampler's slot of that one heap. A texture names its sampler by index; a filter or
// wrap change picks the description that equals the changed one. Smooth is 16x
// anisotropic, or plain linear on a device that draws on the CPU.
#include "backends/d3d12/d3d12_backend.h"

#include <float.h>
#include <string.h>

namespace {

const D3D12_TEXTURE_ADDRESS_MODE kAddressModes[4] = {
    D3D12_TEXTURE_ADDRESS_MODE_MIRROR, // WRAP_MIRRORED_REPEAT
    D3D12_TEXTURE_ADDRESS_MODE_WRAP,   // WRAP_REPEAT
    D3D12_TEXTURE_ADDRESS_MODE_CLAMP,  // WRAP_CLAMP_TO_EDGE
    D3D12_TEXTURE_ADDRESS_MODE_BORDER, // WRAP_CLAMP_TO_BORDER
};

void setFilter(const D3D12Backend* backend, D3D12_SAMPLER_DESC* sampler, bool smooth) {
    sampler->Filter = smooth ? backend->smoothFilter : D3D12_FILTER_MIN_MAG_MIP_POINT;
    sampler->MaxAnisotropy = smooth && backend->smoothFilter == D3D12_FILTER_ANISOTROPIC ? 16 : 0;
    sampler->ComparisonFunc = smooth ? D3D12_COMPARISON_FUNC_LESS_EQUAL : D3D12_COMPARISON_FUNC_NEVER;
}

D3D12_SAMPLER_DESC describeSampler(const D3D12Backend* backend, bool smooth, D3D12_TEXTURE_ADDRESS_MODE address) {
    D3D12_SAMPLER_DESC sampler = {};
    setFilter(backend, &sampler, smooth);
    sampler.AddressU = sampler.AddressV = sampler.AddressW = address;
    sampler.MipLODBias = 0;
    sampler.MinLOD = 0;
    sampler.MaxLOD = FLT_MAX;
    return sampler;
}

uint32_t findSampler(const D3D12Backend* backend, const D3D12_SAMPLER_DESC& wanted) {
    for (uint32_t i = 0; i < SAMPLER_COUNT; ++i)
        if (memcmp(&backend->samplers[i], &wanted, sizeof(wanted)) == 0) return i;
    return 0;
}

} // namespace

void defineSamplers(D3D12Backend* backend) {
    memset(backend->samplers, 0, sizeof(backend->samplers));
    for (uint32_t i = 0; i < DEFINED_SAMPLER_COUNT; ++i)
        backend->samplers[i] = describeSampler(backend, i < 4, kAddressModes[i % 4]);
}

void writeSamplerHeap(D3D12Backend* backend) {
    D3D12_CPU_DESCRIPTOR_HANDLE slot = backend->samplerHeap->GetCPUDescriptorHandleForHeapStart();
    for (uint32_t i = 0; i < SAMPLER_COUNT; ++i) {
        // The undefined slots hold sampler 0, so that no table ever points at nothing.
        backend->device->CreateSampler(i < DEFINED_SAMPLER_COUNT ? &backend->samplers[i] : &backend->samplers[0], slot);
        slot.ptr += backend->samplerIncrement;
    }
}

uint32_t samplerWithFilter(const D3D12Backend* backend, uint32_t current, bool smooth) {
    D3D12_SAMPLER_DESC wanted = backend->samplers[current < SAMPLER_COUNT ? current : 0];
    setFilter(backend, &wanted, smooth);
    return findSampler(backend, wanted);
}

uint32_t samplerWithWrap(const D3D12Backend* backend, uint32_t current, uint32_t wrapMode) {
    if (current >= SAMPLER_COUNT) current = 0;
    if (wrapMode >= 4) return current; // not a wrap mode: unchanged
    D3D12_SAMPLER_DESC wanted = backend->samplers[current];
    wanted.AddressU = wanted.AddressV = wanted.AddressW = kAddressModes[wrapMode];
    return findSampler(backend, wanted);
}
