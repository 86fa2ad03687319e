// glTF 2.0 models as one Mesh in world space: ".gltf" (JSON text and one external
// buffer file) and ".glb" (one binary container).
#pragma once

#include "engine/assets/gltf_document.h"
#include "engine/assets/mesh.h"

struct Transform {
    Vec3 translation;
    Vec3 scale;
    Quat rotation; // unit quaternion x, y, z, w
};

inline Transform identityTransform() {
    return Transform{Vec3{0, 0, 0}, Vec3{1, 1, 1}, Quat{0, 0, 0, 1}};
}

// The n-th node (array order, from 0) that carries a mesh: its world transform through
// its ancestors (the first node listing a node as a child is its parent), a pointer to
// the node, and the mesh it names. Null when there are not n + 1 such nodes, when the
// node names no mesh of the document, or when its chain of parents loops.
const GltfMesh* meshNodeWorld(const GltfDocument* document, uint32_t n, Transform* transformOut,
                              const GltfNode** nodeOut);
const GltfMesh* firstMeshNodeWorld(const GltfDocument* document, Transform* transformOut, const GltfNode** nodeOut);

// Appends primitive k of the glTF mesh to `mesh` in the mesh's vertex format, positions
// placed by the transform. binary is the document's one buffer of bufferSize bytes.
// Indices are stored as read (the mesh is expected empty). False, mesh untouched, when
// the primitive reads outside its buffer, names vertices it does not have, or has an
// accessor of the wrong kind; the reason is in assetRefusal().
bool buildPrimitive(Mesh* mesh, const GltfDocument* document, const GltfMesh* gltfMesh, const unsigned char* binary,
                    uint64_t bufferSize, Transform transform, uint32_t k);

// The first primitive of the first mesh node, built into `mesh`. False, mesh
// untouched, when the file, its document or its buffer is refused.
bool loadGltf(Mesh* mesh, const char* path);

// Every primitive of every mesh node (or only of the nodes named nodeName), merged
// behind what the mesh already holds; primitives with a material take its base colour.
// False, mesh untouched, when the file or anything in it is refused.
bool loadGlb(Mesh* mesh, const char* path, const char* nodeName);
