// Mip levels made on the GPU: a compute shader that halves the picture up to four
// times per dispatch (8 x 8 threads, group-shared memory between the steps). The
// jobs are recorded on the upload list, a direct list: it runs the copies first, and
// unlike a compute list it may leave the texture in pixel-shader state. Where the
// shader or its pipeline cannot be built (this Wine's compiler has no compute
// semantics) or a format takes no typed stores, the levels are made on the CPU at
// upload instead (textures.cpp).
#include "backends/d3d12/d3d12_backend.h"

#include <d3dcompiler.h>

#include <string.h>

namespace {

const char kMipShaderSource[] = R"(
cbuffer MipConstants : register(b0) {
    uint SrcMipLevel;
    uint NumMipLevels;
    uint SrcDimension; // bit 0: odd width, bit 1: odd height of the source level
    uint IsSRGB;
    float2 TexelSize;  // of the first destination level
};
Texture2D<float4> SrcMip : register(t0);
RWTexture2D<float4> OutMip1 : register(u0);
RWTexture2D<float4> OutMip2 : register(u1);
RWTexture2D<float4> OutMip3 : register(u2);
RWTexture2D<float4> OutMip4 : register(u3);
SamplerState LinearClamp : register(s0);

groupshared float gsR[64];
groupshared float gsG[64];
groupshared float gsB[64];
groupshared float gsA[64];

void storeColor(uint index, float4 color) {
    gsR[index] = color.r;
    gsG[index] = color.g;
    gsB[index] = color.b;
    gsA[index] = color.a;
}

float4 loadColor(uint index) { return float4(gsR[index], gsG[index], gsB[index], gsA[index]); }

float3 toSrgb(float3 x) {
    return x < 0.0031308 ? 12.92 * x : 1.055 * pow(abs(x), 1.0 / 2.4) - 0.055;
}

float4 packColor(float4 linearColor) {
    if (IsSRGB) return float4(toSrgb(linearColor.rgb), linearColor.a);
    return linearColor;
}

[numthreads(8, 8, 1)]
void main(uint GI : SV_GroupIndex, uint3 DTid : SV_DispatchThreadID) {
    float4 Src1;
    if (SrcDimension == 0) {
        float2 UV = TexelSize * (DTid.xy + 0.5);
        Src1 = SrcMip.SampleLevel(LinearClamp, UV, SrcMipLevel);
    } else if (SrcDimension == 1) {
        // Odd width: two samples across, each blending one and a half texels.
        float2 UV1 = TexelSize * (DTid.xy + float2(0.25, 0.5));
        float2 Off = TexelSize * float2(0.5, 0.0);
        Src1 = 0.5 * (SrcMip.SampleLevel(LinearClamp, UV1, SrcMipLevel) +
                      SrcMip.SampleLevel(LinearClamp, UV1 + Off, SrcMipLevel));
    } else if (SrcDimension == 2) {
        float2 UV1 = TexelSize * (DTid.xy + float2(0.5, 0.25));
        float2 Off = TexelSize * float2(0.0, 0.5);
        Src1 = 0.5 * (SrcMip.SampleLevel(LinearClamp, UV1, SrcMipLevel) +
                      SrcMip.SampleLevel(LinearClamp, UV1 + Off, SrcMipLevel));
    } else {
        float2 UV1 = TexelSize * (DTid.xy + float2(0.25, 0.25));
        float2 O = TexelSize * 0.5;
        Src1 = SrcMip.SampleLevel(LinearClamp, UV1, SrcMipLevel);
        Src1 += SrcMip.SampleLevel(LinearClamp, UV1 + float2(O.x, 0.0), SrcMipLevel);
        Src1 += SrcMip.SampleLevel(LinearClamp, UV1 + float2(0.0, O.y), SrcMipLevel);
        Src1 += SrcMip.SampleLevel(LinearClamp, UV1 + float2(O.x, O.y), SrcMipLevel);
        Src1 *= 0.25;
    }
    OutMip1[DTid.xy] = packColor(Src1);
    if (NumMipLevels == 1) return;
    storeColor(GI, Src1);
    GroupMemoryBarrierWithGroupSync();

    // Threads with even x and y average their 2 x 2 square.
    if ((GI & 0x9) == 0) {
        Src1 = 0.25 * (Src1 + loadColor(GI + 0x01) + loadColor(GI + 0x08) + loadColor(GI + 0x09));
        OutMip2[DTid.xy / 2] = packColor(Src1);
        storeColor(GI, Src1);
    }
    if (NumMipLevels == 2) return;
    GroupMemoryBarrierWithGroupSync();

    // Threads at multiples of four.
    if ((GI & 0x1B) == 0) {
        Src1 = 0.25 * (Src1 + loadColor(GI + 0x02) + loadColor(GI + 0x10) + loadColor(GI + 0x12));
        OutMip3[DTid.xy / 4] = packColor(Src1);
        storeColor(GI, Src1);
    }
    if (NumMipLevels == 3) return;
    GroupMemoryBarrierWithGroupSync();

    // The group's first thread.
    if (GI == 0) {
        Src1 = 0.25 * (Src1 + loadColor(GI + 0x04) + loadColor(GI + 0x20) + loadColor(GI + 0x24));
        OutMip4[DTid.xy / 8] = packColor(Src1);
    }
}
)";

struct MipConstants {
    uint32_t srcMipLevel;
    uint32_t numMipLevels;
    uint32_t srcDimension;
    uint32_t isSrgb;
    float texelSize[2];
};

bool isSrgbFormat(DXGI_FORMAT format) {
    switch (format) {
    case DXGI_FORMAT_R8G8B8A8_UNORM_SRGB:
    case DXGI_FORMAT_B8G8R8A8_UNORM_SRGB:
    case DXGI_FORMAT_B8G8R8X8_UNORM_SRGB:
    case DXGI_FORMAT_BC1_UNORM_SRGB:
    case DXGI_FORMAT_BC2_UNORM_SRGB:
    case DXGI_FORMAT_BC3_UNORM_SRGB:
    case DXGI_FORMAT_BC7_UNORM_SRGB:
        return true;
    default:
        return false;
    }
}

bool createMipRootSignature(D3D12Backend* backend) {
    D3D12_DESCRIPTOR_RANGE source = {D3D12_DESCRIPTOR_RANGE_TYPE_SRV, 1, 0, 0, D3D12_DESCRIPTOR_RANGE_OFFSET_APPEND};
    D3D12_DESCRIPTOR_RANGE targets = {D3D12_DESCRIPTOR_RANGE_TYPE_UAV, 4, 0, 0, D3D12_DESCRIPTOR_RANGE_OFFSET_APPEND};
    D3D12_ROOT_PARAMETER parameters[3] = {};
    parameters[0].ParameterType = D3D12_ROOT_PARAMETER_TYPE_32BIT_CONSTANTS;
    parameters[0].Constants.Num32BitValues = sizeof(MipConstants) / 4;
    parameters[0].ShaderVisibility = D3D12_SHADER_VISIBILITY_ALL;
    parameters[1].ParameterType = D3D12_ROOT_PARAMETER_TYPE_DESCRIPTOR_TABLE;
    parameters[1].DescriptorTable.NumDescriptorRanges = 1;
    parameters[1].DescriptorTable.pDescriptorRanges = &source;
    parameters[1].ShaderVisibility = D3D12_SHADER_VISIBILITY_ALL;
    parameters[2].ParameterType = D3D12_ROOT_PARAMETER_TYPE_DESCRIPTOR_TABLE;
    parameters[2].DescriptorTable.NumDescriptorRanges = 1;
    parameters[2].DescriptorTable.pDescriptorRanges = &targets;
    parameters[2].ShaderVisibility = D3D12_SHADER_VISIBILITY_ALL;
    D3D12_STATIC_SAMPLER_DESC sampler = {};
    sampler.Filter = D3D12_FILTER_MIN_MAG_MIP_LINEAR;
    sampler.AddressU = sampler.AddressV = sampler.AddressW = D3D12_TEXTURE_ADDRESS_MODE_CLAMP;
    sampler.MaxAnisotropy = 1;
    sampler.ComparisonFunc = D3D12_COMPARISON_FUNC_NEVER;
    sampler.BorderColor = D3D12_STATIC_BORDER_COLOR_OPAQUE_WHITE;
    sampler.MaxLOD = D3D12_FLOAT32_MAX;
    sampler.ShaderVisibility = D3D12_SHADER_VISIBILITY_ALL;
    D3D12_ROOT_SIGNATURE_DESC description = {};
    description.NumParameters = 3;
    description.pParameters = parameters;
    description.NumStaticSamplers = 1;
    description.pStaticSamplers = &sampler;
    return createRootSignature(backend->device, &description, &backend->mipRootSignature);
}

// The descriptor heap of the job: five views per pass (the source level, then four
// destination levels).
ID3D12DescriptorHeap* jobHeap(D3D12Backend* backend, uint32_t passes) {
    while (backend->mipJobCount >= backend->mipHeaps.count)
        if (!pushDynArray(&backend->mipHeaps, static_cast<ID3D12DescriptorHeap*>(nullptr))) return nullptr;
    ID3D12DescriptorHeap** slot = &backend->mipHeaps.elements[backend->mipJobCount];
    retireUploadBuffer(backend, *slot); // read by the jobs of an earlier flush only
    *slot = nullptr;
    D3D12_DESCRIPTOR_HEAP_DESC description = {};
    description.Type = D3D12_DESCRIPTOR_HEAP_TYPE_CBV_SRV_UAV;
    description.NumDescriptors = 5 * passes;
    description.Flags = D3D12_DESCRIPTOR_HEAP_FLAG_SHADER_VISIBLE;
    if (FAILED(backend->device->CreateDescriptorHeap(&description, __uuidof(ID3D12DescriptorHeap),
                                                     reinterpret_cast<void**>(slot))))
        return nullptr;
    return *slot;
}

void transitionLevel(ID3D12GraphicsCommandList* list, ID3D12Resource* texture, uint32_t level,
                     D3D12_RESOURCE_STATES from, D3D12_RESOURCE_STATES to) {
    D3D12_RESOURCE_BARRIER barrier = {};
    barrier.Type = D3D12_RESOURCE_BARRIER_TYPE_TRANSITION;
    barrier.Transition.pResource = texture;
    barrier.Transition.Subresource = level;
    barrier.Transition.StateBefore = from;
    barrier.Transition.StateAfter = to;
    list->ResourceBarrier(1, &barrier);
}

// The levels one dispatch makes from srcMip: up to four, fewer where the next level's
// size has fewer trailing zero bits (an odd size stops the halving in the group).
uint32_t levelsPerPass(uint32_t width, uint32_t height, uint32_t srcMip, uint32_t levels) {
    const uint32_t dstWidth = (width >> (srcMip + 1)) ? (width >> (srcMip + 1)) : 1;
    const uint32_t dstHeight = (height >> (srcMip + 1)) ? (height >> (srcMip + 1)) : 1;
    const uint32_t bits = (dstHeight == 1 ? dstWidth : dstHeight) | (dstWidth == 1 ? dstHeight : dstWidth);
    uint32_t n = 1;
    while (n < 4 && !(bits & (1u << (n - 1)))) ++n;
    if (srcMip + n >= levels) n = levels - srcMip - 1;
    return n;
}

} // namespace

bool createMipGeneration(D3D12Backend* backend, const char** reason) {
    if (!createMipRootSignature(backend)) {
        *reason = "the compute root signature was refused";
        return false;
    }
    ID3DBlob* code = nullptr;
    ID3DBlob* errors = nullptr;
    HRESULT result = D3DCompile(kMipShaderSource, sizeof(kMipShaderSource) - 1, "compute shader", nullptr, nullptr,
                                "main", "cs_5_0", 0, 0, &code, &errors);
    if (errors) errors->Release();
    if (FAILED(result) || !code) {
        *reason = "the compute shader did not compile";
        releaseObject(&backend->mipRootSignature);
        return false;
    }
    D3D12_COMPUTE_PIPELINE_STATE_DESC description = {};
    description.pRootSignature = backend->mipRootSignature;
    description.CS.pShaderBytecode = code->GetBufferPointer();
    description.CS.BytecodeLength = code->GetBufferSize();
    result = backend->device->CreateComputePipelineState(&description, __uuidof(ID3D12PipelineState),
                                                         reinterpret_cast<void**>(&backend->mipPipeline));
    code->Release();
    if (FAILED(result)) {
        *reason = "the compute pipeline was refused";
        releaseObject(&backend->mipRootSignature);
        backend->mipPipeline = nullptr;
        return false;
    }
    return true;
}

bool formatTakesGpuMips(D3D12Backend* backend, DXGI_FORMAT format) {
    D3D12_FEATURE_DATA_FORMAT_SUPPORT support = {};
    support.Format = format;
    if (FAILED(backend->device->CheckFeatureSupport(D3D12_FEATURE_FORMAT_SUPPORT, &support, sizeof(support))))
        return false;
    return (support.Support1 & D3D12_FORMAT_SUPPORT1_TYPED_UNORDERED_ACCESS_VIEW) &&
           (support.Support2 & D3D12_FORMAT_SUPPORT2_UAV_TYPED_STORE);
}

void recordGpuMips(D3D12Backend* backend, ID3D12Resource* texture, DXGI_FORMAT format, uint32_t width, uint32_t height,
                   uint32_t mipLevels, uint32_t firstSource) {
    ID3D12GraphicsCommandList* list = backend->uploadList;
    uint32_t passes = 0;
    for (uint32_t src = firstSource; src + 1 < mipLevels; src += levelsPerPass(width, height, src, mipLevels)) ++passes;
    ID3D12DescriptorHeap* heap = passes ? jobHeap(backend, passes) : nullptr;
    if (!heap) {
        transitionResource(list, texture, D3D12_RESOURCE_STATE_UNORDERED_ACCESS,
                           D3D12_RESOURCE_STATE_PIXEL_SHADER_RESOURCE);
        return;
    }
    list->SetComputeRootSignature(backend->mipRootSignature);
    list->SetPipelineState(backend->mipPipeline);
    list->SetDescriptorHeaps(1, &heap);
    const D3D12_CPU_DESCRIPTOR_HANDLE cpuStart = heap->GetCPUDescriptorHandleForHeapStart();
    const D3D12_GPU_DESCRIPTOR_HANDLE gpuStart = heap->GetGPUDescriptorHandleForHeapStart();
    const bool srgb = isSrgbFormat(format);

    uint32_t srcMip = firstSource;
    uint32_t pass = 0;
    while (srcMip + 1 < mipLevels) {
        const uint32_t n = levelsPerPass(width, height, srcMip, mipLevels);
        const uint32_t srcWidth = (width >> srcMip) ? (width >> srcMip) : 1;
        const uint32_t srcHeight = (height >> srcMip) ? (height >> srcMip) : 1;
        const uint32_t dstWidth = (srcWidth >> 1) ? (srcWidth >> 1) : 1;
        const uint32_t dstHeight = (srcHeight >> 1) ? (srcHeight >> 1) : 1;
        // The source level is read through its own view, in a readable state.
        transitionLevel(list, texture, srcMip, D3D12_RESOURCE_STATE_UNORDERED_ACCESS,
                        D3D12_RESOURCE_STATE_NON_PIXEL_SHADER_RESOURCE);
        const uint32_t base = 5 * pass;
        D3D12_SHADER_RESOURCE_VIEW_DESC source = {};
        source.Format = format;
        source.ViewDimension = D3D12_SRV_DIMENSION_TEXTURE2D;
        source.Shader4ComponentMapping = D3D12_DEFAULT_SHADER_4_COMPONENT_MAPPING;
        source.Texture2D.MostDetailedMip = srcMip;
        source.Texture2D.MipLevels = 1;
        D3D12_CPU_DESCRIPTOR_HANDLE slot = cpuStart;
        slot.ptr += static_cast<SIZE_T>(base) * backend->srvIncrement;
        backend->device->CreateShaderResourceView(texture, &source, slot);
        for (uint32_t k = 0; k < 4; ++k) {
            D3D12_UNORDERED_ACCESS_VIEW_DESC target = {};
            target.Format = format;
            target.ViewDimension = D3D12_UAV_DIMENSION_TEXTURE2D;
            const uint32_t level = srcMip + 1 + k;
            target.Texture2D.MipSlice = level < mipLevels ? level : mipLevels - 1;
            slot.ptr += backend->srvIncrement;
            backend->device->CreateUnorderedAccessView(texture, nullptr, &target, slot);
        }
        const MipConstants constants = {0,
                                        n,
                                        (srcWidth & 1) | ((srcHeight & 1) << 1),
                                        srgb ? 1u : 0u,
                                        {1.0f / static_cast<float>(dstWidth), 1.0f / static_cast<float>(dstHeight)}};
        list->SetComputeRoot32BitConstants(0, sizeof(constants) / 4, &constants, 0);
        D3D12_GPU_DESCRIPTOR_HANDLE table = gpuStart;
        table.ptr += static_cast<uint64_t>(base) * backend->srvIncrement;
        list->SetComputeRootDescriptorTable(1, table);
        table.ptr += backend->srvIncrement;
        list->SetComputeRootDescriptorTable(2, table);
        list->Dispatch((dstWidth + 7) / 8, (dstHeight + 7) / 8, 1);
        D3D12_RESOURCE_BARRIER written = {};
        written.Type = D3D12_RESOURCE_BARRIER_TYPE_UAV;
        written.UAV.pResource = texture;
        list->ResourceBarrier(1, &written);
        transitionLevel(list, texture, srcMip, D3D12_RESOURCE_STATE_NON_PIXEL_SHADER_RESOURCE,
                        D3D12_RESOURCE_STATE_UNORDERED_ACCESS);
        srcMip += n;
        ++pass;
    }
    transitionResource(list, texture, D3D12_RESOURCE_STATE_UNORDERED_ACCESS,
                       D3D12_RESOURCE_STATE_PIXEL_SHADER_RESOURCE);
    ++backend->mipJobCount;
    ++backend->statistics.gpuMipJobs;
}
