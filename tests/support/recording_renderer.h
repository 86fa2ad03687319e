// A RendererApi for native tests: every slot of gRenderer records its calls, with the
// arguments that matter, and hands out ids the way a backend does. No window, no GPU.
//
//   RecordingRenderer recorder;
//   installRecordingRenderer(&recorder);   // fills every slot of gRenderer
//   ... code under test ...
//   EXPECT_EQ(countCalls(&recorder, "drawIndexedInRenderer"), 1u);
//   removeRecordingRenderer();              // gRenderer back to all null
#pragma once

#include "backend/renderer_api.h"

#include <stdint.h>

#include <string>
#include <vector>

struct RecordedCall {
    std::string name;              // entry point name
    const RendererState* state;    // the state argument (null for the stateless ones)
    ShaderRecord* shader;          // the shader argument of shader, uniform and draw calls
    const void* pointer;           // the data, frame-buffer or description pointer when there is one
    std::vector<uint64_t> integers; // integer, id, bool and byte-offset arguments, in order
    std::string text;              // uniform name or shader source
    std::vector<float> values;     // uniform values, clear colour, vertex data (copied)
    std::vector<uint32_t> indices; // index data (copied)
    TextureDescription description; // uploadTextureInRenderer: the description as passed
    std::vector<TextureDescription> attachments; // createFrameBufferInRenderer: the descriptions as passed
    uint64_t result;               // the id or value handed back (0 for void)
};

struct RecordingRenderer {
    std::vector<RecordedCall> calls;
    // Next ids handed out by the create entry points. Released vertex input and index
    // buffer ids wait on the free-id stacks of the RendererState and come back first,
    // by the rule both backends share (backend/free_ids.h); released texture ids come
    // back last in, first out, as the Direct3D 12 backend's texture table does.
    uint32_t nextVertexInput = 0;
    uint32_t nextIndexBuffer = 0;
    uint32_t nextTexture = 0;
    uint32_t nextFrameBuffer = 0;
    int32_t nextShaderSlot = 0;
    std::vector<uint32_t> freeTextures;
    // What the queries answer.
    bool initResult = true;
    bool compileResult = true;
    const char* shaderExtension = ".hlsl";
    uint32_t maxTextureSize = 16384;
    uint32_t windowWidth = 1280;
    uint32_t windowHeight = 720;
    bool depthTest = true;
    bool depthMask = true;
    // Memory handed out by the open entry points.
    std::vector<unsigned char> mappedMemory = std::vector<unsigned char>(1 << 20);
    // Texture id arrays handed to frame-buffer records.
    std::vector<std::vector<uint32_t>> frameBufferTextures;
};

// Points every slot of gRenderer at the recorder (and makes it the one that records).
void installRecordingRenderer(RecordingRenderer* recorder);
// Clears gRenderer and forgets the recorder.
void removeRecordingRenderer();

size_t countCalls(const RecordingRenderer* recorder, const char* name);
// The n-th call of that name (counting from 0), or null.
const RecordedCall* findCall(const RecordingRenderer* recorder, const char* name, size_t n = 0);
// The n-th uniform call of that name, or null.
const RecordedCall* findUniform(const RecordingRenderer* recorder, const char* uniformName, size_t n = 0);
// The entry point names in call order, for comparing whole sequences.
std::vector<std::string> callNames(const RecordingRenderer* recorder);
