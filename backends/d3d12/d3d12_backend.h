// The Direct3D 12 backend's private record and its tables. Handles are indices:
// vertex inputs, index buffers, shader slots and frame buffers into growable tables,
// a texture id into the texture table and, at the same time, into the texture views
// at the start of the shader-visible heap, so binding a texture is one table call.
//
// One direct command list records the frame; uploads are recorded on a second one
// that runs before it. The CPU waits for the GPU at every swap (no frames in flight).
#pragma once

#include "backend/renderer_api.h"
#include "backends/window/backend_display.h"
#include "engine/assets/dyn_array.h"

#include <d3d12.h>
#include <dxgi1_4.h>

#include <stddef.h>
#include <stdint.h>

enum {
    TEXTURE_TABLE_SIZE = 256,
    TEXTURE_UNIT_COUNT = 8,
    SAMPLER_COUNT = 32,
    DEFINED_SAMPLER_COUNT = 8,
    BACK_BUFFER_COUNT = 2,
    PIPELINE_KEY_COUNT = 32,
    STAGED_CONSTANT_BYTES = 32768,
    CONSTANT_BLOCK_STEP = 256,
    FIRST_SIZE_CLASS_COUNT = 16,
    MAX_COLOR_ATTACHMENTS = 8,
    // Heap slot of the null texture view that units without a texture read.
    NULL_TEXTURE_VIEW = TEXTURE_TABLE_SIZE,
    // Constant views start after the texture views and the null view.
    FIRST_CONSTANT_VIEW = TEXTURE_TABLE_SIZE + 1,
};

// Pipeline key bits: the render-state switches and the cull mode of the bound shader.
enum PipelineKeyBit : uint32_t {
    KEY_DEPTH_TEST = 1,
    KEY_DEPTH_WRITE = 2,
    KEY_CULL_BACK = 4,
    KEY_CULL_FRONT = 8,
    KEY_CULL_NONE = 12,
    KEY_CULL_BITS = 12,
    KEY_WIREFRAME = 16,
};

// Its first three fields are a D3D12_VERTEX_BUFFER_VIEW: the view spans the whole buffer.
struct VertexView {
    uint64_t gpuAddress;
    uint32_t capacity; // bytes
    uint32_t stride;   // bytes
    uint32_t used;     // bytes
};

// Its first three fields are a D3D12_INDEX_BUFFER_VIEW.
struct IndexView {
    uint64_t gpuAddress;
    uint32_t capacity; // bytes
    uint32_t format;   // DXGI_FORMAT_R32_UINT
    uint32_t indexCount;
};

static_assert(offsetof(VertexView, capacity) == offsetof(D3D12_VERTEX_BUFFER_VIEW, SizeInBytes), "vertex view");
static_assert(offsetof(VertexView, stride) == offsetof(D3D12_VERTEX_BUFFER_VIEW, StrideInBytes), "vertex view");
static_assert(offsetof(IndexView, capacity) == offsetof(D3D12_INDEX_BUFFER_VIEW, SizeInBytes), "index view");
static_assert(offsetof(IndexView, format) == offsetof(D3D12_INDEX_BUFFER_VIEW, Format), "index view");

// Upload-heap buffers stay in generic-read state: the CPU writes them through a
// mapping and the GPU reads them in place.
struct VertexInputSlot {
    ID3D12Resource* buffer;
    VertexView view;
    uint64_t boundInList; // the serial of the frame list that last bound it
};

struct IndexBufferSlot {
    ID3D12Resource* buffer;
    IndexView view;
    uint64_t boundInList;
};

// The older buffer family: its own plain buffers, never the vertex inputs.
struct PlainBufferSlot {
    ID3D12Resource* buffer;
    uint32_t capacity; // bytes
    uint32_t used;     // bytes
};

struct TextureRecord {
    // While the id is in use, the index of its sampler (0 to 31); while it is free,
    // the next free id (RENDERER_INVALID_ID ends the list).
    uint32_t link;
    uint8_t inUse;
    uint8_t depth;                        // a depth attachment: R32_FLOAT view of an R32_TYPELESS resource
    ID3D12Resource* resource;             // null until uploaded
    D3D12_SHADER_RESOURCE_VIEW_DESC view; // kept to re-create the view when the heap is rebuilt
    DXGI_FORMAT format;                   // of the resource's views (R32_FLOAT for depth)
    uint32_t width;
    uint32_t height;
    D3D12_RESOURCE_STATES resourceState; // as the frame's command list leaves it
};

struct PipelineEntry {
    uint32_t formatCount;
    DXGI_FORMAT formats[MAX_COLOR_ATTACHMENTS + 1]; // colour formats, then D32_FLOAT for a depth target
    uint32_t blendMode;
    ID3D12PipelineState* pipeline; // null when the description was refused
};

struct ShaderSlot {
    const ShaderRecord* owner; // the record the slot was assigned to; slots are never reused
    D3D12_INPUT_ELEMENT_DESC* inputElements;
    uint32_t inputElementCount;
    int32_t vertexFormat; // -1 before setShaderInputInRenderer
    ID3DBlob* vertexCode; // what the slot draws with; null before a compile succeeded
    ID3DBlob* pixelCode;
    // A source loaded since: it replaces the code above when compileShaderInRenderer
    // finds a pipeline state can be built from it; until then the slot draws as before.
    ID3DBlob* pendingVertexCode; // null when the stage did not compile
    ID3DBlob* pendingPixelCode;
    uint8_t pending;
    DynArray<PipelineEntry> buckets[PIPELINE_KEY_COUNT];
    uint8_t* constants;     // STAGED_CONSTANT_BYTES, written by the uniform entry points
    uint32_t constantBytes; // sent per draw: a multiple of 256
    uint32_t outputs;       // ShaderOutput bits
    uint32_t lastVertexInput;
    uint32_t lastIndexBuffer;
    const PipelineEntry* current;   // chosen by the last bind; null when none
    uint32_t currentTargetsVersion; // the targets that choice was made for
};

// One per constant-block size: blocks of 256 x (class + 1) bytes.
struct SizeClass {
    uint64_t blockBytes;
    uint64_t byteOffset; // of the class's first block in the upload buffer
    uint64_t capacity;   // blocks
    uint64_t used;       // blocks taken this frame, plus the penalties of the ones refused
    uint64_t nextView;   // heap index of the block handed out next
};

// Blocks of one size made in the middle of a frame for draws their class had none
// left for; released at the next frame start, when the pool has grown.
struct SpillChunk {
    ID3D12Resource* buffer;
    uint8_t* memory; // mapped
    uint64_t blockBytes;
    uint64_t blocks;
    uint64_t used;
    uint64_t firstView; // heap slot of the first block's view
};

// A frame buffer's attachments: each renders into an internal texture while bound
// and is copied into its program-visible texture at the unbind.
struct FrameBufferSlot {
    const FrameBufferRecord* owner; // the record this slot was made for
    uint32_t width;
    uint32_t height;
    uint32_t colorCount;
    uint32_t internalColor[MAX_COLOR_ATTACHMENTS]; // texture ids
    uint32_t visibleColor[MAX_COLOR_ATTACHMENTS];
    DXGI_FORMAT colorFormats[MAX_COLOR_ATTACHMENTS];
    uint8_t hasDepth;
    uint32_t internalDepth;
    uint32_t visibleDepth;
    ID3D12DescriptorHeap* colorViews; // internal views 0..count-1, then the visible ones
    ID3D12DescriptorHeap* depthViews; // internal, visible
};

// What the frame's command list has set, so that it can be set again after the list
// was executed in the middle of a frame (pixel read-back) and to skip repeats.
struct ListTargets {
    uint32_t colorCount;
    D3D12_CPU_DESCRIPTOR_HANDLE colors[MAX_COLOR_ATTACHMENTS];
    uint8_t hasDepth;
    D3D12_CPU_DESCRIPTOR_HANDLE depth;
};

// Counters the tests read to see what the backend recorded.
struct D3D12Statistics {
    uint64_t pipelineSets;     // SetPipelineState calls
    uint64_t pipelinesCreated; // CreateGraphicsPipelineState successes
    uint64_t drawsRecorded;
    uint64_t drawsSkipped;  // not even a spill block could be had
    uint64_t spilledBlocks; // constant blocks taken from spill buffers
    uint64_t vertexBufferSets;
    uint64_t indexBufferSets;
    uint64_t textureTableSets;
    uint64_t samplerTableSets;
    uint64_t cpuMipLevels; // levels generated on the CPU
    uint64_t gpuMipJobs;   // textures whose levels the compute shader generated
};

struct D3D12Backend {
    BackendDisplay display; // the window part and the monitor list

    ID3D12Device* device;
    ID3D12CommandQueue* queue;
    IDXGISwapChain3* swapChain;
    ID3D12Resource* backBuffers[BACK_BUFFER_COUNT];
    uint32_t frameIndex;
    D3D12_RESOURCE_STATES backBufferState; // of the current back buffer, as the frame's list leaves it
    uint32_t swapChainWidth;
    uint32_t swapChainHeight;
    uint8_t swapChainResizeWanted; // the next frame start resizes the swap chain

    ID3D12CommandAllocator* frameAllocator;
    ID3D12GraphicsCommandList* frameList;
    uint8_t recording;     // frameList is open
    uint64_t listSerial;   // counts the openings of frameList
    uint8_t frameInFlight; // frameList was executed and not yet waited for
    ID3D12CommandAllocator* uploadAllocator;
    ID3D12GraphicsCommandList* uploadList; // always open between flushes
    uint8_t uploadsPending;

    ID3D12Fence* fence;
    HANDLE fenceEvent;
    uint64_t fenceValue; // next value to signal

    ID3D12RootSignature* rootSignature;
    ID3D12DescriptorHeap* rtvHeap; // one view per back buffer
    ID3D12DescriptorHeap* dsvHeap; // the back buffer's depth view
    ID3D12Resource* depthBuffer;
    uint32_t rtvIncrement;
    uint32_t srvIncrement;
    uint32_t samplerIncrement;
    D3D12_VIEWPORT viewport;     // the back buffer's
    D3D12_VIEWPORT listViewport; // as last set on the frame's list
    D3D12_RECT listScissor;
    ListTargets listTargets;
    ID3D12PipelineState* listPipeline; // as last set on the frame's list

    // The shader-visible heap: texture views at their ids, the null view, then the
    // constant views of the pool.
    ID3D12DescriptorHeap* viewHeap;
    uint32_t viewHeapSize;
    ID3D12DescriptorHeap* samplerHeap; // shader-visible, all 32 samplers
    D3D12_SAMPLER_DESC samplers[SAMPLER_COUNT];
    D3D12_FILTER smoothFilter; // anisotropic, or linear on a device that draws on the CPU

    TextureRecord textures[TEXTURE_TABLE_SIZE];
    uint32_t freeTextureHead;
    uint32_t nextTextureId;
    // Per texture unit: the texture the program bound (bindings last across frames, as
    // in OpenGL), and the view and sampler slots the frame's list points at.
    uint32_t unitTextures[TEXTURE_UNIT_COUNT];
    uint32_t unitViews[TEXTURE_UNIT_COUNT];
    uint32_t unitSamplers[TEXTURE_UNIT_COUNT];

    // The constant pool: one persistently mapped upload buffer cut into blocks.
    ID3D12Resource* constantBuffer;
    uint8_t* constantMemory;
    uint64_t poolBytes;
    uint64_t poolViewCount;
    uint8_t poolOverflow; // a class ran out this frame: the pool grows at the next frame start
    DynArray<SizeClass> sizeClasses;
    DynArray<SpillChunk> spills;
    uint64_t spillNextView; // the next heap slot no view of this frame uses
    uint32_t uniformCounter;

    uint32_t pipelineKey;     // render-state bits; the cull bits come from the bound shader
    int32_t boundFrameBuffer; // -1 = the back buffer
    uint32_t targetsVersion;  // changes whenever the render targets change

    DynArray<VertexInputSlot> vertexInputs;
    DynArray<IndexBufferSlot> indexBuffers;
    DynArray<PlainBufferSlot> plainBuffers;
    DynArray<ShaderSlot> shaderSlots;
    DynArray<FrameBufferSlot> frameBuffers;

    // Objects the GPU may still use: released after the next wait for the GPU, once
    // the command list that may reference them has been executed.
    DynArray<IUnknown*> releaseAfterSubmit;  // referenced by the open frame list
    DynArray<IUnknown*> releaseAfterWait;    // referenced by submitted work only
    DynArray<IUnknown*> releaseAfterUploads; // staging buffers of the recorded uploads

    // Blit of frame-buffer attachments: a clip-space quad and the copy shader.
    uint32_t blitVertexInput;
    uint32_t blitIndexBuffer;
    ShaderRecord blitShader;

    // Mip levels on the GPU (a compute shader); null where it cannot be built, and
    // then the levels are made on the CPU at upload.
    ID3D12RootSignature* mipRootSignature;
    ID3D12PipelineState* mipPipeline;
    DynArray<ID3D12DescriptorHeap*> mipHeaps;
    uint32_t mipJobCount;

    D3D12Statistics statistics;
};

inline D3D12Backend* d3d12State(RendererState* state) {
    return state ? static_cast<D3D12Backend*>(state->internal) : nullptr;
}

// Releases a COM object and clears the pointer.
template <typename T>
void releaseObject(T** object) {
    if (*object) (*object)->Release();
    *object = nullptr;
}

// --- frame.cpp
// Lets go of an object once the GPU cannot use it any more (see the two lists above).
void retireObject(D3D12Backend* backend, IUnknown* object);
// Signals the fence and waits for it; then releases what waited for that.
void waitForGpu(D3D12Backend* backend);
// A fresh frame on the open list: the back buffer as render target with its full
// viewport, no frame buffer, no shader, empty texture units.
void startRecordedFrame(RendererState* state, D3D12Backend* backend);
// Sets on the frame's list everything a fresh list needs: heaps, root signature,
// viewport, scissor, targets, topology, texture units and the bound shader's pipeline.
void setUpFrameList(RendererState* state, D3D12Backend* backend);
// Executes what the frame's list recorded so far and waits for it, then opens the
// list again with everything set as it was (pixel read-back in mid-frame).
bool executeRecordedCommands(RendererState* state, D3D12Backend* backend);
// Sets the list's render targets unless they are the ones set.
void setListTargets(D3D12Backend* backend, const ListTargets* targets);
void setListViewport(D3D12Backend* backend, const D3D12_VIEWPORT& viewport);
void setListScissor(D3D12Backend* backend, const D3D12_RECT& scissor);
// The state's scissor rectangle (bottom-up) on the bound target.
void applyStateScissor(RendererState* state, D3D12Backend* backend);
// The back buffer's colour and depth views.
void backBufferTargets(D3D12Backend* backend, ListTargets* targets);
// Height of the bound target: the frame buffer's, or the back buffer's.
uint32_t boundTargetHeight(RendererState* state, D3D12Backend* backend);
// Records a transition of a texture's resource to a state on the frame's list.
void transitionTexture(D3D12Backend* backend, uint32_t textureId, D3D12_RESOURCE_STATES to);
void transitionResource(ID3D12GraphicsCommandList* list, ID3D12Resource* resource, D3D12_RESOURCE_STATES from,
                        D3D12_RESOURCE_STATES to);

// --- uploads.cpp
// Executes the recorded uploads (and mip jobs), waits for them and opens the list again.
void flushUploads(D3D12Backend* backend);
// A staging buffer the upload list reads: released once the uploads ran.
void retireUploadBuffer(D3D12Backend* backend, IUnknown* buffer);
// A committed buffer in an upload heap, in generic-read state; null on failure.
ID3D12Resource* createUploadBuffer(D3D12Backend* backend, uint64_t bytes);

// --- constant_pool.cpp
bool createConstantPool(D3D12Backend* backend, uint64_t bytes);
void resetSizeClasses(D3D12Backend* backend);
// Frame start: grows the pool for what the last frame asked for and rebuilds the views.
void prepareConstantPool(D3D12Backend* backend);
// Copies the block into the pool (or a spill buffer when its class ran out) and binds
// it for the next draw; false only when no memory or heap slot is left (the draw is
// skipped).
bool allocateConstants(D3D12Backend* backend, const uint8_t* block, uint32_t bytes);
// Re-creates every texture view in the shader-visible heap (after it was rebuilt).
void recreateTextureViews(D3D12Backend* backend);

// --- textures.cpp
uint32_t allocateTextureId(D3D12Backend* backend);
TextureRecord* textureRecord(D3D12Backend* backend, uint32_t id); // null unless in use
// A committed 2-D texture in the default heap, or null (with a debugger line).
ID3D12Resource* createTexture(D3D12Backend* backend, uint32_t width, uint32_t height, uint32_t levels,
                              DXGI_FORMAT format, D3D12_RESOURCE_FLAGS flags, D3D12_RESOURCE_STATES initial,
                              const D3D12_CLEAR_VALUE* clear);
// Creates a committed 2-D texture for an id and its view; used for frame-buffer
// attachments. False when the resource cannot be made.
bool createTargetTexture(D3D12Backend* backend, uint32_t id, uint32_t width, uint32_t height, DXGI_FORMAT format,
                         bool depth);
void releaseTextureResource(D3D12Backend* backend, uint32_t id);
void freeTextureId(D3D12Backend* backend, uint32_t id);
// Binds a texture to a unit: its view (the null view when it has no resource) and its
// sampler, each set on the list only when it changed.
void bindTextureUnit(D3D12Backend* backend, uint32_t unit, uint32_t textureId);
// Sets every unit's tables again on a fresh list.
void reapplyTextureUnits(D3D12Backend* backend);
// Updates the units that show a texture whose resource or sampler changed.
void refreshUnitsShowing(D3D12Backend* backend, uint32_t textureId);

// --- samplers.cpp
void defineSamplers(D3D12Backend* backend);
void writeSamplerHeap(D3D12Backend* backend);
// The sampler a texture takes after a filter or wrap change.
uint32_t samplerWithFilter(const D3D12Backend* backend, uint32_t current, bool smooth);
uint32_t samplerWithWrap(const D3D12Backend* backend, uint32_t current, uint32_t wrapMode);

// --- mip_generation.cpp
// Builds the compute path; false (and the reason) when it cannot be built here.
bool createMipGeneration(D3D12Backend* backend, const char** reason);
bool formatTakesGpuMips(D3D12Backend* backend, DXGI_FORMAT format);
// Records the generation of levels 1.. of an uploaded texture on the upload list.
void recordGpuMips(D3D12Backend* backend, ID3D12Resource* texture, DXGI_FORMAT format, uint32_t width, uint32_t height,
                   uint32_t mipLevels, uint32_t firstSource);

// --- pipelines.cpp
// Chooses (creating once) the pipeline state of a slot for the key and the bound
// targets, and sets it and the targets on the list.
void bindShaderPipeline(RendererState* state, D3D12Backend* backend, ShaderRecord* shader, bool force);
void releasePipelines(D3D12Backend* backend, ShaderSlot* slot);
ShaderSlot* shaderSlot(D3D12Backend* backend, const ShaderRecord* shader);
// The pipeline of a slot for an explicit key, format list and blend mode (the blit).
const PipelineEntry* pipelineFor(D3D12Backend* backend, ShaderSlot* slot, uint32_t key, const DXGI_FORMAT* formats,
                                 uint32_t formatCount, uint32_t blendMode);
void setPipeline(D3D12Backend* backend, ID3D12PipelineState* pipeline);

// --- buffers.cpp
VertexInputSlot* vertexInputSlot(D3D12Backend* backend, uint32_t id);
IndexBufferSlot* indexBufferSlot(D3D12Backend* backend, uint32_t id);
void bindVertexInput(RendererState* state, D3D12Backend* backend, uint32_t id);
void bindIndexBuffer(RendererState* state, D3D12Backend* backend, uint32_t id);

// --- draws.cpp
// Draws count indices from first with a shader, its staged constants and the buffers.
void drawWithShader(RendererState* state, ShaderRecord* shader, uint32_t indexBufferId, uint32_t vertexInputId,
                    uint32_t first, uint32_t count, bool allIndices);

// --- frame_buffers.cpp
FrameBufferSlot* ownedFrameBuffer(D3D12Backend* backend, const FrameBufferRecord* record);
// The frame buffer's formats for a pipeline lookup, colour only when wanted.
uint32_t boundTargetFormats(D3D12Backend* backend, uint32_t outputs, DXGI_FORMAT* formats);
// The render targets a shader of those outputs draws into on the bound target.
void boundTargetViews(D3D12Backend* backend, uint32_t outputs, ListTargets* targets);
void releaseFrameBuffers(D3D12Backend* backend);

// --- device.cpp
// The swap chain on the window, its back buffers and their views.
bool createSwapChain(RendererState* state, D3D12Backend* backend, IDXGIFactory4* factory);
void releaseSwapChain(D3D12Backend* backend);
bool createBackBufferViews(D3D12Backend* backend);
bool createDepthBuffer(D3D12Backend* backend, uint32_t width, uint32_t height);
// Serialises a root signature description and creates it on the device.
bool createRootSignature(ID3D12Device* device, const D3D12_ROOT_SIGNATURE_DESC* description,
                         ID3D12RootSignature** signature);

// --- shaders.cpp
// The copy of frame-buffer attachments: colour through SV_Target, depth through SV_Depth.
extern const char kBlitShaderSource[];
