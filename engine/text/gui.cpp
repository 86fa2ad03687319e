#include "engine/text/gui.h"

#include "backend/renderer_api.h"
#include "engine/assets/dyn_array.h"
#include "engine/program/program_state.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

namespace {

struct BuiltInShader {
    const char* (*source)();
    int32_t vertexFormat;
    UniformDeclaration uniforms[3];
    uint32_t uniformCount;
    uint32_t blendMode;
};

ShaderRecord gBuiltIn[GUI_SHADER_COUNT] = {{-1, 0, nullptr, 0, nullptr, 0, 0},
                                          {-1, 0, nullptr, 0, nullptr, 0, 0},
                                          {-1, 0, nullptr, 0, nullptr, 0, 0},
                                          {-1, 0, nullptr, 0, nullptr, 0, 0}};
bool gBuiltInCreated;

void createBuiltInShaders() {
    if (gBuiltInCreated || !gRenderer.loadShaderFromSourceInRenderer || !gRenderer.defaultGUITextShaderSource)
        return;
    const BuiltInShader table[GUI_SHADER_COUNT] = {
        {gRenderer.defaultGUITextShaderSource, 8, {{"pos", 0, 3}, {"scale", 0, 3}, {}}, 2, BLEND_ALPHA},
        {gRenderer.defaultGUIColorShaderSource, 0, {{"mvMat", 0, 16}, {"projMat", 0, 16}, {"color", 0, 4}}, 3,
         BLEND_ALPHA},
        {gRenderer.defaultGUITransformedTextShaderSource, 8, {{"mvMat", 0, 16}, {"projMat", 0, 16}, {}}, 2,
         BLEND_ALPHA},
        {gRenderer.defaultGUIImageShaderSource, 0, {{"mvMat", 0, 16}, {"projMat", 0, 16}, {}}, 2,
         BLEND_PREMULTIPLIED},
    };
    for (int i = 0; i < GUI_SHADER_COUNT; ++i) {
        ShaderRecord* shader = &gBuiltIn[i];
        shader->blendMode = table[i].blendMode;
        const char* source = table[i].source ? table[i].source() : nullptr;
        if (source) gRenderer.loadShaderFromSourceInRenderer(&gRendererState, shader, source);
        gRenderer.setShaderInputInRenderer(&gRendererState, shader, table[i].vertexFormat, table[i].uniforms,
                                           table[i].uniformCount);
        gRenderer.compileShaderInRenderer(&gRendererState, shader);
    }
    gBuiltInCreated = true;
}

int32_t toWindow(float design, float span, int32_t pixels) {
    return static_cast<int32_t>(lroundf(design / span * static_cast<float>(pixels)));
}

} // namespace

ShaderRecord* guiBuiltInShader(GuiShader shader) { return &gBuiltIn[shader]; }

void initGui(GuiContext* gui, ShaderRecord* textShader, ShaderRecord* colorShader) {
    memset(gui, 0, sizeof(*gui));
    createBuiltInShaders();
    gui->textShader = textShader ? textShader : &gBuiltIn[GUI_SHADER_TEXT];
    gui->colorShader = colorShader ? colorShader : &gBuiltIn[GUI_SHADER_COLOR];
    gui->projection = identityMatrix4();
    orthographic(&gui->projection, 0.0f, GUI_DESIGN_WIDTH, 0.0f, GUI_DESIGN_HEIGHT, -2.0f, 10.0f);
    gui->modelView = identityMatrix4();
    setGuiViewport(gui, 0, 0, static_cast<int32_t>(gRendererState.width), static_cast<int32_t>(gRendererState.height));
    if (reallocateElements(&gui->ring, 0, GUI_MESH_RING_START)) {
        gui->ringSize = GUI_MESH_RING_START;
        for (uint32_t i = 0; i < gui->ringSize; ++i) gui->ring[i] = emptyGpuMesh();
    }
}

void setGuiViewport(GuiContext* gui, int32_t x, int32_t y, int32_t width, int32_t height) {
    gui->viewportX = x;
    gui->viewportY = y;
    gui->viewportWidth = width;
    gui->viewportHeight = height;
}

void setGuiInput(GuiContext* gui, int32_t cursorX, int32_t cursorY, bool leftDown) {
    gui->cursorX = cursorX;
    gui->cursorY = cursorY;
    gui->leftDown = leftDown ? 1 : 0;
}

void beginGuiFrame(GuiContext* gui) {
    if (gui->ringUsed > gui->ringSize) {
        uint32_t size = gui->ringUsed + 1;
        if (reallocateElements(&gui->ring, gui->ringSize, size)) {
            for (uint32_t i = gui->ringSize; i < size; ++i) gui->ring[i] = emptyGpuMesh();
            gui->ringSize = size;
        }
    }
    gui->ringUsed = 0;
}

GuiPixelRect guiRectToWindow(const GuiContext* gui, float x, float y, float width, float height) {
    float left = x + (gui->panelOpen ? gui->panelX : 0.0f);
    float bottom = y + (gui->panelOpen ? gui->panelY : 0.0f);
    GuiPixelRect rect;
    rect.x0 = gui->viewportX + toWindow(left, GUI_DESIGN_WIDTH, gui->viewportWidth);
    rect.y0 = gui->viewportY + toWindow(bottom, GUI_DESIGN_HEIGHT, gui->viewportHeight);
    rect.x1 = gui->viewportX + toWindow(left + width, GUI_DESIGN_WIDTH, gui->viewportWidth);
    rect.y1 = gui->viewportY + toWindow(bottom + height, GUI_DESIGN_HEIGHT, gui->viewportHeight);
    return rect;
}

void drawGuiRectangle(GuiContext* gui, float x, float y, float width, float height, const float color[4]) {
    if (!gRenderer.drawIndexedInRenderer || !gui->colorShader) return;
    RendererState* state = &gRendererState;
    float left = x + (gui->panelOpen ? gui->panelX : 0.0f);
    float bottom = y + (gui->panelOpen ? gui->panelY : 0.0f);
    Mat4 place;
    Mat4 translation = translationMatrix(vec3(left, bottom, 0.0f));
    Mat4 scale = scaleMatrix(vec3(width, height, 1.0f));
    multiplyMatrix4(&place, &translation, &scale);
    Mat4 modelView;
    multiplyMatrix4(&modelView, &gui->modelView, &place);

    int32_t saved[4] = {state->scissorLeft, state->scissorBottom, state->scissorRight, state->scissorTop};
    if (gui->panelOpen) {
        GuiPixelRect clip = gui->panelClip;
        if (clip.x1 <= clip.x0 || clip.y1 <= clip.y0) return;
        gRenderer.setScissorOnRenderer(state, clip.x0, clip.y0, clip.x1, clip.y1);
    }
    ShaderRecord* previous = state->currentShader;
    gRenderer.setViewPortOnRenderer(state, gui->viewportX, gui->viewportY, gui->viewportWidth, gui->viewportHeight);
    gRenderer.bindShaderInRenderer(state, gui->colorShader);
    gRenderer.sendMatrix4x4ToShaderInRenderer(state, gui->colorShader, "projMat", gui->projection.m);
    gRenderer.sendMatrix4x4ToShaderInRenderer(state, gui->colorShader, "mvMat", modelView.m);
    gRenderer.sendVector4DToShaderInRenderer(state, gui->colorShader, "color", color);
    gRenderer.drawIndexedInRenderer(state, gui->colorShader, state->quadIndexBuffer, state->quadVertexInput);
    if (previous && previous != gui->colorShader) gRenderer.bindShaderInRenderer(state, previous);
    if (gui->panelOpen) gRenderer.setScissorOnRenderer(state, saved[0], saved[1], saved[2], saved[3]);
}

void releaseGui(GuiContext* gui) {
    for (uint32_t i = 0; gui->ring && i < gui->ringSize; ++i) {
        GpuMesh* slot = &gui->ring[i];
        if (slot->vertexInput != RENDERER_INVALID_ID && gRenderer.deleteVertexInputBufferInRenderer)
            gRenderer.deleteVertexInputBufferInRenderer(&gRendererState, slot->vertexInput);
        if (slot->indexBuffer != RENDERER_INVALID_ID && gRenderer.deleteIndexBufferInRenderer)
            gRenderer.deleteIndexBufferInRenderer(&gRendererState, slot->indexBuffer);
    }
    releaseBlock(gui->ring);
    gui->ring = nullptr;
    gui->ringSize = 0;
    gui->ringUsed = 0;
}
