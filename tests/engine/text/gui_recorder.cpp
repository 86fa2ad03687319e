#include "gui_recorder.h"

#include "app/program_state.h"
#include "text_test_support.h"

#include <string.h>

namespace {

std::vector<RecordedCall> gCalls;
uint32_t gNextBuffer;

RecordedCall& record(const char* name) {
    gCalls.push_back(RecordedCall{name, std::string(), nullptr, {0, 0, 0, 0}, {}});
    return gCalls.back();
}

void setViewPort(RendererState*, int32_t x, int32_t y, int32_t w, int32_t h) {
    RecordedCall& c = record("setViewPortOnRenderer");
    c.values[0] = x, c.values[1] = y, c.values[2] = w, c.values[3] = h;
}

void setScissor(RendererState* state, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    RecordedCall& c = record("setScissorOnRenderer");
    c.values[0] = x0, c.values[1] = y0, c.values[2] = x1, c.values[3] = y1;
    state->scissorLeft = x0, state->scissorTop = y1, state->scissorRight = x1, state->scissorBottom = y0;
}

void bindShader(RendererState* state, ShaderRecord* shader) {
    record("bindShaderInRenderer").shader = shader;
    state->currentShader = shader;
}

void uniform(const char* entry, ShaderRecord* shader, const char* name, const float* values, int count) {
    RecordedCall& c = record(entry);
    c.shader = shader;
    c.text = name;
    memcpy(c.floats, values, count * sizeof(float));
}

void sendMatrix(RendererState*, ShaderRecord* s, const char* n, const float* m) { uniform("sendMatrix4x4", s, n, m, 16); }
void sendVector3(RendererState*, ShaderRecord* s, const char* n, const float* v) { uniform("sendVector3D", s, n, v, 3); }
void sendVector4(RendererState*, ShaderRecord* s, const char* n, const float* v) { uniform("sendVector4D", s, n, v, 4); }

void draw(RendererState*, ShaderRecord* shader, uint32_t indexBuffer, uint32_t vertexInput) {
    RecordedCall& c = record("drawIndexedInRenderer");
    c.shader = shader;
    c.values[0] = static_cast<int32_t>(indexBuffer);
    c.values[1] = static_cast<int32_t>(vertexInput);
}

void bindTexture(RendererState*, uint32_t texture, int32_t unit) {
    RecordedCall& c = record("bindTextureInRenderer");
    c.values[0] = static_cast<int32_t>(texture);
    c.values[1] = unit;
}

uint32_t createVertices(RendererState*, uint32_t count, const float*, int32_t format) {
    RecordedCall& c = record("createVertexInputBufferInRenderer");
    c.values[0] = static_cast<int32_t>(count), c.values[1] = format;
    return c.values[2] = static_cast<int32_t>(gNextBuffer++);
}

uint32_t updateVertices(RendererState*, uint32_t id, uint32_t count, const float*, int32_t format) {
    RecordedCall& c = record("updateVertexInputBufferInRenderer");
    c.values[0] = static_cast<int32_t>(count), c.values[1] = format, c.values[2] = static_cast<int32_t>(id);
    return id;
}

uint32_t createIndices(RendererState*, uint32_t count, const uint32_t*) {
    RecordedCall& c = record("createIndexBufferInRendererWithData");
    c.values[0] = static_cast<int32_t>(count);
    return c.values[2] = static_cast<int32_t>(gNextBuffer++);
}

uint32_t updateIndices(RendererState*, uint32_t id, uint32_t count, const uint32_t*) {
    RecordedCall& c = record("updateIndexBufferInRenderer");
    c.values[0] = static_cast<int32_t>(count), c.values[2] = static_cast<int32_t>(id);
    return id;
}

void deleteBuffer(RendererState*, uint32_t) {}

bool loadShader(RendererState*, ShaderRecord* shader, const char*) {
    if (shader->slot < 0) shader->slot = static_cast<int32_t>(gNextBuffer++);
    record("loadShaderFromSourceInRenderer").shader = shader;
    return true;
}

void setShaderInput(RendererState*, ShaderRecord* shader, int32_t format, const UniformDeclaration*, uint32_t count) {
    RecordedCall& c = record("setShaderInputInRenderer");
    c.shader = shader, c.values[0] = format, c.values[1] = static_cast<int32_t>(count);
}

bool compileShader(RendererState*, ShaderRecord* shader) {
    record("compileShaderInRenderer").shader = shader;
    return true;
}

const char* source() { return "// built-in"; }

} // namespace

void bindGuiRecorder(uint32_t width, uint32_t height, uint32_t maxTextureSize) {
    bindTextureRecorder(maxTextureSize);
    gCalls.clear();
    gNextBuffer = 100;
    gRendererState = RendererState{};
    gRendererState.width = width;
    gRendererState.height = height;
    gRendererState.scissorTop = static_cast<int32_t>(height);
    gRendererState.scissorRight = static_cast<int32_t>(width);
    gRendererState.quadVertexInput = 900;
    gRendererState.quadIndexBuffer = 901;
    gRenderer.setViewPortOnRenderer = setViewPort;
    gRenderer.setScissorOnRenderer = setScissor;
    gRenderer.bindShaderInRenderer = bindShader;
    gRenderer.sendMatrix4x4ToShaderInRenderer = sendMatrix;
    gRenderer.sendVector3DToShaderInRenderer = sendVector3;
    gRenderer.sendVector4DToShaderInRenderer = sendVector4;
    gRenderer.drawIndexedInRenderer = draw;
    gRenderer.bindTextureInRenderer = bindTexture;
    gRenderer.createVertexInputBufferInRenderer = createVertices;
    gRenderer.updateVertexInputBufferInRenderer = updateVertices;
    gRenderer.createIndexBufferInRendererWithData = createIndices;
    gRenderer.updateIndexBufferInRenderer = updateIndices;
    gRenderer.deleteVertexInputBufferInRenderer = deleteBuffer;
    gRenderer.deleteIndexBufferInRenderer = deleteBuffer;
    gRenderer.loadShaderFromSourceInRenderer = loadShader;
    gRenderer.setShaderInputInRenderer = setShaderInput;
    gRenderer.compileShaderInRenderer = compileShader;
    gRenderer.defaultGUITextShaderSource = source;
    gRenderer.defaultGUIColorShaderSource = source;
    gRenderer.defaultGUITransformedTextShaderSource = source;
    gRenderer.defaultGUIImageShaderSource = source;
}

std::vector<RecordedCall>& recordedCalls() { return gCalls; }

size_t countCalls(const char* name) {
    size_t n = 0;
    for (const RecordedCall& c : gCalls) n += c.name == name;
    return n;
}

const RecordedCall* lastUniform(const char* name) {
    for (size_t i = gCalls.size(); i-- > 0;)
        if (gCalls[i].text == name) return &gCalls[i];
    return nullptr;
}
