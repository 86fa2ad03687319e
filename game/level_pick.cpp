#include "game/nearest_pick.h"

#include "backend/vertex_formats.h"

#include <math.h>

namespace {

// Small enough that a ray rarely opens more than a few runs of triangles, large enough
// that the boxes stay a small part of the memory.
const uint32_t kTrianglesPerChunk = 32;

// Position components of a vertex format with fewer than three lie in the plane z = 0.
Vec3 vertexPosition(const Mesh* mesh, uint32_t vertex, int32_t slots, int32_t components) {
    const float* p = mesh->vertices + static_cast<size_t>(vertex) * static_cast<size_t>(slots);
    return Vec3{p[0], components > 1 ? p[1] : 0.0f, components > 2 ? p[2] : 0.0f};
}

void widenBox(PickBox* box, Vec3 p) {
    box->lo = Vec3{fminf(box->lo.x, p.x), fminf(box->lo.y, p.y), fminf(box->lo.z, p.z)};
    box->hi = Vec3{fmaxf(box->hi.x, p.x), fmaxf(box->hi.y, p.y), fmaxf(box->hi.z, p.z)};
}

} // namespace

bool appendLevelPick(LevelPick* level, const Mesh* mesh) {
    const int32_t slots = vertexFormatSlots(mesh->vertexFormat);
    const int32_t components = vertexAttributeComponents(mesh->vertexFormat, VERTEX_ATTRIBUTE_POSITION);
    const uint32_t vertexCount = meshVertexCount(mesh);
    const uint32_t indexCount = mesh->indexCount / 3 * 3;
    if (vertexCount == 0 || indexCount == 0 || components == 0) return true; // nothing to hit
    if (!mesh->vertices || !mesh->indices) return false;

    const uint32_t oldPositions = level->positions.count, oldIndices = level->indices.count,
                   oldChunks = level->chunks.count;
    const uint32_t firstVertex = oldPositions / 3;
    // Every count below must fit 32 bits: positions are three floats a vertex.
    if (vertexCount > (0xFFFFFFFFu - oldPositions) / 3 || indexCount > 0xFFFFFFFFu - oldIndices) return false;
    for (uint32_t i = 0; i < indexCount; ++i)
        if (mesh->indices[i] >= vertexCount) return false;

    const uint32_t chunkCount = (indexCount / 3 + kTrianglesPerChunk - 1) / kTrianglesPerChunk;
    if (!setDynArrayCount(&level->positions, oldPositions + 3 * vertexCount) ||
        !setDynArrayCount(&level->indices, oldIndices + indexCount) ||
        !setDynArrayCount(&level->chunks, oldChunks + chunkCount)) {
        level->positions.count = oldPositions;
        level->indices.count = oldIndices;
        level->chunks.count = oldChunks;
        return false;
    }

    float* positions = level->positions.elements + oldPositions;
    for (uint32_t v = 0; v < vertexCount; ++v) {
        Vec3 p = vertexPosition(mesh, v, slots, components);
        positions[3 * v] = p.x;
        positions[3 * v + 1] = p.y;
        positions[3 * v + 2] = p.z;
    }
    uint32_t* indices = level->indices.elements + oldIndices;
    for (uint32_t i = 0; i < indexCount; ++i) indices[i] = firstVertex + mesh->indices[i];

    for (uint32_t c = 0; c < chunkCount; ++c) {
        LevelPickChunk* chunk = &level->chunks.elements[oldChunks + c];
        uint32_t first = c * kTrianglesPerChunk * 3;
        uint32_t count = indexCount - first < kTrianglesPerChunk * 3 ? indexCount - first : kTrianglesPerChunk * 3;
        chunk->firstIndex = oldIndices + first;
        chunk->indexCount = count;
        chunk->box = PickBox{Vec3{1e30f, 1e30f, 1e30f}, Vec3{-1e30f, -1e30f, -1e30f}};
        for (uint32_t i = first; i < first + count; ++i)
            widenBox(&chunk->box, vertexPosition(mesh, mesh->indices[i], slots, components));
        // A little room for rounding, so a ray grazing a flat run of triangles still
        // reaches the triangle test.
        chunk->box.lo = sub3(chunk->box.lo, Vec3{0.001f, 0.001f, 0.001f});
        chunk->box.hi = add3(chunk->box.hi, Vec3{0.001f, 0.001f, 0.001f});
    }
    return true;
}

void releaseLevelPick(LevelPick* level) {
    releaseDynArray(&level->positions);
    releaseDynArray(&level->indices);
    releaseDynArray(&level->chunks);
}

float levelPickDistance(const LevelPick* level, const Ray* ray, float limit) {
    const float origin[3] = {ray->origin.x, ray->origin.y, ray->origin.z};
    const float direction[3] = {ray->direction.x, ray->direction.y, ray->direction.z};
    const float translation[3] = {0.0f, 0.0f, 0.0f}, scale[3] = {1.0f, 1.0f, 1.0f}, rotation[4] = {0, 0, 0, 1};
    const int32_t positionsOnly = 3; // vertex format 3: xyz
    float best = limit;
    for (uint32_t c = 0; c < level->chunks.count; ++c) {
        const LevelPickChunk* chunk = &level->chunks.elements[c];
        if (!rayEntersBox(ray, &chunk->box, best)) continue;
        float distance;
        if (intersectRayMesh(origin, direction, translation, scale, rotation, &distance, level->positions.elements,
                             level->indices.elements + chunk->firstIndex, chunk->indexCount, positionsOnly) &&
            distance < best)
            best = distance;
    }
    return best;
}
