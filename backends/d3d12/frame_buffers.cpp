// Frame buffers: every attachment has an internal texture that the draws go into
// while the frame buffer is bound, and the program-visible texture whose id the
// record holds. The unbind copies each internal texture into its visible one with the
// copy shader, so a pass may sample an attachment of the frame buffer it draws into.
#include "backends/d3d12/d3d12_backend.h"
#include "backends/window/backend_exports.h"

#include <stdlib.h>
#include <string.h>

namespace {

DXGI_FORMAT attachmentFormat(uint32_t pixelFormat) {
    switch (pixelFormat) {
    case PIXEL_FORMAT_BGRA8:
        return DXGI_FORMAT_B8G8R8A8_UNORM;
    case PIXEL_FORMAT_RG16F:
        return DXGI_FORMAT_R16G16_FLOAT;
    case PIXEL_FORMAT_RGBA16F:
        return DXGI_FORMAT_R16G16B16A16_FLOAT;
    default:
        return DXGI_FORMAT_R8G8B8A8_UNORM;
    }
}

D3D12_CPU_DESCRIPTOR_HANDLE heapView(ID3D12DescriptorHeap* heap, uint32_t index, uint32_t increment) {
    D3D12_CPU_DESCRIPTOR_HANDLE handle = heap->GetCPUDescriptorHandleForHeapStart();
    handle.ptr += static_cast<SIZE_T>(index) * increment;
    return handle;
}

uint32_t dsvIncrement(D3D12Backend* backend) {
    return backend->device->GetDescriptorHandleIncrementSize(D3D12_DESCRIPTOR_HEAP_TYPE_DSV);
}

D3D12_CPU_DESCRIPTOR_HANDLE internalColorView(D3D12Backend* backend, const FrameBufferSlot* slot, uint32_t i) {
    return heapView(slot->colorViews, i, backend->rtvIncrement);
}
D3D12_CPU_DESCRIPTOR_HANDLE visibleColorView(D3D12Backend* backend, const FrameBufferSlot* slot, uint32_t i) {
    return heapView(slot->colorViews, slot->colorCount + i, backend->rtvIncrement);
}
D3D12_CPU_DESCRIPTOR_HANDLE internalDepthView(D3D12Backend* backend, const FrameBufferSlot* slot) {
    return heapView(slot->depthViews, 0, dsvIncrement(backend));
}
D3D12_CPU_DESCRIPTOR_HANDLE visibleDepthView(D3D12Backend* backend, const FrameBufferSlot* slot) {
    return heapView(slot->depthViews, 1, dsvIncrement(backend));
}

// The internal textures and the view heaps are the backend's own; the visible
// textures belong to the program, which releases their ids.
void releaseSlotResources(D3D12Backend* backend, FrameBufferSlot* slot) {
    for (uint32_t i = 0; i < slot->colorCount; ++i) {
        releaseTextureResource(backend, slot->internalColor[i]);
        freeTextureId(backend, slot->internalColor[i]);
    }
    if (slot->hasDepth) {
        releaseTextureResource(backend, slot->internalDepth);
        freeTextureId(backend, slot->internalDepth);
    }
    retireObject(backend, slot->colorViews);
    retireObject(backend, slot->depthViews);
    slot->colorViews = nullptr;
    slot->depthViews = nullptr;
    slot->colorCount = 0;
    slot->hasDepth = 0;
}

bool createViewHeap(D3D12Backend* backend, D3D12_DESCRIPTOR_HEAP_TYPE type, uint32_t count,
                    ID3D12DescriptorHeap** heap) {
    D3D12_DESCRIPTOR_HEAP_DESC description = {};
    description.Type = type;
    description.NumDescriptors = count;
    return SUCCEEDED(backend->device->CreateDescriptorHeap(&description, __uuidof(ID3D12DescriptorHeap),
                                                           reinterpret_cast<void**>(heap)));
}

// An attachment's two textures: the internal one drawn into and the visible one the
// record names, with the sampler of the description's wrap mode.
bool createAttachmentPair(D3D12Backend* backend, const TextureDescription* description, uint32_t width, uint32_t height,
                          DXGI_FORMAT format, bool depth, uint32_t* internal, uint32_t* visible) {
    *internal = allocateTextureId(backend);
    *visible = allocateTextureId(backend);
    if (*internal == RENDERER_INVALID_ID || *visible == RENDERER_INVALID_ID) {
        freeTextureId(backend, *internal);
        freeTextureId(backend, *visible);
        *internal = *visible = RENDERER_INVALID_ID;
        return false;
    }
    TextureRecord* shown = textureRecord(backend, *visible);
    shown->link = samplerWithWrap(backend, shown->link, description->wrapMode);
    return createTargetTexture(backend, *internal, width, height, format, depth) &&
           createTargetTexture(backend, *visible, width, height, format, depth);
}

FrameBufferSlot* boundSlot(D3D12Backend* backend) {
    if (backend->boundFrameBuffer < 0 ||
        static_cast<uint32_t>(backend->boundFrameBuffer) >= backend->frameBuffers.count)
        return nullptr;
    return &backend->frameBuffers.elements[backend->boundFrameBuffer];
}

// Draws the blit quad with the copy shader into the targets set on the list.
void drawCopy(RendererState* state, D3D12Backend* backend, uint32_t colorTexture, uint32_t depthTexture,
              const DXGI_FORMAT* formats, uint32_t formatCount) {
    ShaderSlot* blit = shaderSlot(backend, &backend->blitShader);
    if (!blit) return;
    const PipelineEntry* entry = pipelineFor(backend, blit, KEY_DEPTH_TEST | KEY_DEPTH_WRITE | KEY_CULL_NONE, formats,
                                             formatCount, BLEND_ADDITIVE);
    if (!entry || !entry->pipeline) return;
    setPipeline(backend, entry->pipeline);
    // Units 0 and 1 show the internal textures for the copy, then the program's again.
    const uint32_t program[2] = {backend->unitTextures[0], backend->unitTextures[1]};
    bindTextureUnit(backend, 0, colorTexture);
    bindTextureUnit(backend, 1, depthTexture);
    bindVertexInput(state, backend, backend->blitVertexInput);
    bindIndexBuffer(state, backend, backend->blitIndexBuffer);
    backend->frameList->DrawIndexedInstanced(6, 1, 0, 0, 0);
    bindTextureUnit(backend, 0, program[0]);
    bindTextureUnit(backend, 1, program[1]);
}

void setFullTargetArea(D3D12Backend* backend, uint32_t width, uint32_t height) {
    setListViewport(backend, D3D12_VIEWPORT{0, 0, static_cast<float>(width), static_cast<float>(height), 0, 1});
    setListScissor(backend, D3D12_RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)});
}

// Copies every attachment into its visible texture (the frame buffer is still bound).
void copyAttachments(RendererState* state, D3D12Backend* backend, FrameBufferSlot* slot) {
    for (uint32_t i = 0; i < slot->colorCount; ++i)
        transitionTexture(backend, slot->internalColor[i], D3D12_RESOURCE_STATE_PIXEL_SHADER_RESOURCE);
    if (slot->hasDepth) transitionTexture(backend, slot->internalDepth, D3D12_RESOURCE_STATE_PIXEL_SHADER_RESOURCE);
    setFullTargetArea(backend, slot->width, slot->height);
    const uint32_t passes = slot->colorCount ? slot->colorCount : 1;
    for (uint32_t pass = 0; pass < passes; ++pass) {
        // Depth goes with the first pass.
        const bool color = slot->colorCount > 0;
        const bool depth = slot->hasDepth && pass == 0;
        ListTargets targets = {};
        DXGI_FORMAT formats[2];
        uint32_t formatCount = 0;
        if (color) {
            transitionTexture(backend, slot->visibleColor[pass], D3D12_RESOURCE_STATE_RENDER_TARGET);
            targets.colorCount = 1;
            targets.colors[0] = visibleColorView(backend, slot, pass);
            // No clear first: the copy replaces every pixel of the colour target.
            formats[formatCount++] = slot->colorFormats[pass];
        }
        if (depth) {
            transitionTexture(backend, slot->visibleDepth, D3D12_RESOURCE_STATE_DEPTH_WRITE);
            targets.hasDepth = 1;
            targets.depth = visibleDepthView(backend, slot);
            formats[formatCount++] = DXGI_FORMAT_D32_FLOAT;
            // Cleared: the copy's depth passes the test where it is not farther.
            backend->frameList->ClearDepthStencilView(targets.depth, D3D12_CLEAR_FLAG_DEPTH, 1.0f, 0, 0, nullptr);
        }
        setListTargets(backend, &targets);
        drawCopy(state, backend, color ? slot->internalColor[pass] : RENDERER_INVALID_ID,
                 depth ? slot->internalDepth : RENDERER_INVALID_ID, formats, formatCount);
        if (color) transitionTexture(backend, slot->visibleColor[pass], D3D12_RESOURCE_STATE_PIXEL_SHADER_RESOURCE);
        if (depth) transitionTexture(backend, slot->visibleDepth, D3D12_RESOURCE_STATE_PIXEL_SHADER_RESOURCE);
    }
}

} // namespace

FrameBufferSlot* ownedFrameBuffer(D3D12Backend* backend, const FrameBufferRecord* record) {
    if (!backend || !record || record->handle >= backend->frameBuffers.count) return nullptr;
    FrameBufferSlot* slot = &backend->frameBuffers.elements[record->handle];
    // A handle kept from an earlier start, or copied from another record, may be the
    // number of another record's frame buffer now.
    return slot->owner == record ? slot : nullptr;
}

uint32_t boundTargetFormats(D3D12Backend* backend, uint32_t outputs, DXGI_FORMAT* formats) {
    uint32_t count = 0;
    const FrameBufferSlot* slot = boundSlot(backend);
    if (!slot) {
        if (outputs & SHADER_OUTPUT_COLOR) formats[count++] = DXGI_FORMAT_R8G8B8A8_UNORM;
        if (outputs & SHADER_OUTPUT_DEPTH) formats[count++] = DXGI_FORMAT_D32_FLOAT;
        return count;
    }
    if (outputs & SHADER_OUTPUT_COLOR)
        for (uint32_t i = 0; i < slot->colorCount; ++i) formats[count++] = slot->colorFormats[i];
    if ((outputs & SHADER_OUTPUT_DEPTH) && slot->hasDepth) formats[count++] = DXGI_FORMAT_D32_FLOAT;
    return count;
}

void boundTargetViews(D3D12Backend* backend, uint32_t outputs, ListTargets* targets) {
    *targets = ListTargets{};
    const FrameBufferSlot* slot = boundSlot(backend);
    if (!slot) {
        ListTargets backBuffer = {};
        backBufferTargets(backend, &backBuffer);
        if (outputs & SHADER_OUTPUT_COLOR) {
            targets->colorCount = backBuffer.colorCount;
            targets->colors[0] = backBuffer.colors[0];
        }
        if (outputs & SHADER_OUTPUT_DEPTH) {
            targets->hasDepth = backBuffer.hasDepth;
            targets->depth = backBuffer.depth;
        }
        return;
    }
    if (outputs & SHADER_OUTPUT_COLOR) {
        targets->colorCount = slot->colorCount;
        for (uint32_t i = 0; i < slot->colorCount; ++i) targets->colors[i] = internalColorView(backend, slot, i);
    }
    if ((outputs & SHADER_OUTPUT_DEPTH) && slot->hasDepth) {
        targets->hasDepth = 1;
        targets->depth = internalDepthView(backend, slot);
    }
}

void releaseFrameBuffers(D3D12Backend* backend) {
    for (uint32_t i = 0; i < backend->frameBuffers.count; ++i) {
        FrameBufferSlot* slot = &backend->frameBuffers.elements[i];
        releaseObject(&slot->colorViews);
        releaseObject(&slot->depthViews);
    }
    releaseDynArray(&backend->frameBuffers);
}

void createFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer, uint32_t width, uint32_t height,
                                 TextureDescription** attachments, uint32_t attachmentCount) {
    D3D12Backend* backend = d3d12State(state);
    if (!backend || !backend->device || !frameBuffer || width == 0 || height == 0) return;
    if (attachmentCount > 0 && !attachments) return;
    free(frameBuffer->textures);
    frameBuffer->textures = nullptr;
    frameBuffer->attachmentCount = 0;
    frameBuffer->width = width;
    frameBuffer->height = height;

    // A re-creation (every window resize) keeps the record's slot and lets go of what
    // the old attachments held.
    FrameBufferSlot* slot = ownedFrameBuffer(backend, frameBuffer);
    if (slot) {
        if (frameBuffer->bound || backend->boundFrameBuffer == static_cast<int32_t>(frameBuffer->handle))
            unbindFrameBufferInRenderer(state, frameBuffer);
        releaseSlotResources(backend, slot);
    } else {
        slot = appendDynArray(&backend->frameBuffers);
        if (!slot) {
            frameBuffer->handle = RENDERER_INVALID_ID;
            return;
        }
        frameBuffer->handle = backend->frameBuffers.count - 1;
    }
    memset(slot, 0, sizeof(*slot));
    slot->owner = frameBuffer;
    slot->width = width;
    slot->height = height;
    frameBuffer->bound = 0;
    if (attachmentCount == 0) return;
    frameBuffer->textures = static_cast<uint32_t*>(malloc(attachmentCount * sizeof(uint32_t)));
    if (!frameBuffer->textures) return;
    for (uint32_t i = 0; i < attachmentCount; ++i) frameBuffer->textures[i] = RENDERER_INVALID_ID;
    frameBuffer->attachmentCount = attachmentCount;

    uint32_t colors = 0;
    bool depth = false;
    for (uint32_t i = 0; i < attachmentCount; ++i) {
        if (!attachments[i]) continue;
        if (attachments[i]->attachmentKind == ATTACHMENT_DEPTH)
            depth = true;
        else if (colors < MAX_COLOR_ATTACHMENTS)
            ++colors;
    }
    if (colors && !createViewHeap(backend, D3D12_DESCRIPTOR_HEAP_TYPE_RTV, 2 * colors, &slot->colorViews)) return;
    if (depth && !createViewHeap(backend, D3D12_DESCRIPTOR_HEAP_TYPE_DSV, 2, &slot->depthViews)) return;

    // Attachments in the program's order: colour ones up to eight, one depth one.
    for (uint32_t i = 0; i < attachmentCount; ++i) {
        const TextureDescription* description = attachments[i];
        if (!description) continue;
        if (description->attachmentKind == ATTACHMENT_DEPTH) {
            if (slot->hasDepth) continue;
            uint32_t internal, visible;
            if (!createAttachmentPair(backend, description, width, height, DXGI_FORMAT_R32_FLOAT, true, &internal,
                                      &visible))
                continue;
            slot->hasDepth = 1;
            slot->internalDepth = internal;
            slot->visibleDepth = visible;
            D3D12_DEPTH_STENCIL_VIEW_DESC view = {};
            view.Format = DXGI_FORMAT_D32_FLOAT;
            view.ViewDimension = D3D12_DSV_DIMENSION_TEXTURE2D;
            backend->device->CreateDepthStencilView(backend->textures[internal].resource, &view,
                                                    internalDepthView(backend, slot));
            backend->device->CreateDepthStencilView(backend->textures[visible].resource, &view,
                                                    visibleDepthView(backend, slot));
            frameBuffer->textures[i] = visible;
            continue;
        }
        if (slot->colorCount >= colors) continue;
        const DXGI_FORMAT format = attachmentFormat(description->pixelFormat);
        uint32_t internal, visible;
        if (!createAttachmentPair(backend, description, width, height, format, false, &internal, &visible)) continue;
        const uint32_t c = slot->colorCount++;
        slot->internalColor[c] = internal;
        slot->visibleColor[c] = visible;
        slot->colorFormats[c] = format;
        frameBuffer->textures[i] = visible;
    }
    // The views, now that the count of colour attachments is known.
    for (uint32_t c = 0; c < slot->colorCount; ++c) {
        backend->device->CreateRenderTargetView(backend->textures[slot->internalColor[c]].resource, nullptr,
                                                internalColorView(backend, slot, c));
        backend->device->CreateRenderTargetView(backend->textures[slot->visibleColor[c]].resource, nullptr,
                                                visibleColorView(backend, slot, c));
    }
}

void destroyFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer) {
    if (!frameBuffer) return;
    D3D12Backend* backend = d3d12State(state);
    if (FrameBufferSlot* slot = ownedFrameBuffer(backend, frameBuffer)) {
        if (backend->boundFrameBuffer == static_cast<int32_t>(frameBuffer->handle))
            unbindFrameBufferInRenderer(state, frameBuffer);
        releaseSlotResources(backend, slot);
        slot->owner = nullptr;
        frameBuffer->handle = RENDERER_INVALID_ID;
        frameBuffer->bound = 0;
    }
    free(frameBuffer->textures);
    frameBuffer->textures = nullptr; // a later creation frees the array it finds
    frameBuffer->attachmentCount = 0;
}

void bindFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer) {
    D3D12Backend* backend = d3d12State(state);
    FrameBufferSlot* slot = ownedFrameBuffer(backend, frameBuffer);
    if (!slot || !backend->recording) return;
    const int32_t handle = static_cast<int32_t>(frameBuffer->handle);
    if (backend->boundFrameBuffer != handle) {
        // Another frame buffer still bound is finished first: its copies are made.
        if (FrameBufferSlot* other = boundSlot(backend))
            unbindFrameBufferInRenderer(state, const_cast<FrameBufferRecord*>(other->owner));
        for (uint32_t i = 0; i < slot->colorCount; ++i)
            transitionTexture(backend, slot->internalColor[i], D3D12_RESOURCE_STATE_RENDER_TARGET);
        if (slot->hasDepth) transitionTexture(backend, slot->internalDepth, D3D12_RESOURCE_STATE_DEPTH_WRITE);
        backend->boundFrameBuffer = handle;
        ++backend->targetsVersion;
    }
    setFullTargetArea(backend, slot->width, slot->height);
    ListTargets targets = {};
    boundTargetViews(backend, SHADER_OUTPUT_COLOR | SHADER_OUTPUT_DEPTH, &targets);
    setListTargets(backend, &targets);
    if (state->currentShader) bindShaderPipeline(state, backend, state->currentShader, false);
    frameBuffer->bound = 1;
}

void unbindFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer) {
    D3D12Backend* backend = d3d12State(state);
    if (frameBuffer) frameBuffer->bound = 0;
    if (!backend || !backend->recording) return;
    FrameBufferSlot* slot = boundSlot(backend);
    if (!slot) return;
    // Only the bound frame buffer's own record unbinds it.
    if (frameBuffer && slot->owner != frameBuffer) return;
    copyAttachments(state, backend, slot);
    if (slot->owner) const_cast<FrameBufferRecord*>(slot->owner)->bound = 0;

    // Back to the back buffer with its viewport and the state's scissor rectangle.
    backend->boundFrameBuffer = -1;
    ++backend->targetsVersion;
    setListViewport(backend, backend->viewport);
    applyStateScissor(state, backend);
    ListTargets targets = {};
    backBufferTargets(backend, &targets);
    setListTargets(backend, &targets);
    if (state->currentShader) bindShaderPipeline(state, backend, state->currentShader, true);
}

void clearFrameBufferInRenderer(RendererState* state, FrameBufferRecord* frameBuffer) {
    D3D12Backend* backend = d3d12State(state);
    if (!ownedFrameBuffer(backend, frameBuffer) || !backend->recording) return;
    if (backend->boundFrameBuffer == static_cast<int32_t>(frameBuffer->handle)) {
        clearCurrentFrameBuffer(state);
        return;
    }
    // Bound for the time of the clear; the unbind copies the cleared contents.
    const int32_t previous = backend->boundFrameBuffer;
    bindFrameBufferInRenderer(state, frameBuffer);
    clearCurrentFrameBuffer(state);
    unbindFrameBufferInRenderer(state, frameBuffer);
    if (previous >= 0 && static_cast<uint32_t>(previous) < backend->frameBuffers.count &&
        backend->frameBuffers.elements[previous].owner)
        bindFrameBufferInRenderer(state,
                                  const_cast<FrameBufferRecord*>(backend->frameBuffers.elements[previous].owner));
}
