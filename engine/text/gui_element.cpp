#include "engine/text/gui_element.h"

#include "engine/program/program_state.h"

Mat4 guiElementMatrix(const GuiElement* element, const Mat4* parent) {
    Mat4 translation = translationMatrix(element->position);
    Mat4 rotation = rotationMatrix(&element->rotation);
    Mat4 scale = scaleMatrix(element->scale);
    Mat4 pivot = translationMatrix(vec3(-element->pivot.x, -element->pivot.y, -element->pivot.z));
    Mat4 model = parent ? *parent : identityMatrix4();
    multiplyMatrix4(&model, &model, &translation);
    multiplyMatrix4(&model, &model, &rotation);
    multiplyMatrix4(&model, &model, &scale);
    multiplyMatrix4(&model, &model, &pivot);
    return model;
}

void drawGuiElement(GuiContext* gui, const GuiElement* element, const Mat4* parent) {
    if (!element->mesh || !gRenderer.bindShaderInRenderer) return;
    RendererState* state = &gRendererState;
    ShaderRecord* shader = guiBuiltInShader(GUI_SHADER_IMAGE);
    ShaderRecord* previous = state->currentShader;
    Mat4 model = guiElementMatrix(element, parent);
    Mat4 modelView;
    multiplyMatrix4(&modelView, &gui->modelView, &model);
    gRenderer.bindShaderInRenderer(state, shader);
    gRenderer.sendMatrix4x4ToShaderInRenderer(state, shader, "projMat", gui->projection.m);
    if (element->texture) gRenderer.bindTextureInRenderer(state, static_cast<uint32_t>(*element->texture), 0);
    drawMesh(element->mesh, &model, &modelView);
    if (previous && previous != shader) gRenderer.bindShaderInRenderer(state, previous);
}
