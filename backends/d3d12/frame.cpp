// The frame cycle: one direct command list records the frame between
// beginFrameInRenderer and endFrameInRenderer; the uploads recorded meanwhile run
// first, then the frame, then Present; swapBuffersOnRenderer waits for the GPU.
// Also the back-buffer resize, viewport, scissor, clears and render-state switches.
#include "backends/d3d12/d3d12_backend.h"
#include "backends/window/backend_exports.h"

#include "backend/frame_rules.h"

#include <string.h>

namespace {

const float kClearWhite[4] = {1, 1, 1, 0};

D3D12Backend* recordingBackend(RendererState* state) {
    D3D12Backend* backend = d3d12State(state);
    return backend && backend->recording ? backend : nullptr;
}

void releaseList(DynArray<IUnknown*>* list) {
    for (uint32_t i = 0; i < list->count; ++i) list->elements[i]->Release();
    list->count = 0;
}

void moveList(DynArray<IUnknown*>* from, DynArray<IUnknown*>* to) {
    for (uint32_t i = 0; i < from->count; ++i)
        if (!pushDynArray(to, from->elements[i])) from->elements[i]->Release(); // no room: the GPU is idle by now
    from->count = 0;
}

// Executes the frame's list (after the uploads it may use) and forgets what it bound.
void submitFrameList(RendererState* state, D3D12Backend* backend) {
    backend->frameList->Close();
    backend->recording = 0;
    flushUploads(backend);
    ID3D12CommandList* lists[1] = {backend->frameList};
    backend->queue->ExecuteCommandLists(1, lists);
    backend->frameInFlight = 1;
    moveList(&backend->releaseAfterSubmit, &backend->releaseAfterWait);
    forgetBoundBuffers(state);
}

// Opens the frame's list again on a reset allocator (the GPU must be done with it).
bool reopenFrameList(D3D12Backend* backend) {
    if (backend->frameInFlight) waitForGpu(backend);
    if (FAILED(backend->frameAllocator->Reset()) || FAILED(backend->frameList->Reset(backend->frameAllocator, nullptr)))
        return false;
    backend->recording = 1;
    ++backend->listSerial;
    backend->listPipeline = nullptr;
    return true;
}

ID3D12Resource* currentBackBuffer(D3D12Backend* backend) {
    return backend->swapChain ? backend->backBuffers[backend->frameIndex] : nullptr;
}

// The swap chain takes the size the program asked for; the GPU is idle here.
void resizeSwapChain(RendererState* state, D3D12Backend* backend) {
    backend->swapChainResizeWanted = 0;
    if (!backend->swapChain || state->width == 0 || state->height == 0) return;
    if (backend->swapChainWidth != state->width || backend->swapChainHeight != state->height) {
        for (uint32_t n = 0; n < BACK_BUFFER_COUNT; ++n) releaseObject(&backend->backBuffers[n]);
        if (FAILED(backend->swapChain->ResizeBuffers(BACK_BUFFER_COUNT, state->width, state->height,
                                                     DXGI_FORMAT_R8G8B8A8_UNORM, 0)))
            OutputDebugStringA("VidPortD3D12: the swap chain refused the new size\n");
        DXGI_SWAP_CHAIN_DESC1 description = {};
        backend->swapChain->GetDesc1(&description);
        backend->swapChainWidth = description.Width;
        backend->swapChainHeight = description.Height;
        backend->frameIndex = backend->swapChain->GetCurrentBackBufferIndex();
        backend->backBufferState = D3D12_RESOURCE_STATE_PRESENT;
        createBackBufferViews(backend);
    }
    createDepthBuffer(backend, state->width, state->height);
}

// Records the back buffer's move to a state (present or render target).
void setBackBufferState(D3D12Backend* backend, D3D12_RESOURCE_STATES to) {
    ID3D12Resource* buffer = currentBackBuffer(backend);
    if (!buffer || !backend->recording) return;
    transitionResource(backend->frameList, buffer, backend->backBufferState, to);
    backend->backBufferState = to;
}

} // namespace

void retireObject(D3D12Backend* backend, IUnknown* object) {
    if (!object) return;
    DynArray<IUnknown*>* list = backend->recording ? &backend->releaseAfterSubmit : &backend->releaseAfterWait;
    if (!pushDynArray(list, object)) {
        // No memory to wait with: wait now instead.
        waitForGpu(backend);
        object->Release();
    }
}

void waitForGpu(D3D12Backend* backend) {
    if (!backend->queue || !backend->fence) return;
    const uint64_t value = backend->fenceValue++;
    if (SUCCEEDED(backend->queue->Signal(backend->fence, value)) && backend->fence->GetCompletedValue() < value &&
        SUCCEEDED(backend->fence->SetEventOnCompletion(value, backend->fenceEvent)))
        WaitForSingleObject(backend->fenceEvent, INFINITE);
    backend->frameInFlight = 0;
    releaseList(&backend->releaseAfterWait);
}

void transitionResource(ID3D12GraphicsCommandList* list, ID3D12Resource* resource, D3D12_RESOURCE_STATES from,
                        D3D12_RESOURCE_STATES to) {
    if (!resource || from == to) return;
    D3D12_RESOURCE_BARRIER barrier = {};
    barrier.Type = D3D12_RESOURCE_BARRIER_TYPE_TRANSITION;
    barrier.Transition.pResource = resource;
    barrier.Transition.Subresource = D3D12_RESOURCE_BARRIER_ALL_SUBRESOURCES;
    barrier.Transition.StateBefore = from;
    barrier.Transition.StateAfter = to;
    list->ResourceBarrier(1, &barrier);
}

void transitionTexture(D3D12Backend* backend, uint32_t textureId, D3D12_RESOURCE_STATES to) {
    TextureRecord* texture = textureRecord(backend, textureId);
    if (!texture || !texture->resource || !backend->recording) return;
    transitionResource(backend->frameList, texture->resource, texture->resourceState, to);
    texture->resourceState = to;
}

void setListViewport(D3D12Backend* backend, const D3D12_VIEWPORT& viewport) {
    backend->listViewport = viewport;
    if (backend->recording) backend->frameList->RSSetViewports(1, &viewport);
}

void setListScissor(D3D12Backend* backend, const D3D12_RECT& scissor) {
    backend->listScissor = scissor;
    if (backend->recording) backend->frameList->RSSetScissorRects(1, &scissor);
}

void setListTargets(D3D12Backend* backend, const ListTargets* targets) {
    ListTargets& set = backend->listTargets;
    bool same = set.colorCount == targets->colorCount && set.hasDepth == targets->hasDepth &&
                (!targets->hasDepth || set.depth.ptr == targets->depth.ptr);
    for (uint32_t i = 0; same && i < targets->colorCount; ++i) same = set.colors[i].ptr == targets->colors[i].ptr;
    if (same) return;
    set = *targets;
    if (!backend->recording) return;
    backend->frameList->OMSetRenderTargets(targets->colorCount, targets->colorCount ? targets->colors : nullptr, FALSE,
                                           targets->hasDepth ? &targets->depth : nullptr);
}

void backBufferTargets(D3D12Backend* backend, ListTargets* targets) {
    *targets = ListTargets{};
    if (!currentBackBuffer(backend)) return;
    targets->colorCount = 1;
    targets->colors[0] = backend->rtvHeap->GetCPUDescriptorHandleForHeapStart();
    targets->colors[0].ptr += static_cast<SIZE_T>(backend->frameIndex) * backend->rtvIncrement;
    if (backend->depthBuffer) {
        targets->hasDepth = 1;
        targets->depth = backend->dsvHeap->GetCPUDescriptorHandleForHeapStart();
    }
}

uint32_t boundTargetHeight(RendererState* state, D3D12Backend* backend) {
    if (backend->boundFrameBuffer >= 0 &&
        static_cast<uint32_t>(backend->boundFrameBuffer) < backend->frameBuffers.count)
        return backend->frameBuffers.elements[backend->boundFrameBuffer].height;
    return state->height;
}

void applyStateScissor(RendererState* state, D3D12Backend* backend) {
    const int64_t height = boundTargetHeight(state, backend);
    D3D12_RECT scissor = {};
    scissor.left = state->scissorLeft;
    scissor.top = static_cast<LONG>(height - state->scissorTop);
    scissor.right = state->scissorRight;
    scissor.bottom = static_cast<LONG>(height - state->scissorBottom);
    // A reversed rectangle scissors everything away.
    if (scissor.right < scissor.left) scissor.right = scissor.left;
    if (scissor.bottom < scissor.top) scissor.bottom = scissor.top;
    setListScissor(backend, scissor);
}

void setUpFrameList(RendererState* state, D3D12Backend* backend) {
    ID3D12GraphicsCommandList* list = backend->frameList;
    ID3D12DescriptorHeap* heaps[2] = {backend->viewHeap, backend->samplerHeap};
    list->SetDescriptorHeaps(2, heaps);
    list->SetGraphicsRootSignature(backend->rootSignature);
    list->IASetPrimitiveTopology(D3D_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    list->RSSetViewports(1, &backend->listViewport);
    list->RSSetScissorRects(1, &backend->listScissor);
    const ListTargets targets = backend->listTargets;
    backend->listTargets.colorCount = 0xFFFFFFFF; // nothing is set on a fresh list
    setListTargets(backend, &targets);
    reapplyTextureUnits(backend);
    forgetBoundBuffers(state);
    if (state->currentShader) bindShaderPipeline(state, backend, state->currentShader, true);
}

bool executeRecordedCommands(RendererState* state, D3D12Backend* backend) {
    if (!backend->recording) return false;
    submitFrameList(state, backend);
    waitForGpu(backend);
    if (!reopenFrameList(backend)) return false;
    setUpFrameList(state, backend);
    return true;
}

void startRecordedFrame(RendererState* state, D3D12Backend* backend) {
    backend->boundFrameBuffer = -1;
    ++backend->targetsVersion;
    state->currentShader = nullptr;
    setBackBufferState(backend, D3D12_RESOURCE_STATE_RENDER_TARGET);
    backend->listViewport = backend->viewport;
    applyStateScissor(state, backend);
    backBufferTargets(backend, &backend->listTargets);
    setUpFrameList(state, backend);
}

void beginFrameInRenderer(RendererState* state) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend || !backend->device) return;
    const bool resize = backend->swapChainResizeWanted || state->resizePending;
    // A frame left open (initRenderer leaves one, and a program may begin twice) is
    // executed as it is.
    if (backend->recording) {
        if (resize) setBackBufferState(backend, D3D12_RESOURCE_STATE_PRESENT);
        submitFrameList(state, backend);
    }
    if (backend->frameInFlight) waitForGpu(backend);

    // With the GPU idle: what depends on the size of the back buffers is rebuilt
    // before the program hears of the new size, and the pool grows for what the
    // last frame asked for.
    if (resize) resizeSwapChain(state, backend);
    if (backend->swapChain) backend->frameIndex = backend->swapChain->GetCurrentBackBufferIndex();
    prepareConstantPool(backend);
    if (!reopenFrameList(backend)) return;
    startRecordedFrame(state, backend);
    // The callback may already create targets and draw.
    dispatchPendingResize(state);
}

void endFrameInRenderer(RendererState* state) {
    D3D12Backend* backend = recordingBackend(state);
    if (!backend) return;
    if (backend->boundFrameBuffer >= 0 &&
        static_cast<uint32_t>(backend->boundFrameBuffer) < backend->frameBuffers.count)
        unbindFrameBufferInRenderer(
            state, const_cast<FrameBufferRecord*>(backend->frameBuffers.elements[backend->boundFrameBuffer].owner));
    setBackBufferState(backend, D3D12_RESOURCE_STATE_PRESENT);
    state->currentShader = nullptr;
    backend->uniformCounter = 256;
    submitFrameList(state, backend);
    if (backend->swapChain) backend->swapChain->Present(1, 0);
}

void swapBuffersOnRenderer(RendererState* state) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend || !backend->device) return;
    waitForGpu(backend);
    if (backend->swapChain) backend->frameIndex = backend->swapChain->GetCurrentBackBufferIndex();
}

void resizeBackBuffersOnRenderer(RendererState* state, uint32_t width, uint32_t height) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend) return;
    backend->viewport = D3D12_VIEWPORT{0, 0, static_cast<float>(width), static_cast<float>(height), 0, 1};
    recordBackBufferSize(state, width, height);
    // The swap chain changes size at the next frame start, when nothing recorded
    // still names its buffers; the resize callback follows there.
    if (backend->swapChain) backend->swapChainResizeWanted = 1;
}

void setViewPortOnRenderer(RendererState* state, int32_t x, int32_t y, int32_t width, int32_t height) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend) return;
    const float top = static_cast<float>(static_cast<int64_t>(boundTargetHeight(state, backend)) - y - height);
    setListViewport(backend, D3D12_VIEWPORT{static_cast<float>(x), top, static_cast<float>(width),
                                            static_cast<float>(height), 0, 1});
}

void setScissorOnRenderer(RendererState* state, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend) return;
    recordScissor(state, x0, y0, x1, y1);
    applyStateScissor(state, backend);
}

void clearColorBufferOnRenderer(RendererState* state, const float* rgba) {
    D3D12Backend* backend = recordingBackend(state);
    if (!backend || !rgba) return;
    // The clears act on the bound target's views, whatever the bound shader writes.
    ListTargets bound = {};
    boundTargetViews(backend, SHADER_OUTPUT_COLOR, &bound);
    for (uint32_t i = 0; i < bound.colorCount; ++i)
        backend->frameList->ClearRenderTargetView(bound.colors[i], rgba, 1, &backend->listScissor);
}

void clearDepthOnRenderer(RendererState* state) {
    D3D12Backend* backend = recordingBackend(state);
    if (!backend) return;
    ListTargets bound = {};
    boundTargetViews(backend, SHADER_OUTPUT_DEPTH, &bound);
    // Inside the scissor rectangle, as every clear.
    if (bound.hasDepth)
        backend->frameList->ClearDepthStencilView(bound.depth, D3D12_CLEAR_FLAG_DEPTH, 1.0f, 0, 1,
                                                  &backend->listScissor);
}

void clearCurrentFrameBuffer(RendererState* state) {
    D3D12Backend* backend = recordingBackend(state);
    if (!backend) return;
    if (HRESULT reason = backend->device->GetDeviceRemovedReason())
        if (FAILED(reason)) OutputDebugStringA("VidPortD3D12: the device was removed\n");
    ListTargets bound = {};
    boundTargetViews(backend, SHADER_OUTPUT_COLOR | SHADER_OUTPUT_DEPTH, &bound);
    for (uint32_t i = 0; i < bound.colorCount; ++i)
        backend->frameList->ClearRenderTargetView(bound.colors[i], kClearWhite, 1, &backend->listScissor);
    if (bound.hasDepth)
        backend->frameList->ClearDepthStencilView(bound.depth, D3D12_CLEAR_FLAG_DEPTH, 1.0f, 0, 1,
                                                  &backend->listScissor);
}

uint32_t getUniformIDInRenderer(RendererState* state) {
    D3D12Backend* backend = d3d12State(state);
    return backend ? backend->uniformCounter++ : 0;
}

namespace {

void switchKeyBit(RendererState* state, uint32_t bit, bool on) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend) return;
    if (on)
        backend->pipelineKey |= bit;
    else
        backend->pipelineKey &= ~bit;
    if (state->currentShader) bindShaderPipeline(state, backend, state->currentShader, false);
}

} // namespace

void enableDepthTestOnRenderer(RendererState* state, bool enabled) { switchKeyBit(state, KEY_DEPTH_TEST, enabled); }
void enableDepthMaskOnRenderer(RendererState* state, bool enabled) { switchKeyBit(state, KEY_DEPTH_WRITE, enabled); }
void enableWireframeOnRenderer(RendererState* state, bool enabled) { switchKeyBit(state, KEY_WIREFRAME, enabled); }

bool isDepthTestEnabledInRenderer(RendererState* state) {
    D3D12Backend* backend = d3d12State(state);
    return backend && (backend->pipelineKey & KEY_DEPTH_TEST);
}

bool isDepthMaskEnabledInRenderer(RendererState* state) {
    D3D12Backend* backend = d3d12State(state);
    return backend && (backend->pipelineKey & KEY_DEPTH_WRITE);
}
