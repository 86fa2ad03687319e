#include "tests/fuzz/fuzz_checks.h"

#include "backend/vertex_formats.h"
#include "engine/assets/asset_refusal.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

volatile uint64_t gTouched;

void fuzzCheckFailed(const char* condition, const char* file, int line) {
    fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", condition, file, line);
    abort();
}

bool refusalNames(const char* path) { return strstr(assetRefusal(), path) != nullptr; }

Mesh preparedMesh(int32_t format) {
    Mesh mesh = {};
    mesh.vertexFormat = format;
    appendVertexPosition(&mesh, 0, 0, 0);
    appendVertexPosition(&mesh, 1, 0, 0);
    appendVertexPosition(&mesh, 0, 1, 0);
    setMeshIndexCount(&mesh, 3);
    for (uint32_t i = 0; i < 3; ++i) mesh.indices[i] = i;
    return mesh;
}

MeshSnapshot snapshotMesh(const Mesh* mesh) {
    MeshSnapshot snapshot = {};
    snapshot.mesh.vertexFormat = mesh->vertexFormat;
    setMeshVertexSlotCount(&snapshot.mesh, mesh->vertexSlotCount);
    setMeshIndexCount(&snapshot.mesh, mesh->indexCount);
    if (mesh->vertexSlotCount) memcpy(snapshot.mesh.vertices, mesh->vertices, 4 * size_t(mesh->vertexSlotCount));
    if (mesh->indexCount) memcpy(snapshot.mesh.indices, mesh->indices, 4 * size_t(mesh->indexCount));
    return snapshot;
}

bool meshStartsWith(const Mesh* mesh, const MeshSnapshot* snapshot) {
    const Mesh* s = &snapshot->mesh;
    if (mesh->vertexFormat != s->vertexFormat || mesh->vertexSlotCount < s->vertexSlotCount ||
        mesh->indexCount < s->indexCount)
        return false;
    // Bit for bit: a NaN slot is unchanged when its bits are.
    return (!s->vertexSlotCount || memcmp(mesh->vertices, s->vertices, 4 * size_t(s->vertexSlotCount)) == 0) &&
           (!s->indexCount || memcmp(mesh->indices, s->indices, 4 * size_t(s->indexCount)) == 0);
}

bool meshMatches(const Mesh* mesh, const MeshSnapshot* snapshot) {
    return mesh->vertexSlotCount == snapshot->mesh.vertexSlotCount && mesh->indexCount == snapshot->mesh.indexCount &&
           meshStartsWith(mesh, snapshot);
}

void releaseSnapshot(MeshSnapshot* snapshot) { releaseMesh(&snapshot->mesh); }

void checkAcceptedMesh(Mesh* mesh) {
    int32_t slots = vertexFormatSlots(mesh->vertexFormat);
    FUZZ_CHECK(slots > 0);
    FUZZ_CHECK(mesh->vertexSlotCount % static_cast<uint32_t>(slots) == 0);
    FUZZ_CHECK(mesh->vertexSlotCount <= mesh->vertexSlotCapacity);
    FUZZ_CHECK(mesh->indexCount <= mesh->indexCapacity);
    uint32_t vertexCount = meshVertexCount(mesh);
    for (uint32_t i = 0; i < mesh->indexCount; ++i) FUZZ_CHECK(mesh->indices[i] < vertexCount);
    touchBytes(mesh->vertices, 4 * size_t(mesh->vertexSlotCount));

    const float origin[3] = {0.25f, 0.25f, 10.0f}, direction[3] = {0.0f, 0.0f, -1.0f};
    const float translation[3] = {0, 0, 0}, scale[3] = {1, 1, 1}, rotation[4] = {0, 0, 0, 1};
    float distance = 0;
    intersectRayMesh(origin, direction, translation, scale, rotation, &distance, mesh->vertices, mesh->indices,
                     mesh->indexCount, mesh->vertexFormat);
    computeSmoothNormals(mesh);
    convertVertexFormat(mesh, 0);
    FUZZ_CHECK(meshVertexCount(mesh) == vertexCount);
}

uint64_t touchBytes(const void* bytes, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    uint64_t hash = 0xCBF29CE484222325ull;
    for (size_t i = 0; i < size; ++i) hash = (hash ^ p[i]) * 0x100000001B3ull;
    gTouched = hash; // kept from being optimised away
    return hash;
}

const char* firstNodeName(const uint8_t* data, size_t size, char out[64]) {
    static const char kKey[] = "\"name\"";
    const size_t keyLength = sizeof(kKey) - 1;
    for (size_t at = 0; at + keyLength <= size; ++at) {
        if (memcmp(data + at, kKey, keyLength) != 0) continue;
        size_t i = at + keyLength;
        while (i < size && (data[i] == ' ' || data[i] == ':' || data[i] == '\t' || data[i] == '\n')) ++i;
        if (i >= size || data[i] != '"') continue;
        size_t n = 0;
        for (++i; i < size && data[i] != '"' && data[i] != 0 && n < 63; ++i) out[n++] = char(data[i]);
        out[n] = 0;
        return out;
    }
    return nullptr;
}
