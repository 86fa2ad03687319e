// Start-up and shut-down of the Direct3D 12 backend: the window, the device and
// everything a frame needs, with a start-up log ("log.txt") that names each step and
// the one that failed; and the swap chain, which follows the window through screen-
// mode switches.
#include "backends/d3d12/d3d12_backend.h"
#include "backends/d3d12/software_device.h"
#include "backends/window/backend_exports.h"
#include "backends/window/display_mode_lists.h"
#include "backends/window/display_modes.h"

#include "backend/frame_rules.h"

#include <d3dcompiler.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// The pool's first storage. It grows at a frame start to what the frames ask for, so
// it starts small: under a software Vulkan a 248 MiB upload buffer took three seconds
// to create and as long to release.
const uint64_t kConstantPoolBytes = 4u << 20;

// The unit quad the program draws GUI and full-screen passes with (format 0), and the
// clip-space quad the frame-buffer copy draws (format 8).
const float kUnitQuadVertices[4 * 11] = {
    0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, //
    0, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0, //
    1, 0, 0, 1, 0, 1, 1, 1, 0, 0, 0, //
    1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, //
};
const float kBlitQuadVertices[4 * 8] = {
    -1, -1, 0, 0, 1, 1, 1, 1, //
    -1, 1,  0, 1, 1, 1, 1, 1, //
    1,  -1, 1, 0, 1, 1, 1, 1, //
    1,  1,  1, 1, 1, 1, 1, 1, //
};
const uint32_t kQuadIndices[6] = {0, 2, 1, 1, 2, 3};

// "log.txt" in the current directory, written during initRenderer only: a line per
// step before it runs, and "initRenderer<step> Failed" as the last line when it fails.
struct StartLog {
    FILE* file;
};

void logLine(StartLog* log, const char* text) {
    if (!log->file) return;
    fputs(text, log->file);
    fflush(log->file);
}

void logStep(StartLog* log, const char* step) {
    if (!log->file) return;
    fprintf(log->file, "%s...\n", step);
    fflush(log->file);
}

bool logFailure(StartLog* log, const char* step) {
    if (log->file) {
        fprintf(log->file, "initRenderer%s Failed", step);
        fclose(log->file);
        log->file = nullptr;
    }
    return false;
}

void closeLog(StartLog* log) {
    if (log->file) fclose(log->file);
    log->file = nullptr;
}

// The first adapter that is not a software one and takes a device of feature level
// 11_0; null for the system's default.
IDXGIAdapter1* chooseAdapter(IDXGIFactory4* factory) {
    IDXGIAdapter1* adapter = nullptr;
    for (UINT index = 0; factory->EnumAdapters1(index, &adapter) != DXGI_ERROR_NOT_FOUND; ++index) {
        DXGI_ADAPTER_DESC1 description = {};
        adapter->GetDesc1(&description);
        if (!(description.Flags & DXGI_ADAPTER_FLAG_SOFTWARE) &&
            SUCCEEDED(D3D12CreateDevice(adapter, D3D_FEATURE_LEVEL_11_0, __uuidof(ID3D12Device), nullptr)))
            return adapter;
        adapter->Release();
        adapter = nullptr;
    }
    return nullptr;
}

// 17 tables: the constant block b0 for every stage, then per texture unit its
// texture t_i and its sampler s_i for the pixel stage.
bool createDrawRootSignature(D3D12Backend* backend) {
    D3D12_DESCRIPTOR_RANGE ranges[1 + 2 * TEXTURE_UNIT_COUNT] = {};
    D3D12_ROOT_PARAMETER parameters[1 + 2 * TEXTURE_UNIT_COUNT] = {};
    for (uint32_t i = 0; i < 1 + 2 * TEXTURE_UNIT_COUNT; ++i) {
        D3D12_DESCRIPTOR_RANGE& range = ranges[i];
        range.NumDescriptors = 1;
        range.RegisterSpace = 0;
        range.OffsetInDescriptorsFromTableStart = D3D12_DESCRIPTOR_RANGE_OFFSET_APPEND;
        if (i == 0) {
            range.RangeType = D3D12_DESCRIPTOR_RANGE_TYPE_CBV;
            range.BaseShaderRegister = 0;
        } else {
            const uint32_t unit = (i - 1) / 2;
            range.RangeType = (i % 2) ? D3D12_DESCRIPTOR_RANGE_TYPE_SRV : D3D12_DESCRIPTOR_RANGE_TYPE_SAMPLER;
            range.BaseShaderRegister = unit;
        }
        D3D12_ROOT_PARAMETER& parameter = parameters[i];
        parameter.ParameterType = D3D12_ROOT_PARAMETER_TYPE_DESCRIPTOR_TABLE;
        parameter.DescriptorTable.NumDescriptorRanges = 1;
        parameter.DescriptorTable.pDescriptorRanges = &ranges[i];
        parameter.ShaderVisibility = i == 0 ? D3D12_SHADER_VISIBILITY_ALL : D3D12_SHADER_VISIBILITY_PIXEL;
    }
    D3D12_ROOT_SIGNATURE_DESC description = {};
    description.NumParameters = 1 + 2 * TEXTURE_UNIT_COUNT;
    description.pParameters = parameters;
    description.Flags = D3D12_ROOT_SIGNATURE_FLAG_ALLOW_INPUT_ASSEMBLER_INPUT_LAYOUT;
    return createRootSignature(backend->device, &description, &backend->rootSignature);
}


bool createDescriptorHeap(ID3D12Device* device, D3D12_DESCRIPTOR_HEAP_TYPE type, uint32_t count, bool shaderVisible,
                          ID3D12DescriptorHeap** heap) {
    D3D12_DESCRIPTOR_HEAP_DESC description = {};
    description.Type = type;
    description.NumDescriptors = count;
    description.Flags = shaderVisible ? D3D12_DESCRIPTOR_HEAP_FLAG_SHADER_VISIBLE : D3D12_DESCRIPTOR_HEAP_FLAG_NONE;
    return SUCCEEDED(
        device->CreateDescriptorHeap(&description, __uuidof(ID3D12DescriptorHeap), reinterpret_cast<void**>(heap)));
}

uint32_t clientWidth(const BackendWindow* window) {
    RECT client = {};
    if (window->window && GetClientRect(window->window, &client)) return static_cast<uint32_t>(client.right);
    return static_cast<uint32_t>(windowRectWidth(window));
}

uint32_t clientHeight(const BackendWindow* window) {
    RECT client = {};
    if (window->window && GetClientRect(window->window, &client)) return static_cast<uint32_t>(client.bottom);
    return static_cast<uint32_t>(windowRectHeight(window));
}

D3D12Backend* backendOfWindow(BackendWindow* window) {
    return reinterpret_cast<D3D12Backend*>(reinterpret_cast<char*>(window) - offsetof(D3D12Backend, display.window));
}

// A screen-mode switch is about to destroy the window: the swap chain presents to it,
// so it goes first (with nothing of it left in use).
RendererState* gStateOfWindow;

void beforeWindowDestroyed(BackendWindow* window) {
    D3D12Backend* backend = backendOfWindow(window);
    if (!backend->device) return;
    releaseSwapChain(backend);
}

// A new window: a swap chain of the current size on it. The program's resize that
// follows the window's new size rebuilds it at the next frame start.
void afterWindowCreated(BackendWindow* window) {
    D3D12Backend* backend = backendOfWindow(window);
    if (!backend->device || !gStateOfWindow || gStateOfWindow->internal != backend) return;
    IDXGIFactory4* factory = nullptr;
    if (FAILED(CreateDXGIFactory1(__uuidof(IDXGIFactory4), reinterpret_cast<void**>(&factory)))) return;
    if (!createSwapChain(gStateOfWindow, backend, factory))
        OutputDebugStringA("VidPortD3D12: no swap chain for the new window\n");
    factory->Release();
}

void releaseSlots(D3D12Backend* backend) {
    for (uint32_t i = 0; i < backend->vertexInputs.count; ++i) releaseObject(&backend->vertexInputs.elements[i].buffer);
    for (uint32_t i = 0; i < backend->indexBuffers.count; ++i) releaseObject(&backend->indexBuffers.elements[i].buffer);
    for (uint32_t i = 0; i < backend->plainBuffers.count; ++i) releaseObject(&backend->plainBuffers.elements[i].buffer);
    releaseDynArray(&backend->vertexInputs);
    releaseDynArray(&backend->indexBuffers);
    releaseDynArray(&backend->plainBuffers);
    for (uint32_t i = 0; i < backend->shaderSlots.count; ++i) {
        ShaderSlot* slot = &backend->shaderSlots.elements[i];
        releasePipelines(backend, slot);
        releaseObject(&slot->vertexCode);
        releaseObject(&slot->pixelCode);
        releaseObject(&slot->pendingVertexCode);
        releaseObject(&slot->pendingPixelCode);
        if (slot->inputElements)
            for (uint32_t e = 0; e < slot->inputElementCount; ++e)
                free(const_cast<char*>(slot->inputElements[e].SemanticName));
        free(slot->inputElements);
        free(slot->constants);
    }
    releaseDynArray(&backend->shaderSlots);
    releaseFrameBuffers(backend);
    for (uint32_t i = 0; i < TEXTURE_TABLE_SIZE; ++i) releaseObject(&backend->textures[i].resource);
    for (uint32_t i = 0; i < backend->mipHeaps.count; ++i) releaseObject(&backend->mipHeaps.elements[i]);
    releaseDynArray(&backend->mipHeaps);
}

void releaseRetired(DynArray<IUnknown*>* list) {
    for (uint32_t i = 0; i < list->count; ++i) list->elements[i]->Release();
    releaseDynArray(list);
}

// Every device object, after the GPU finished with them.
void releaseDevice(RendererState* state, D3D12Backend* backend) {
    if (backend->frameList && backend->recording) backend->frameList->Close();
    backend->recording = 0;
    if (backend->queue && backend->fence) waitForGpu(backend);
    if (backend->constantBuffer && backend->constantMemory) backend->constantBuffer->Unmap(0, nullptr);
    backend->constantMemory = nullptr;
    if (backend->blitShader.slot >= 0 || backend->blitShader.attributes || backend->blitShader.uniforms)
        cleanupShaderInRenderer(state, &backend->blitShader);
    releaseSlots(backend);
    releaseRetired(&backend->releaseAfterSubmit);
    releaseRetired(&backend->releaseAfterWait);
    releaseRetired(&backend->releaseAfterUploads);
    releaseSwapChain(backend);
    for (uint32_t i = 0; i < backend->spills.count; ++i) {
        backend->spills.elements[i].buffer->Unmap(0, nullptr);
        backend->spills.elements[i].buffer->Release();
    }
    releaseDynArray(&backend->spills);
    releaseObject(&backend->constantBuffer);
    releaseDynArray(&backend->sizeClasses);
    releaseObject(&backend->viewHeap);
    releaseObject(&backend->samplerHeap);
    releaseObject(&backend->depthBuffer);
    releaseObject(&backend->dsvHeap);
    releaseObject(&backend->rtvHeap);
    releaseObject(&backend->mipPipeline);
    releaseObject(&backend->mipRootSignature);
    releaseObject(&backend->rootSignature);
    releaseObject(&backend->frameList);
    releaseObject(&backend->frameAllocator);
    releaseObject(&backend->uploadList);
    releaseObject(&backend->uploadAllocator);
    releaseObject(&backend->fence);
    if (backend->fenceEvent) CloseHandle(backend->fenceEvent);
    backend->fenceEvent = nullptr;
    releaseObject(&backend->queue);
    releaseObject(&backend->device);
}

bool createCommandLists(D3D12Backend* backend) {
    ID3D12Device* device = backend->device;
    if (FAILED(device->CreateCommandAllocator(D3D12_COMMAND_LIST_TYPE_DIRECT, __uuidof(ID3D12CommandAllocator),
                                              reinterpret_cast<void**>(&backend->frameAllocator))) ||
        FAILED(device->CreateCommandList(0, D3D12_COMMAND_LIST_TYPE_DIRECT, backend->frameAllocator, nullptr,
                                         __uuidof(ID3D12GraphicsCommandList),
                                         reinterpret_cast<void**>(&backend->frameList))) ||
        FAILED(device->CreateCommandAllocator(D3D12_COMMAND_LIST_TYPE_DIRECT, __uuidof(ID3D12CommandAllocator),
                                              reinterpret_cast<void**>(&backend->uploadAllocator))) ||
        FAILED(device->CreateCommandList(0, D3D12_COMMAND_LIST_TYPE_DIRECT, backend->uploadAllocator, nullptr,
                                         __uuidof(ID3D12GraphicsCommandList),
                                         reinterpret_cast<void**>(&backend->uploadList))))
        return false;
    return true;
}

bool createFence(D3D12Backend* backend) {
    if (FAILED(backend->device->CreateFence(0, D3D12_FENCE_FLAG_NONE, __uuidof(ID3D12Fence),
                                            reinterpret_cast<void**>(&backend->fence))))
        return false;
    backend->fenceValue = 1;
    backend->fenceEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    return backend->fenceEvent != nullptr;
}

bool createQuads(RendererState* state, D3D12Backend* backend) {
    state->quadVertexInput = createVertexInputBufferInRenderer(state, 4, kUnitQuadVertices, 0);
    state->quadIndexBuffer = createIndexBufferInRendererWithData(state, 6, kQuadIndices);
    backend->blitVertexInput = createVertexInputBufferInRenderer(state, 4, kBlitQuadVertices, 8);
    backend->blitIndexBuffer = createIndexBufferInRendererWithData(state, 6, kQuadIndices);
    return state->quadVertexInput != RENDERER_INVALID_ID && state->quadIndexBuffer != RENDERER_INVALID_ID &&
           backend->blitVertexInput != RENDERER_INVALID_ID && backend->blitIndexBuffer != RENDERER_INVALID_ID;
}

bool buildBlitShader(RendererState* state, D3D12Backend* backend) {
    ShaderRecord* blit = &backend->blitShader;
    *blit = ShaderRecord{-1, 0, nullptr, 0, nullptr, CULL_BACK, BLEND_ADDITIVE};
    if (!loadShaderFromSourceInRenderer(state, blit, kBlitShaderSource)) return false;
    setShaderInputInRenderer(state, blit, 8, nullptr, 0);
    return compileShaderInRenderer(state, blit);
}

} // namespace

bool createRootSignature(ID3D12Device* device, const D3D12_ROOT_SIGNATURE_DESC* description,
                         ID3D12RootSignature** out) {
    ID3DBlob* signature = nullptr;
    ID3DBlob* error = nullptr;
    HRESULT result = D3D12SerializeRootSignature(description, D3D_ROOT_SIGNATURE_VERSION_1, &signature, &error);
    if (error) error->Release();
    if (FAILED(result)) return false;
    result = device->CreateRootSignature(0, signature->GetBufferPointer(), signature->GetBufferSize(),
                                         __uuidof(ID3D12RootSignature), reinterpret_cast<void**>(out));
    signature->Release();
    return SUCCEEDED(result);
}

BackendDisplay* backendDisplay(RendererState* state) {
    D3D12Backend* backend = d3d12State(state);
    return backend ? &backend->display : nullptr;
}

bool createBackBufferViews(D3D12Backend* backend) {
    D3D12_CPU_DESCRIPTOR_HANDLE view = backend->rtvHeap->GetCPUDescriptorHandleForHeapStart();
    for (uint32_t n = 0; n < BACK_BUFFER_COUNT; ++n) {
        releaseObject(&backend->backBuffers[n]);
        if (!backend->swapChain ||
            FAILED(backend->swapChain->GetBuffer(n, __uuidof(ID3D12Resource),
                                                 reinterpret_cast<void**>(&backend->backBuffers[n]))))
            return false;
        backend->device->CreateRenderTargetView(backend->backBuffers[n], nullptr, view);
        view.ptr += backend->rtvIncrement;
    }
    return true;
}

bool createSwapChain(RendererState* state, D3D12Backend* backend, IDXGIFactory4* factory) {
    releaseSwapChain(backend);
    HWND window = backend->display.window.window;
    if (!window) return false;
    DXGI_SWAP_CHAIN_DESC1 description = {};
    description.Width = static_cast<UINT>(backend->viewport.Width);
    description.Height = static_cast<UINT>(backend->viewport.Height);
    description.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    description.SampleDesc.Count = 1;
    description.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    description.BufferCount = BACK_BUFFER_COUNT;
    description.Scaling = DXGI_SCALING_STRETCH;
    description.SwapEffect = DXGI_SWAP_EFFECT_FLIP_DISCARD;
    description.AlphaMode = DXGI_ALPHA_MODE_UNSPECIFIED;
    IDXGISwapChain1* swapChain = nullptr;
    if (FAILED(factory->CreateSwapChainForHwnd(backend->queue, window, &description, nullptr, nullptr, &swapChain)))
        return false;
    // DXGI's own Alt+Enter would switch modes behind the backend's back.
    factory->MakeWindowAssociation(window, DXGI_MWA_NO_ALT_ENTER);
    HRESULT result =
        swapChain->QueryInterface(__uuidof(IDXGISwapChain3), reinterpret_cast<void**>(&backend->swapChain));
    swapChain->Release();
    if (FAILED(result)) return false;
    backend->swapChainWidth = description.Width;
    backend->swapChainHeight = description.Height;
    backend->frameIndex = backend->swapChain->GetCurrentBackBufferIndex();
    backend->backBufferState = D3D12_RESOURCE_STATE_PRESENT;
    if (!createBackBufferViews(backend)) return false;
    // The size the program asked for may differ from the size the chain was made with.
    if (backend->swapChainWidth != state->width || backend->swapChainHeight != state->height)
        backend->swapChainResizeWanted = 1;
    return true;
}

void releaseSwapChain(D3D12Backend* backend) {
    if (!backend->swapChain) return;
    // The frame's list may still name the back buffers: it is submitted first.
    if (backend->recording) {
        backend->frameList->Close();
        backend->recording = 0;
    }
    if (backend->fence) waitForGpu(backend);
    for (uint32_t n = 0; n < BACK_BUFFER_COUNT; ++n) releaseObject(&backend->backBuffers[n]);
    releaseObject(&backend->swapChain);
}

bool createDepthBuffer(D3D12Backend* backend, uint32_t width, uint32_t height) {
    if (width == 0 || height == 0) return false;
    retireObject(backend, backend->depthBuffer);
    backend->depthBuffer = nullptr;
    D3D12_CLEAR_VALUE clear = {};
    clear.Format = DXGI_FORMAT_D32_FLOAT;
    clear.DepthStencil.Depth = 1.0f;
    backend->depthBuffer = createTexture(backend, width, height, 1, DXGI_FORMAT_D32_FLOAT,
                                         D3D12_RESOURCE_FLAG_ALLOW_DEPTH_STENCIL, D3D12_RESOURCE_STATE_DEPTH_WRITE,
                                         &clear);
    if (!backend->depthBuffer) return false;
    D3D12_DEPTH_STENCIL_VIEW_DESC view = {};
    view.Format = DXGI_FORMAT_D32_FLOAT;
    view.ViewDimension = D3D12_DSV_DIMENSION_TEXTURE2D;
    backend->device->CreateDepthStencilView(backend->depthBuffer, &view,
                                            backend->dsvHeap->GetCPUDescriptorHandleForHeapStart());
    return true;
}

bool initRenderer(RendererState* state, WindowParameters* parameters, const char* title) {
    if (!state || !parameters) return false;
    StartLog log = {fopen("log.txt", "w")};
    D3D12Backend* backend = static_cast<D3D12Backend*>(calloc(1, sizeof(D3D12Backend)));
    if (!backend) return logFailure(&log, "Allocating the backend record");
    state->internal = backend;
    gStateOfWindow = state;
    logLine(&log, "Start initializing D3D12 Render Backend...\n");

    backend->display.window.instance = GetModuleHandleW(nullptr);
    backend->boundFrameBuffer = -1;
    backend->freeTextureHead = RENDERER_INVALID_ID;
    for (uint32_t i = 0; i < TEXTURE_TABLE_SIZE; ++i) backend->textures[i].link = RENDERER_INVALID_ID;
    backend->uniformCounter = 256;
    backend->blitVertexInput = RENDERER_INVALID_ID;
    backend->blitIndexBuffer = RENDERER_INVALID_ID;
    backend->blitShader.slot = -1;
    backend->pipelineKey = KEY_DEPTH_TEST | KEY_DEPTH_WRITE | KEY_CULL_BACK;
    for (uint32_t unit = 0; unit < TEXTURE_UNIT_COUNT; ++unit) {
        backend->unitTextures[unit] = RENDERER_INVALID_ID;
        backend->unitViews[unit] = RENDERER_INVALID_ID;
        backend->unitSamplers[unit] = RENDERER_INVALID_ID;
    }
    dropDisplayListsOfAnEarlierStart(state);
    state->currentShader = nullptr;
    state->backendWord = 0;
    state->freeVertexInputCount = 0;
    state->freeIndexBufferCount = 0;
    forgetBoundBuffers(state);

    setWindowCreatedHook(nullptr);
    setWindowReplacementHooks(beforeWindowDestroyed, afterWindowCreated);
    BackendWindow& window = backend->display.window;
    uint32_t screenMode = SCREEN_MODE_WINDOWED;
    if (!openFirstWindow(&window, parameters, title, "(DirectX12)", backendWindowProcedure, &screenMode)) {
        logLine(&log, "Failed to create window\n");
        closeLog(&log);
        return false;
    }
    state->screenMode = screenMode;
    const uint32_t width = clientWidth(&window);
    const uint32_t height = clientHeight(&window);
    resizeBackBuffersOnRenderer(state, width, height);
    state->resizePending = 0;

    const char* step = "CreateDXGIFactory1(IID_PPV_ARGS(&factory))";
    logStep(&log, step);
    IDXGIFactory4* factory = nullptr;
    if (FAILED(CreateDXGIFactory1(__uuidof(IDXGIFactory4), reinterpret_cast<void**>(&factory))))
        return logFailure(&log, step);

    IDXGIAdapter1* adapter = chooseAdapter(factory);
    // Without a qualifying adapter the system's default one, the first, draws.
    IDXGIAdapter1* drawing = adapter;
    if (!drawing && factory->EnumAdapters1(0, &drawing) == DXGI_ERROR_NOT_FOUND) drawing = nullptr;
    const bool onTheCpu = deviceRunsOnTheCpu(drawing);
    if (drawing && drawing != adapter) drawing->Release();
    backend->smoothFilter = onTheCpu ? D3D12_FILTER_MIN_MAG_MIP_LINEAR : D3D12_FILTER_ANISOTROPIC;
    step = "D3D12CreateDevice( hardwareAdapter.Get(), D3D_FEATURE_LEVEL_11_0, IID_PPV_ARGS(&internal.device) )";
    logStep(&log, step);
    HRESULT created = D3D12CreateDevice(adapter, D3D_FEATURE_LEVEL_11_0, __uuidof(ID3D12Device),
                                        reinterpret_cast<void**>(&backend->device));
    if (adapter) adapter->Release();
    if (FAILED(created)) {
        factory->Release();
        return logFailure(&log, step);
    }
    ID3D12Device* device = backend->device;

    step = "internal.device->CreateCommandQueue(&queueDesc, IID_PPV_ARGS(&internal.m_commandQueue))";
    logStep(&log, step);
    D3D12_COMMAND_QUEUE_DESC queueDescription = {};
    queueDescription.Type = D3D12_COMMAND_LIST_TYPE_DIRECT;
    if (FAILED(device->CreateCommandQueue(&queueDescription, __uuidof(ID3D12CommandQueue),
                                          reinterpret_cast<void**>(&backend->queue)))) {
        factory->Release();
        return logFailure(&log, step);
    }

    step = "internal.device->CreateFence(0, D3D12_FENCE_FLAG_NONE, IID_PPV_ARGS(&internal.fence))";
    logStep(&log, step);
    if (!createFence(backend)) {
        factory->Release();
        return logFailure(&log, step);
    }

    step = "internal.device->CreateDescriptorHeap(&rtvHeapDesc, IID_PPV_ARGS(&internal.rtvHeap))";
    logStep(&log, step);
    if (!createDescriptorHeap(device, D3D12_DESCRIPTOR_HEAP_TYPE_RTV, BACK_BUFFER_COUNT, false, &backend->rtvHeap)) {
        factory->Release();
        return logFailure(&log, step);
    }
    backend->rtvIncrement = device->GetDescriptorHandleIncrementSize(D3D12_DESCRIPTOR_HEAP_TYPE_RTV);
    backend->srvIncrement = device->GetDescriptorHandleIncrementSize(D3D12_DESCRIPTOR_HEAP_TYPE_CBV_SRV_UAV);
    backend->samplerIncrement = device->GetDescriptorHandleIncrementSize(D3D12_DESCRIPTOR_HEAP_TYPE_SAMPLER);

    step = "internal.device->CreateDescriptorHeap(&dsvHeapDesc, IID_PPV_ARGS(&internal.dsvHeap))";
    logStep(&log, step);
    if (!createDescriptorHeap(device, D3D12_DESCRIPTOR_HEAP_TYPE_DSV, 1, false, &backend->dsvHeap)) {
        factory->Release();
        return logFailure(&log, step);
    }

    step = "factory->CreateSwapChainForHwnd( (internal.m_commandQueue).Get(), internal.window.m_hwnd, &swapChainDesc, "
           "nullptr, nullptr, &swapChain )";
    logStep(&log, step);
    const bool swapChainMade = createSwapChain(state, backend, factory);
    factory->Release();
    if (!swapChainMade) return logFailure(&log, step);

    step = "D3D12SerializeRootSignature(&rootSignatureDesc, D3D_ROOT_SIGNATURE_VERSION_1, &signature, &error)";
    logStep(&log, step);
    if (!createDrawRootSignature(backend)) return logFailure(&log, step);

    step = "Create depth buffer";
    logStep(&log, step);
    if (!createDepthBuffer(backend, width, height)) return logFailure(&log, step);

    step = "internal.device->CreateDescriptorHeap(&samplerHeapDesc, IID_PPV_ARGS(&internal.samplerHeap))";
    logStep(&log, step);
    if (!createDescriptorHeap(device, D3D12_DESCRIPTOR_HEAP_TYPE_SAMPLER, SAMPLER_COUNT, true, &backend->samplerHeap))
        return logFailure(&log, step);
    defineSamplers(backend);
    writeSamplerHeap(backend);

    step = "Create constant buffer pool";
    logStep(&log, step);
    resetSizeClasses(backend);
    if (!createConstantPool(backend, kConstantPoolBytes)) return logFailure(&log, step);

    step = "internal.device->CreateCommandList(0, D3D12_COMMAND_LIST_TYPE_DIRECT, internal.commandAllocator.Get(), "
           "NULL, IID_PPV_ARGS(&internal.commandList))";
    logStep(&log, step);
    if (!createCommandLists(backend)) return logFailure(&log, step);
    // The frame's list stays open: the program may clear and end a frame at once.
    backend->recording = 1;
    backend->listSerial = 1;
    startRecordedFrame(state, backend);

    buildStartupDisplayLists(state, &backend->display);

    step = "Create the unit quad";
    logStep(&log, step);
    backend->uploadsPending = 1;
    if (!createQuads(state, backend)) return logFailure(&log, step);

    step = "Compile the frame-buffer copy shader";
    logStep(&log, step);
    if (!buildBlitShader(state, backend)) return logFailure(&log, step);

    step = "D3D12SerializeRootSignature(&mipsRootSignatureDesc, D3D_ROOT_SIGNATURE_VERSION_1, &signature, &error)";
    logStep(&log, step);
    if (onTheCpu)
        logLine(&log, "Smooth textures are filtered linearly, not anisotropically: the device draws on the CPU\n");
    const char* reason = nullptr;
    if (!createMipGeneration(backend, &reason)) {
        char line[256];
        snprintf(line, sizeof(line), "Mip levels are generated on the CPU: %s\n", reason ? reason : "no compute path");
        logLine(&log, line);
    }

    logLine(&log, "Finished initializing D3D12 Render Backend\n");
    closeLog(&log);
    return true;
}

void cleanupRenderer(RendererState* state) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend) return;
    BackendWindow& window = backend->display.window;
    leaveScreenModeForCleanup(state);
    releaseDevice(state, backend);
    setWindowReplacementHooks(nullptr, nullptr);
    closeWindowForCleanup(state, &window);
    free(backend->display.monitors);
    state->currentShader = nullptr;
    state->internal = nullptr;
    if (gStateOfWindow == state) gStateOfWindow = nullptr;
    free(backend);
}

uint32_t getMaxTextureSizeInRenderer(RendererState* state) {
    return d3d12State(state) ? D3D12_REQ_TEXTURE2D_U_OR_V_DIMENSION : 0;
}

const char* getShaderSourceFileExtensionInRenderer(void) { return ".hlsl"; }
