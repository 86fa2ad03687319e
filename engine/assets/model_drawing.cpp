#include "engine/assets/model_drawing.h"

#include "engine/program/program_state.h"
#include "backend/vertex_formats.h"

void uploadMesh(GpuMesh* gpu, const float* vertices, uint32_t vertexCount, const uint32_t* indices,
                uint32_t indexCount, int32_t vertexFormat) {
    RendererState* state = &gRendererState;
    if (gpu->vertexInput == RENDERER_INVALID_ID)
        gpu->vertexInput = gRenderer.createVertexInputBufferInRenderer(state, vertexCount, vertices, vertexFormat);
    else
        gpu->vertexInput =
            gRenderer.updateVertexInputBufferInRenderer(state, gpu->vertexInput, vertexCount, vertices, vertexFormat);
    if (gpu->indexBuffer == RENDERER_INVALID_ID)
        gpu->indexBuffer = gRenderer.createIndexBufferInRendererWithData(state, indexCount, indices);
    else
        gpu->indexBuffer = gRenderer.updateIndexBufferInRenderer(state, gpu->indexBuffer, indexCount, indices);
}

void uploadMeshRecord(GpuMesh* gpu, const Mesh* mesh) {
    uploadMesh(gpu, mesh->vertices, meshVertexCount(mesh), mesh->indices, mesh->indexCount, mesh->vertexFormat);
}

void drawMesh(const GpuMesh* gpu, const Mat4* model, const Mat4* modelView) {
    RendererState* state = &gRendererState;
    ShaderRecord* shader = state->currentShader;
    gRenderer.sendMatrix4x4ToShaderInRenderer(state, shader, "modelMat", model->m);
    // Normals go through the inverse of the upper 3 x 3; a singular one (a zero scale)
    // has none and is sent as it is.
    Mat3 upper = upperLeft3x3(model);
    Mat3 inverse = upper;
    inverseMatrix3(&upper, &inverse);
    gRenderer.sendMatrix3x3ToShaderInRenderer(state, shader, "inverseModelMat", inverse.m);
    gRenderer.sendMatrix4x4ToShaderInRenderer(state, shader, "mvMat", modelView->m);
    gRenderer.drawIndexedInRenderer(state, shader, gpu->indexBuffer, gpu->vertexInput);
}

Mat4 sceneObjectModelMatrix(const SceneObject* object) {
    Mat4 placed = transformMatrix(object->position, &object->rotation, object->scale);
    Mat4 pivot = translationMatrix(Vec3{-object->pivot.x, -object->pivot.y, -object->pivot.z});
    Mat4 model;
    multiplyMatrix4(&model, &placed, &pivot);
    return model;
}

void drawSceneObject(const SceneObject* object, const Mat4* view) {
    Mat4 model = sceneObjectModelMatrix(object);
    Mat4 modelView;
    multiplyMatrix4(&modelView, view, &model);
    if (object->texture) gRenderer.bindTextureInRenderer(&gRendererState, static_cast<uint32_t>(*object->texture), 0);
    if (object->mesh) drawMesh(object->mesh, &model, &modelView);
}

void releaseGpuMesh(GpuMesh* gpu) {
    if (gpu->vertexInput == RENDERER_INVALID_ID) return;
    gRenderer.deleteVertexInputBufferInRenderer(&gRendererState, gpu->vertexInput);
    // An id of -1 pushed on the backend's free stack would later be handed out as a buffer.
    if (gpu->indexBuffer != RENDERER_INVALID_ID) gRenderer.deleteIndexBufferInRenderer(&gRendererState, gpu->indexBuffer);
    gpu->vertexInput = RENDERER_INVALID_ID;
    gpu->indexBuffer = RENDERER_INVALID_ID;
}
