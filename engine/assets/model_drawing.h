// Meshes in backend buffers and their drawing, all through the bound RendererApi
// (engine/program/program_state.h) with the address of gRendererState first.
#pragma once

#include "engine/assets/mesh.h"
#include "engine/math/matrix.h"

// Backend ids; RENDERER_INVALID_ID (0xFFFFFFFF) before the first upload.
struct GpuMesh {
    uint32_t vertexInput;
    uint32_t indexBuffer;
};

inline GpuMesh emptyGpuMesh() { return GpuMesh{0xFFFFFFFFu, 0xFFFFFFFFu}; }

// A placed, textured object: M = T(position) R(rotation) S(scale) T(-pivot).
struct SceneObject {
    GpuMesh* mesh;
    int32_t* texture; // texture id bound to unit 0
    Vec3 position;
    Vec3 scale;
    Quat rotation;
    Vec3 pivot;
};

// Creates the two buffers, or updates them when the ids are set; stores the ids returned.
void uploadMesh(GpuMesh* gpu, const float* vertices, uint32_t vertexCount, const uint32_t* indices,
                uint32_t indexCount, int32_t vertexFormat);
// The same from a Mesh (vertex count derived from its format).
void uploadMeshRecord(GpuMesh* gpu, const Mesh* mesh);

// Sends "modelMat", "inverseModelMat" (the inverse of the upper 3 x 3, or that 3 x 3
// unchanged when singular) and "mvMat" to the current shader, then draws.
void drawMesh(const GpuMesh* gpu, const Mat4* model, const Mat4* modelView);

Mat4 sceneObjectModelMatrix(const SceneObject* object);

// Binds the object's texture on unit 0 and draws it seen through view.
void drawSceneObject(const SceneObject* object, const Mat4* view);

// Deletes the buffers when created and resets both ids.
void releaseGpuMesh(GpuMesh* gpu);
