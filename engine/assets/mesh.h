// The Mesh record: growable arrays of 32-bit vertex slots and of 32-bit indices, and
// the VertexFormat id (backend/vertex_formats.h) that says how one vertex's slots are
// laid out. All fields zero is an empty mesh in format 0.
//
// Interface fixed for every user of the record (the readers, the game, the text code,
// the content tools); the implementation lives beside it in engine/assets/.
#pragma once

#include <stdint.h>

struct Mesh {
    uint32_t vertexSlotCount;    // vertex count x slots per vertex of the format
    uint32_t vertexSlotCapacity;
    float* vertices;             // 32-bit slots; joints and mesh indices are integers stored bit for bit
    uint32_t indexCount;
    uint32_t indexCapacity;
    uint32_t* indices;           // triangle list
    int32_t vertexFormat;
};

// Derived, never stored: vertex slot count / slots per vertex (0 for an unknown format).
uint32_t meshVertexCount(const Mesh* mesh);

// Count setters with the DynArray growth rule: at or below the capacity only the count
// changes; otherwise the capacity becomes max(capacity, 2) doubled until it exceeds the
// request, and the old elements are copied. Return false (mesh unchanged) when the
// memory cannot be had.
bool setMeshVertexSlotCount(Mesh* mesh, uint32_t count);
bool setMeshIndexCount(Mesh* mesh, uint32_t count);

// Frees both blocks and zeroes the record (the format is kept).
void releaseMesh(Mesh* mesh);

// Picks a reader by the first of ".json", ".mesh", ".dmesh", ".gltf", ".glb" found
// anywhere in the path. False when no reader matched or the file was refused.
bool loadMesh(Mesh* mesh, const char* path);

// Grows the mesh by one vertex and writes x, y, z into its position slots.
void appendVertexPosition(Mesh* mesh, float x, float y, float z);
void computeSmoothNormals(Mesh* mesh);
// Appends other (same format), its indices offset by this mesh's vertex count. False,
// with the mesh unchanged, for another format, counts past 32 bits or no memory.
bool appendMesh(Mesh* mesh, const Mesh* other);
void convertVertexFormat(Mesh* mesh, int32_t format);

// Ray against a mesh placed by translation, per-axis scale and rotation (x, y, z, w).
// True with the distance (in units of the direction's length) of the nearest hit.
bool intersectRayMesh(const float* origin, const float* direction, const float* translation, const float* scale,
                      const float* rotation, float* distanceOut, const float* vertices, const uint32_t* indices,
                      uint32_t indexCount, int32_t format);
