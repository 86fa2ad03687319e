// What the fuzz targets hold every reader to, beyond "no sanitizer report": a refused
// file leaves the destination as it was, an accepted one is something its users can
// walk without reading past an array.
#pragma once

#include "engine/assets/mesh.h"

#include <stddef.h>
#include <stdint.h>

// A broken promise is a crash, so that libFuzzer keeps the input that shows it.
#define FUZZ_CHECK(condition) ((condition) ? (void)0 : fuzzCheckFailed(#condition, __FILE__, __LINE__))
[[noreturn]] void fuzzCheckFailed(const char* condition, const char* file, int line);

// Whether the reason for the last refusal is there and names the file, as a person
// reading it needs.
bool refusalNames(const char* path);

// A mesh in the given format that already holds one triangle, so that a reader that
// appends keeps it in front and a refusal can be seen to leave it.
Mesh preparedMesh(int32_t format);

// A copy of a mesh's counts, format and contents.
struct MeshSnapshot {
    Mesh mesh;
};
MeshSnapshot snapshotMesh(const Mesh* mesh);
bool meshMatches(const Mesh* mesh, const MeshSnapshot* snapshot);
// Whether the mesh starts with the snapshot's vertices and indices.
bool meshStartsWith(const Mesh* mesh, const MeshSnapshot* snapshot);
void releaseSnapshot(MeshSnapshot* snapshot);

// A mesh a reader accepted: whole vertices, every index naming one of them. Then the
// game's uses of a loaded mesh run over it: a ray test, smooth normals, a conversion.
void checkAcceptedMesh(Mesh* mesh);

// Reads every byte of a block (a sanitizer sees a block that is shorter) and returns a
// value that depends on all of them.
uint64_t touchBytes(const void* bytes, size_t size);

// The text after the first `"name":"` in the input, up to the next quote (at most 63
// bytes), or null: a node name to filter a model by.
const char* firstNodeName(const uint8_t* data, size_t size, char out[64]);
