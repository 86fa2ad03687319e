#include "engine/assets/mesh.h"

#include "backend/vertex_formats.h"
#include "engine/assets/dyn_array.h"
#include "engine/math/vector.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

uint32_t meshVertexCount(const Mesh* mesh) {
    int32_t slots = vertexFormatSlots(mesh->vertexFormat);
    return slots > 0 ? mesh->vertexSlotCount / static_cast<uint32_t>(slots) : 0;
}

bool setMeshVertexSlotCount(Mesh* mesh, uint32_t count) {
    if (count > mesh->vertexSlotCapacity) {
        void* block = mesh->vertices;
        if (!growBlock(&block, &mesh->vertexSlotCapacity, count, sizeof(float))) return false;
        mesh->vertices = static_cast<float*>(block);
    }
    mesh->vertexSlotCount = count;
    return true;
}

bool setMeshIndexCount(Mesh* mesh, uint32_t count) {
    if (count > mesh->indexCapacity) {
        void* block = mesh->indices;
        if (!growBlock(&block, &mesh->indexCapacity, count, sizeof(uint32_t))) return false;
        mesh->indices = static_cast<uint32_t*>(block);
    }
    mesh->indexCount = count;
    return true;
}

void releaseMesh(Mesh* mesh) {
    releaseBlock(mesh->vertices);
    releaseBlock(mesh->indices);
    int32_t format = mesh->vertexFormat;
    *mesh = Mesh{};
    mesh->vertexFormat = format;
}

void appendVertexPosition(Mesh* mesh, float x, float y, float z) {
    int32_t slots = vertexFormatSlots(mesh->vertexFormat);
    if (slots == 0) return;
    uint32_t first = meshVertexCount(mesh) * static_cast<uint32_t>(slots);
    if (static_cast<uint64_t>(first) + static_cast<uint32_t>(slots) > 0xFFFFFFFFu) return;
    if (!setMeshVertexSlotCount(mesh, first + static_cast<uint32_t>(slots))) return;
    float* vertex = mesh->vertices + first;
    // The caller fills the other attributes; until then they read as zero.
    memset(vertex, 0, sizeof(float) * static_cast<size_t>(slots));
    int32_t components = vertexAttributeComponents(mesh->vertexFormat, VERTEX_ATTRIBUTE_POSITION);
    vertex[0] = x;
    vertex[1] = y;
    if (components == 3) vertex[2] = z;
}

namespace {

Vec3 positionOf(const float* vertices, uint32_t vertex, int32_t slots, int32_t components) {
    const float* p = vertices + static_cast<size_t>(vertex) * static_cast<size_t>(slots);
    return Vec3{p[0], p[1], components == 3 ? p[2] : 0.0f};
}

Vec3 divideByLength(Vec3 v) {
    float length = sqrtf(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length != 0.0f) v = Vec3{v.x / length, v.y / length, v.z / length};
    return v;
}

} // namespace

// Each vertex gets the normalised sum of the face normals of the triangles naming it.
// Summing triangle by triangle into every named vertex adds the same terms in the same
// order as summing vertex by vertex, so the result is the same bit for bit at a cost
// of vertices + triangles instead of their product.
void computeSmoothNormals(Mesh* mesh) {
    int32_t format = mesh->vertexFormat;
    int32_t normal = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_NORMAL);
    if (normal < 0) return;
    int32_t slots = vertexFormatSlots(format);
    int32_t components = vertexAttributeComponents(format, VERTEX_ATTRIBUTE_POSITION);
    uint32_t vertexCount = meshVertexCount(mesh);
    if (vertexCount == 0) return;
    unsigned char* named = static_cast<unsigned char*>(calloc(vertexCount, 1));
    if (!named) return;

    float* vertices = mesh->vertices;
    for (uint32_t v = 0; v < vertexCount; ++v) {
        float* n = vertices + static_cast<size_t>(v) * slots + normal;
        n[0] = n[1] = n[2] = 0.0f;
    }
    const uint32_t* indices = mesh->indices;
    for (uint32_t t = 0; t + 2 < mesh->indexCount; t += 3) {
        uint32_t a = indices[t], b = indices[t + 1], c = indices[t + 2];
        // A triangle naming a vertex that does not exist has no face to contribute.
        if (a >= vertexCount || b >= vertexCount || c >= vertexCount) continue;
        Vec3 pa = positionOf(vertices, a, slots, components);
        Vec3 pb = positionOf(vertices, b, slots, components);
        Vec3 pc = positionOf(vertices, c, slots, components);
        Vec3 face = divideByLength(cross3(sub3(pb, pa), sub3(pc, pb)));
        uint32_t corners[3] = {a, b, c};
        for (int k = 0; k < 3; ++k) {
            uint32_t v = corners[k];
            if ((k >= 1 && v == corners[0]) || (k == 2 && v == corners[1])) continue; // named twice: once
            float* n = vertices + static_cast<size_t>(v) * slots + normal;
            n[0] += face.x;
            n[1] += face.y;
            n[2] += face.z;
            named[v] = 1;
        }
    }
    for (uint32_t v = 0; v < vertexCount; ++v) {
        float* n = vertices + static_cast<size_t>(v) * slots + normal;
        Vec3 sum = named[v] ? divideByLength(Vec3{n[0], n[1], n[2]}) : Vec3{0.0f, 0.0f, 1.0f};
        n[0] = sum.x;
        n[1] = sum.y;
        n[2] = sum.z;
    }
    free(named);
}

bool appendMesh(Mesh* mesh, const Mesh* other) {
    // Slots of another layout would be misread as this one's.
    if (other->vertexFormat != mesh->vertexFormat) return false;
    uint32_t base = meshVertexCount(mesh);
    uint32_t oldIndexCount = mesh->indexCount, addedIndices = other->indexCount;
    uint32_t oldSlotCount = mesh->vertexSlotCount, addedSlots = other->vertexSlotCount;
    if (static_cast<uint64_t>(oldIndexCount) + addedIndices > 0xFFFFFFFFu) return false;
    if (static_cast<uint64_t>(oldSlotCount) + addedSlots > 0xFFFFFFFFu) return false;

    // Grow both blocks first so a failure leaves the mesh as it was. `other` may be
    // `mesh` itself: its counts were taken above and its blocks are read after growth.
    void* indexBlock = mesh->indices;
    void* vertexBlock = mesh->vertices;
    if (addedIndices && !growBlock(&indexBlock, &mesh->indexCapacity, oldIndexCount + addedIndices, sizeof(uint32_t)))
        return false;
    mesh->indices = static_cast<uint32_t*>(indexBlock);
    if (addedSlots && !growBlock(&vertexBlock, &mesh->vertexSlotCapacity, oldSlotCount + addedSlots, sizeof(float)))
        return false;
    mesh->vertices = static_cast<float*>(vertexBlock);

    if (addedIndices) {
        for (uint32_t i = 0; i < addedIndices; ++i) mesh->indices[oldIndexCount + i] = other->indices[i] + base;
        mesh->indexCount = oldIndexCount + addedIndices;
    }
    if (addedSlots) {
        memcpy(mesh->vertices + oldSlotCount, other->vertices, sizeof(float) * static_cast<size_t>(addedSlots));
        mesh->vertexSlotCount = oldSlotCount + addedSlots;
    }
    return true;
}

namespace {

// Copies `count` slots of one attribute when both layouts have it.
void copyAttribute(float* to, int32_t toOffset, const float* from, int32_t fromOffset, int32_t count) {
    if (toOffset < 0 || fromOffset < 0 || count <= 0) return;
    memcpy(to + toOffset, from + fromOffset, sizeof(float) * static_cast<size_t>(count));
}

} // namespace

void convertVertexFormat(Mesh* mesh, int32_t format) {
    int32_t from = mesh->vertexFormat;
    if (format == from) return;
    if (!isVertexFormat(format) || !isVertexFormat(from)) return;
    uint32_t vertexCount = meshVertexCount(mesh);
    int32_t oldSlots = vertexFormatSlots(from), newSlots = vertexFormatSlots(format);
    uint64_t product = static_cast<uint64_t>(vertexCount) * static_cast<uint32_t>(newSlots);
    if (product > 0xFFFFFFFFu) return;
    uint32_t slotCount = static_cast<uint32_t>(product);
    // The mesh block is sized like a DynArray that grew to hold the new slots.
    uint32_t blockSlots = slotCount ? grownCapacity(0, slotCount) : 0;

    float* work = nullptr;
    if (slotCount) {
        work = static_cast<float*>(calloc(slotCount, sizeof(float)));
        if (!work) return;
    }
    int32_t oldPositions = vertexAttributeComponents(from, VERTEX_ATTRIBUTE_POSITION);
    int32_t newPositions = vertexAttributeComponents(format, VERTEX_ATTRIBUTE_POSITION);
    int32_t oldColors = vertexAttributeComponents(from, VERTEX_ATTRIBUTE_COLOR);
    int32_t newColors = vertexAttributeComponents(format, VERTEX_ATTRIBUTE_COLOR);
    int32_t newMeshIndex = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_MESH_INDEX);
    bool oldHasMeshIndex = vertexAttributeOffset(from, VERTEX_ATTRIBUTE_MESH_INDEX) >= 0;
    for (uint32_t v = 0; v < vertexCount; ++v) {
        const float* source = mesh->vertices + static_cast<size_t>(v) * oldSlots;
        float* target = work + static_cast<size_t>(v) * newSlots;
        target[0] = source[0];
        target[1] = source[1];
        if (newPositions == 3) target[2] = oldPositions == 3 ? source[2] : 0.0f;
        copyAttribute(target, vertexAttributeOffset(format, VERTEX_ATTRIBUTE_TEXCOORD), source,
                      vertexAttributeOffset(from, VERTEX_ATTRIBUTE_TEXCOORD), 2);
        copyAttribute(target, vertexAttributeOffset(format, VERTEX_ATTRIBUTE_COLOR), source,
                      vertexAttributeOffset(from, VERTEX_ATTRIBUTE_COLOR), oldColors < newColors ? oldColors : newColors);
        copyAttribute(target, vertexAttributeOffset(format, VERTEX_ATTRIBUTE_NORMAL), source,
                      vertexAttributeOffset(from, VERTEX_ATTRIBUTE_NORMAL), 3);
        if (newMeshIndex >= 0) {
            if (oldHasMeshIndex)
                copyAttribute(target, newMeshIndex, source, vertexAttributeOffset(from, VERTEX_ATTRIBUTE_MESH_INDEX),
                              1);
            else
                memset(target + newMeshIndex, 0, sizeof(float)); // integer 0
        }
        copyAttribute(target, vertexAttributeOffset(format, VERTEX_ATTRIBUTE_JOINTS), source,
                      vertexAttributeOffset(from, VERTEX_ATTRIBUTE_JOINTS), 4);
        copyAttribute(target, vertexAttributeOffset(format, VERTEX_ATTRIBUTE_WEIGHTS), source,
                      vertexAttributeOffset(from, VERTEX_ATTRIBUTE_WEIGHTS), 4);
    }

    if (mesh->vertexSlotCapacity < blockSlots) {
        float* block = static_cast<float*>(calloc(blockSlots, sizeof(float)));
        if (!block) {
            free(work);
            return;
        }
        releaseBlock(mesh->vertices);
        mesh->vertices = block;
        mesh->vertexSlotCapacity = blockSlots;
    }
    if (slotCount) memcpy(mesh->vertices, work, sizeof(float) * static_cast<size_t>(slotCount));
    free(work);
    mesh->vertexFormat = format;
    mesh->vertexSlotCount = slotCount;
}
