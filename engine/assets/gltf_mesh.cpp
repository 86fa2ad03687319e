#include "engine/assets/gltf_mesh.h"

#include "backend/vertex_formats.h"
#include "engine/assets/asset_refusal.h"
#include "engine/assets/bytes.h"
#include "engine/math/matrix.h"
#include "engine/platform/files.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// ---- world transforms

// parents[i]: the first node (in node order) that lists node i as a child, or -1. One
// pass over the child lists, so that walking up from every node costs its depth only.
int32_t* nodeParents(const GltfDocument* document) {
    const uint32_t count = document->nodes.count;
    int32_t* parents = static_cast<int32_t*>(malloc((count ? count : 1) * sizeof(int32_t)));
    if (!parents) return nullptr;
    for (uint32_t i = 0; i < count; ++i) parents[i] = -1;
    for (uint32_t p = 0; p < count; ++p) {
        const DynArray<uint32_t>& children = document->nodes.elements[p].children;
        for (uint32_t c = 0; c < children.count; ++c)
            if (children.elements[c] < count && parents[children.elements[c]] < 0)
                parents[children.elements[c]] = static_cast<int32_t>(p);
    }
    return parents;
}

Mat4 nodeMatrix(const GltfNode* node) { return transformMatrix(node->translation, &node->rotation, node->scale); }

// ---- accessors

// Where the elements of one accessor are, once checked against the buffer.
struct ElementReader {
    const unsigned char* base; // null: the accessor has no view and its elements are zero
    uint64_t stride;
    int32_t componentType;
};

const unsigned char kZeroElement[64] = {};

const unsigned char* element(const ElementReader* reader, uint32_t i) {
    return reader->base ? reader->base + reader->stride * i : kZeroElement;
}

// Checks that `count` elements of accessor `index`, each read `readSize` bytes long,
// lie inside its buffer view and the view inside the buffer.
bool openAccessor(const GltfDocument* document, int32_t index, uint32_t count, uint32_t readSize,
                  const unsigned char* binary, uint64_t bufferSize, const char* what, ElementReader* reader) {
    const GltfAccessor& a = document->accessors.elements[index];
    reader->componentType = a.componentType;
    reader->stride = 0;
    reader->base = nullptr;
    if (count > a.count)
        return refuseAsset("%s accessor %d has %u elements, fewer than the %u vertices", what, index, a.count, count);
    if (!a.hasBufferView) return true;
    const GltfAccessorView& view = a.view;
    if (view.byteOffset < 0 || view.byteLength < 0 || a.byteOffset < 0 || view.byteStride < 0)
        return refuseAsset("%s accessor %d has a negative offset, length or stride", what, index);
    if (!rangeInside(static_cast<uint64_t>(view.byteOffset), static_cast<uint64_t>(view.byteLength), bufferSize))
        return refuseAsset("%s accessor %d: its buffer view (%d bytes at %d) reaches past the buffer (%llu bytes)",
                           what, index, view.byteLength, view.byteOffset, static_cast<unsigned long long>(bufferSize));
    uint64_t need = readSize > static_cast<uint32_t>(a.elementSize) ? readSize : static_cast<uint32_t>(a.elementSize);
    if (count > 0) {
        uint64_t extent = static_cast<uint64_t>(a.byteOffset) + static_cast<uint64_t>(view.byteStride) * (count - 1) + need;
        if (extent > static_cast<uint64_t>(view.byteLength))
            return refuseAsset("%s accessor %d: %u elements reach past its buffer view (%llu of %d bytes)", what, index,
                               count, static_cast<unsigned long long>(extent), view.byteLength);
    }
    reader->base = binary + view.byteOffset + a.byteOffset;
    reader->stride = static_cast<uint64_t>(view.byteStride);
    return true;
}

// Component c of an element as a float in 0..1 for the normalised integer types.
float normalisedComponent(const unsigned char* e, int32_t componentType, int c) {
    switch (componentType) {
    case GLTF_FLOAT: return readF32(e + 4 * c);
    case GLTF_UNSIGNED_BYTE: return e[c] / 255.0f;
    case GLTF_UNSIGNED_SHORT: return readU16(e + 2 * c) / 65535.0f;
    default: return 0.0f;
    }
}

// Bytes read from one element for `components` components of the type.
uint32_t readSizeOf(int32_t componentType, uint32_t components) {
    return static_cast<uint32_t>(gltfComponentSize(componentType)) * components;
}

float* vertexAt(Mesh* mesh, uint32_t v, int32_t slots) { return mesh->vertices + static_cast<size_t>(v) * slots; }

// rotateByQuaternion with the quaternion's length and conjugate worked out once for all
// the vertices of a primitive rather than once per vertex; each vertex goes through
// the same two products, so the positions come out bit for bit the same.
struct VertexRotation {
    Quat rotation;
    Quat conjugate;
    bool turns; // false for a zero quaternion, which leaves vectors alone
};

VertexRotation vertexRotation(const Quat* q) {
    VertexRotation r = {*q, Quat{0, 0, 0, 0}, false};
    float length = sqrtf(q->x * q->x + q->y * q->y + q->z * q->z + q->w * q->w);
    if (length == 0.0f) return r;
    r.conjugate = Quat{-q->x / length, -q->y / length, -q->z / length, q->w / length};
    r.turns = true;
    return r;
}

// quaternionProduct's very arithmetic (b (x) a), here where the compiler can inline it
// into the vertex loop.
inline Quat productOf(const Quat* a, const Quat* b) {
    const Quat p = *b;
    const Quat q = *a;
    Quat r;
    r.x = p.w * q.x + p.x * q.w + p.y * q.z - p.z * q.y;
    r.y = p.w * q.y - p.x * q.z + p.y * q.w + p.z * q.x;
    r.z = p.w * q.z + p.x * q.y - p.y * q.x + p.z * q.w;
    r.w = p.w * q.w - p.x * q.x - p.y * q.y - p.z * q.z;
    return r;
}

void rotateVertex(const VertexRotation* r, Vec3* v) {
    if (!r->turns) return;
    Quat pure = {v->x, v->y, v->z, 0.0f};
    Quat left = productOf(&pure, &r->rotation);
    Quat result = productOf(&r->conjugate, &left);
    v->x = result.x;
    v->y = result.y;
    v->z = result.z;
}

void writeColor(float* slot, int32_t components, float r, float g, float b) {
    if (components >= 3) {
        slot[0] = r, slot[1] = g, slot[2] = b;
    } else if (components == 1) {
        // The one-slot colour holds packed 8-bit RGBA.
        auto byteOf = [](float f) { return static_cast<uint32_t>((f < 0 ? 0 : f > 1 ? 1 : f) * 255.0f + 0.5f); };
        uint32_t packed = byteOf(r) | (byteOf(g) << 8) | (byteOf(b) << 16) | (255u << 24);
        memcpy(slot, &packed, sizeof(packed));
    }
}

// ---- whole-file helpers

// "path: reason" from the reason a lower step left.
bool refuseWithPath(const char* path) {
    char reason[400];
    snprintf(reason, sizeof(reason), "%s", assetRefusal());
    return refuseAsset("%s: %s", path, reason[0] ? reason : "refused");
}

bool acceptedNode(const GltfNode* node, const char* nodeName) {
    return !nodeName || (node->name && strcmp(node->name, nodeName) == 0);
}

} // namespace

namespace {

// The world transform of mesh node `index`, walking up through parents[]; null when the
// node has no valid mesh or its chain of parents comes back on itself.
const GltfMesh* nodeWorld(const GltfDocument* document, const int32_t* parents, uint32_t index,
                          Transform* transformOut) {
    const GltfNode* node = &document->nodes.elements[index];
    if (node->mesh < 0 || static_cast<uint32_t>(node->mesh) >= document->meshes.count) return nullptr;
    Transform transform = {node->translation, node->scale, node->rotation};
    int32_t parent = parents[index];
    if (parent >= 0) {
        Mat4 world = nodeMatrix(node);
        // A chain longer than the node count has come back on itself.
        uint32_t steps = 0;
        for (; parent >= 0; ++steps) {
            if (steps >= document->nodes.count) return nullptr;
            Mat4 local = nodeMatrix(&document->nodes.elements[parent]);
            multiplyMatrix4(&world, &local, &world);
            parent = parents[parent];
        }
        decomposeMatrix(&world, &transform.translation, &transform.rotation, &transform.scale);
    }
    *transformOut = transform;
    return &document->meshes.elements[node->mesh];
}

} // namespace

const GltfMesh* meshNodeWorld(const GltfDocument* document, uint32_t n, Transform* transformOut,
                              const GltfNode** nodeOut) {
    uint32_t index = 0, seen = 0;
    for (; index < document->nodes.count; ++index)
        if (document->nodes.elements[index].mesh != -1 && seen++ == n) break;
    if (index >= document->nodes.count) return nullptr;
    int32_t* parents = nodeParents(document);
    if (!parents) return nullptr;
    const GltfMesh* gltfMesh = nodeWorld(document, parents, index, transformOut);
    free(parents);
    if (gltfMesh && nodeOut) *nodeOut = &document->nodes.elements[index];
    return gltfMesh;
}

const GltfMesh* firstMeshNodeWorld(const GltfDocument* document, Transform* transformOut, const GltfNode** nodeOut) {
    return meshNodeWorld(document, 0, transformOut, nodeOut);
}

bool buildPrimitive(Mesh* mesh, const GltfDocument* document, const GltfMesh* gltfMesh, const unsigned char* binary,
                    uint64_t bufferSize, Transform transform, uint32_t k) {
    uint32_t meshIndex = static_cast<uint32_t>(gltfMesh - document->meshes.elements);
    if (k >= gltfMesh->primitives.count)
        return refuseAsset("mesh %u has no primitive %u", meshIndex, k);
    const GltfPrimitive& p = gltfMesh->primitives.elements[k];
    const int32_t format = mesh->vertexFormat;
    const int32_t slots = vertexFormatSlots(format);
    if (slots == 0) return refuseAsset("the mesh has no vertex format (%d)", format);
    char what[64];

    // Everything is checked before the mesh grows, so a refusal leaves it as it was.
    uint32_t vertexCount = 0;
    ElementReader positions = {}, normals = {}, texcoords = {}, colors = {}, joints = {}, weights = {}, indices = {};
    if (p.position >= 0) {
        const GltfAccessor& a = document->accessors.elements[p.position];
        snprintf(what, sizeof(what), "mesh %u primitive %u: POSITION", meshIndex, k);
        if (a.componentType != GLTF_FLOAT || a.elementSize < 12)
            return refuseAsset("%s accessor %d is not three floats per vertex", what, p.position);
        vertexCount = a.count;
        if (!openAccessor(document, p.position, vertexCount, 12, binary, bufferSize, what, &positions)) return false;
        // Infinite or undefined positions cannot be drawn, placed or hit by a ray.
        for (uint32_t i = 0; i < vertexCount; ++i) {
            const unsigned char* e = element(&positions, i);
            if (!isfinite(readF32(e)) || !isfinite(readF32(e + 4)) || !isfinite(readF32(e + 8)))
                return refuseAsset("%s: vertex %u is not at a finite position", what, i);
        }
    }
    struct Attribute {
        int32_t accessor;
        VertexAttribute kind;
        uint32_t components; // read from each element
        const char* name;
        ElementReader* reader;
    };
    const Attribute attributes[5] = {{p.normal, VERTEX_ATTRIBUTE_NORMAL, 3, "NORMAL", &normals},
                                     {p.texcoord0, VERTEX_ATTRIBUTE_TEXCOORD, 2, "TEXCOORD_0", &texcoords},
                                     {p.color0, VERTEX_ATTRIBUTE_COLOR, 3, "COLOR_0", &colors},
                                     {p.joints0, VERTEX_ATTRIBUTE_JOINTS, 4, "JOINTS_0", &joints},
                                     {p.weights0, VERTEX_ATTRIBUTE_WEIGHTS, 4, "WEIGHTS_0", &weights}};
    for (const Attribute& attribute : attributes) {
        if (attribute.accessor < 0 || vertexAttributeOffset(format, attribute.kind) < 0 || vertexCount == 0) continue;
        const GltfAccessor& a = document->accessors.elements[attribute.accessor];
        snprintf(what, sizeof(what), "mesh %u primitive %u: %s", meshIndex, k, attribute.name);
        if (attribute.kind == VERTEX_ATTRIBUTE_NORMAL && (a.componentType != GLTF_FLOAT || a.elementSize < 12))
            return refuseAsset("%s accessor %d is not three floats per vertex", what, attribute.accessor);
        if (!openAccessor(document, attribute.accessor, vertexCount, readSizeOf(a.componentType, attribute.components),
                          binary, bufferSize, what, attribute.reader))
            return false;
    }
    uint32_t indexCount = 0;
    if (p.indices >= 0) {
        const GltfAccessor& a = document->accessors.elements[p.indices];
        snprintf(what, sizeof(what), "mesh %u primitive %u: indices", meshIndex, k);
        if (a.componentType != GLTF_UNSIGNED_BYTE && a.componentType != GLTF_UNSIGNED_SHORT &&
            a.componentType != GLTF_UNSIGNED_INT)
            return refuseAsset("%s accessor %d has component type %d, not an unsigned integer", what, p.indices,
                               a.componentType);
        indexCount = a.count;
        if (!openAccessor(document, p.indices, indexCount, readSizeOf(a.componentType, 1), binary, bufferSize, what,
                          &indices))
            return false;
        for (uint32_t i = 0; i < indexCount; ++i) {
            const unsigned char* e = element(&indices, i);
            uint32_t index = a.componentType == GLTF_UNSIGNED_BYTE    ? e[0]
                             : a.componentType == GLTF_UNSIGNED_SHORT ? readU16(e)
                                                                      : readU32(e);
            if (index >= vertexCount)
                return refuseAsset("%s: index %u names vertex %u of %u", what, i, index, vertexCount);
        }
    } else {
        // Without an index list the vertices are taken three by three.
        indexCount = vertexCount - vertexCount % 3;
    }

    const uint32_t first = meshVertexCount(mesh);
    uint64_t slotCount = (static_cast<uint64_t>(first) + vertexCount) * static_cast<uint32_t>(slots);
    uint64_t totalIndices = static_cast<uint64_t>(mesh->indexCount) + indexCount;
    if (slotCount > 0xFFFFFFFFu || totalIndices > 0xFFFFFFFFu)
        return refuseAsset("mesh %u primitive %u: more vertices than a mesh holds", meshIndex, k);
    const uint32_t firstIndex = mesh->indexCount;
    const uint32_t firstSlot = first * static_cast<uint32_t>(slots);
    void* vertexBlock = mesh->vertices;
    void* indexBlock = mesh->indices;
    const uint32_t capacityBefore = mesh->vertexSlotCapacity;
    if (!growBlock(&vertexBlock, &mesh->vertexSlotCapacity, static_cast<uint32_t>(slotCount), sizeof(float)))
        return refuseAsset("not enough memory for %u vertices", vertexCount);
    mesh->vertices = static_cast<float*>(vertexBlock);
    if (!growBlock(&indexBlock, &mesh->indexCapacity, static_cast<uint32_t>(totalIndices), sizeof(uint32_t)))
        return refuseAsset("not enough memory for %u indices", indexCount);
    mesh->indices = static_cast<uint32_t*>(indexBlock);

    // 1. Indices, as read: the mesh is expected to start empty.
    const GltfAccessor* indexAccessor = p.indices >= 0 ? &document->accessors.elements[p.indices] : nullptr;
    for (uint32_t i = 0; i < indexCount; ++i) {
        uint32_t index = i;
        if (indexAccessor) {
            const unsigned char* e = element(&indices, i);
            index = indexAccessor->componentType == GLTF_UNSIGNED_BYTE    ? e[0]
                    : indexAccessor->componentType == GLTF_UNSIGNED_SHORT ? readU16(e)
                                                                          : readU32(e);
        }
        mesh->indices[firstIndex + i] = index;
    }
    mesh->indexCount = static_cast<uint32_t>(totalIndices);

    // 2. Positions, placed by the node's world transform.
    mesh->vertexSlotCount = static_cast<uint32_t>(slotCount);
    // Slots past the old capacity came zeroed with the growth; only reused ones are cleared.
    const uint64_t clearEnd = slotCount < capacityBefore ? slotCount : capacityBefore;
    if (vertexCount && clearEnd > firstSlot)
        memset(mesh->vertices + firstSlot, 0, sizeof(float) * static_cast<size_t>(clearEnd - firstSlot));
    const int32_t positionComponents = vertexAttributeComponents(format, VERTEX_ATTRIBUTE_POSITION);
    const VertexRotation rotation = vertexRotation(&transform.rotation);
    for (uint32_t i = 0; i < vertexCount; ++i) {
        const unsigned char* e = element(&positions, i);
        Vec3 v = {readF32(e) * transform.scale.x, readF32(e + 4) * transform.scale.y, readF32(e + 8) * transform.scale.z};
        rotateVertex(&rotation, &v);
        float* slot = vertexAt(mesh, first + i, slots);
        slot[0] = v.x + transform.translation.x;
        slot[1] = v.y + transform.translation.y;
        if (positionComponents == 3) slot[2] = v.z + transform.translation.z;
    }
    const uint32_t total = first + vertexCount;

    // 3. Normals as stored (the node's rotation is not applied), or smoothed.
    int32_t normal = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_NORMAL);
    if (normal >= 0) {
        if (p.normal >= 0) {
            for (uint32_t i = 0; i < vertexCount; ++i) {
                const unsigned char* e = element(&normals, i);
                float* slot = vertexAt(mesh, first + i, slots) + normal;
                slot[0] = readF32(e), slot[1] = readF32(e + 4), slot[2] = readF32(e + 8);
            }
        } else {
            computeSmoothNormals(mesh);
        }
    }

    // 4. Texture coordinates, stored as (u, 1 - v) for bottom-up images.
    int32_t texcoord = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_TEXCOORD);
    if (texcoord >= 0) {
        if (p.texcoord0 >= 0) {
            for (uint32_t i = 0; i < vertexCount; ++i) {
                const unsigned char* e = element(&texcoords, i);
                float* slot = vertexAt(mesh, first + i, slots) + texcoord;
                slot[0] = normalisedComponent(e, texcoords.componentType, 0);
                slot[1] = 1.0f - normalisedComponent(e, texcoords.componentType, 1);
                if (texcoords.componentType != GLTF_FLOAT && texcoords.componentType != GLTF_UNSIGNED_BYTE &&
                    texcoords.componentType != GLTF_UNSIGNED_SHORT)
                    slot[0] = slot[1] = 0.0f;
            }
        } else {
            for (uint32_t v = 0; v < total; ++v) {
                float* slot = vertexAt(mesh, v, slots) + texcoord;
                slot[0] = slot[1] = 0.0f;
            }
        }
    }

    // 5. Colours: the first three components, white without COLOR_0.
    int32_t color = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_COLOR);
    int32_t colorComponents = vertexAttributeComponents(format, VERTEX_ATTRIBUTE_COLOR);
    if (color >= 0) {
        bool known = colors.componentType == GLTF_FLOAT || colors.componentType == GLTF_UNSIGNED_BYTE ||
                     colors.componentType == GLTF_UNSIGNED_SHORT;
        if (p.color0 >= 0 && known) {
            for (uint32_t i = 0; i < vertexCount; ++i) {
                const unsigned char* e = element(&colors, i);
                writeColor(vertexAt(mesh, first + i, slots) + color, colorComponents,
                           normalisedComponent(e, colors.componentType, 0), normalisedComponent(e, colors.componentType, 1),
                           normalisedComponent(e, colors.componentType, 2));
            }
        } else {
            for (uint32_t v = (p.color0 >= 0 ? first : 0); v < total; ++v)
                writeColor(vertexAt(mesh, v, slots) + color, colorComponents, 1.0f, 1.0f, 1.0f);
        }
    }

    // 6. Joints, zero-extended to signed 32-bit integers; -1 for none.
    int32_t jointSlot = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_JOINTS);
    if (jointSlot >= 0) {
        const int32_t none[4] = {-1, -1, -1, -1};
        for (uint32_t v = (p.joints0 >= 0 ? first : 0); v < total; ++v) {
            int32_t values[4] = {-1, -1, -1, -1};
            if (p.joints0 >= 0) {
                const unsigned char* e = element(&joints, v - first);
                for (int c = 0; c < 4; ++c) {
                    if (joints.componentType == GLTF_UNSIGNED_BYTE) values[c] = e[c];
                    if (joints.componentType == GLTF_UNSIGNED_SHORT) values[c] = readU16(e + 2 * c);
                }
            }
            memcpy(vertexAt(mesh, v, slots) + jointSlot, p.joints0 >= 0 ? values : none, sizeof(values));
        }
    }

    // 7. Weights, scaled to sum to 1.
    int32_t weightSlot = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_WEIGHTS);
    if (weightSlot >= 0) {
        for (uint32_t v = (p.weights0 >= 0 ? first : 0); v < total; ++v) {
            float* slot = vertexAt(mesh, v, slots) + weightSlot;
            float w[4] = {0, 0, 0, 0};
            if (p.weights0 >= 0) {
                const unsigned char* e = element(&weights, v - first);
                for (int c = 0; c < 4; ++c) w[c] = normalisedComponent(e, weights.componentType, c);
                float sum = w[0] + w[1] + w[2] + w[3];
                // Weights that sum to zero stay zero rather than becoming NaN.
                if (sum != 0.0f) {
                    float scale = 1.0f / sum;
                    for (float& x : w) x *= scale;
                }
            }
            memcpy(slot, w, sizeof(w));
        }
    }
    return true;
}

namespace {

// Grows the mesh once for all the parts about to be appended, instead of once per part
// as it fills (each growth copying what came before). When the mesh is empty and there
// is one part, the part's blocks simply change hands. Nothing is appended here, and a
// mesh that cannot grow is left for the appends to refuse.
void reserveForParts(Mesh* mesh, DynArray<Mesh>* parts) {
    if (parts->count == 1 && mesh->vertexSlotCount == 0 && mesh->indexCount == 0 &&
        parts->elements[0].vertexFormat == mesh->vertexFormat) {
        Mesh* part = &parts->elements[0];
        Mesh emptied = *mesh;
        *mesh = *part;
        part->vertices = emptied.vertices;
        part->vertexSlotCapacity = emptied.vertexSlotCapacity;
        part->indices = emptied.indices;
        part->indexCapacity = emptied.indexCapacity;
        part->vertexSlotCount = 0;
        part->indexCount = 0;
        return;
    }
    uint64_t slots = mesh->vertexSlotCount, indices = mesh->indexCount;
    for (uint32_t i = 0; i < parts->count; ++i) {
        slots += parts->elements[i].vertexSlotCount;
        indices += parts->elements[i].indexCount;
    }
    if (slots > 0xFFFFFFFFu || indices > 0xFFFFFFFFu) return;
    void* block = mesh->vertices;
    if (growBlock(&block, &mesh->vertexSlotCapacity, static_cast<uint32_t>(slots), sizeof(float)))
        mesh->vertices = static_cast<float*>(block);
    block = mesh->indices;
    if (growBlock(&block, &mesh->indexCapacity, static_cast<uint32_t>(indices), sizeof(uint32_t)))
        mesh->indices = static_cast<uint32_t*>(block);
}

} // namespace

bool loadGltf(Mesh* mesh, const char* path) {
    clearAssetRefusal();
    uint32_t size = 0;
    char* text = readFileSized(path, &size);
    if (!text) return refuseAsset("%s: cannot be opened", path);
    GltfDocument document = {};
    char uri[GLTF_URI_CAPACITY] = {};
    uint32_t byteLength = 0;
    int parsed = parseGltfDocumentText(text, size, uri, &byteLength, &document);
    delete[] text;
    if (!parsed) return refuseWithPath(path);

    bool ok = true;
    Transform transform = identityTransform();
    const GltfMesh* first = firstMeshNodeWorld(&document, &transform, nullptr);
    if (first && first->primitives.count > 0) {
        // The buffer file sits beside the .gltf file; only '/' separates directories.
        char bufferPath[GLTF_URI_CAPACITY];
        const char* slash = strrchr(path, '/');
        size_t directory = slash ? static_cast<size_t>(slash - path) + 1 : 0;
        size_t uriLength = strlen(uri);
        if (strlen(path) + 1 > sizeof(bufferPath) || directory + uriLength + 1 > sizeof(bufferPath)) {
            ok = refuseAsset("%s: the buffer path is longer than %u bytes", path, GLTF_URI_CAPACITY - 1);
        } else if (uriLength == 0) {
            ok = refuseAsset("%s: the model has geometry but no buffer file", path);
        } else if (strncmp(uri, "data:", 5) == 0) {
            ok = refuseAsset("%s: embedded (data:) buffers are not read", path);
        } else {
            memcpy(bufferPath, path, directory);
            memcpy(bufferPath + directory, uri, uriLength + 1);
            uint32_t bufferSize = 0;
            char* buffer = readFileSized(bufferPath, &bufferSize);
            if (!buffer) {
                ok = refuseAsset("%s: its buffer %s cannot be opened", path, bufferPath);
            } else {
                ok = buildPrimitive(mesh, &document, first, reinterpret_cast<const unsigned char*>(buffer), bufferSize,
                                    transform, 0);
                if (!ok) refuseWithPath(path);
                delete[] buffer;
            }
        }
    } else if (!first && document.nodes.count > 0) {
        // Mesh nodes exist but none can be placed: the graph is not a forest.
        for (uint32_t i = 0; i < document.nodes.count; ++i)
            if (document.nodes.elements[i].mesh != -1) {
                ok = refuseAsset("%s: the first mesh node has no world transform", path);
                break;
            }
    }
    releaseGltfDocument(&document);
    return ok;
}

bool loadGlb(Mesh* mesh, const char* path, const char* nodeName) {
    clearAssetRefusal();
    uint32_t size = 0;
    char* file = readFileSized(path, &size);
    if (!file) return refuseAsset("%s: cannot be opened", path);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(file);
    if (size < 20) {
        delete[] file;
        return refuseAsset("%s: %u bytes, shorter than the 20-byte GLB header", path, size);
    }
    uint32_t jsonLength = readU32(bytes + 12);
    if (jsonLength > size - 20) {
        delete[] file;
        return refuseAsset("%s: the JSON chunk (%u bytes) reaches past the end of the file (%u bytes)", path,
                           jsonLength, size);
    }
    GltfDocument document = {};
    uint32_t byteLength = 0;
    int parsed = parseGltfDocumentText(file + 20, jsonLength, nullptr, &byteLength, &document);
    if (!parsed) {
        delete[] file;
        return refuseWithPath(path);
    }
    // The binary chunk follows the JSON chunk and its own 8-byte header; a file without
    // one has an empty buffer.
    const unsigned char* binary = nullptr;
    uint64_t bufferSize = 0;
    uint64_t binaryStart = 28 + static_cast<uint64_t>(jsonLength);
    if (binaryStart <= size) {
        binary = bytes + binaryStart;
        uint64_t chunkLength = readU32(bytes + 20 + jsonLength);
        bufferSize = size - binaryStart;
        if (chunkLength < bufferSize) bufferSize = chunkLength;
    }

    // Every mesh node is taken (or only those with the given name), in node order.
    bool ok = true;
    uint32_t primitiveCount = 0;
    Transform transform;
    int32_t* parents = nodeParents(&document);
    if (!parents) ok = refuseAsset("%s: not enough memory for %u nodes", path, document.nodes.count);
    for (uint32_t i = 0; ok && i < document.nodes.count; ++i) {
        const GltfNode* node = &document.nodes.elements[i];
        if (node->mesh == -1 || !acceptedNode(node, nodeName)) continue;
        if (node->mesh < 0 || static_cast<uint32_t>(node->mesh) >= document.meshes.count) {
            ok = refuseAsset("%s: node %u names no mesh", path, i);
            break;
        }
        primitiveCount += document.meshes.elements[node->mesh].primitives.count;
    }
    DynArray<Mesh> parts = {};
    if (ok && primitiveCount && !setDynArrayCount(&parts, primitiveCount))
        ok = refuseAsset("%s: not enough memory for %u parts", path, primitiveCount);
    for (uint32_t j = 0; j < parts.count; ++j) parts.elements[j] = Mesh{0, 0, nullptr, 0, 0, nullptr, mesh->vertexFormat};

    uint32_t j = 0;
    int32_t color = vertexAttributeOffset(mesh->vertexFormat, VERTEX_ATTRIBUTE_COLOR);
    int32_t colorComponents = vertexAttributeComponents(mesh->vertexFormat, VERTEX_ATTRIBUTE_COLOR);
    int32_t slots = vertexFormatSlots(mesh->vertexFormat);
    for (uint32_t i = 0; ok && i < document.nodes.count; ++i) {
        const GltfNode* node = &document.nodes.elements[i];
        if (node->mesh == -1 || !acceptedNode(node, nodeName)) continue;
        const GltfMesh* gltfMesh = nodeWorld(&document, parents, i, &transform);
        if (!gltfMesh) {
            ok = refuseAsset("%s: mesh node %u has no world transform", path, i);
            break;
        }
        for (uint32_t k = 0; ok && k < gltfMesh->primitives.count; ++k, ++j) {
            Mesh* part = &parts.elements[j];
            if (!buildPrimitive(part, &document, gltfMesh, binary, bufferSize, transform, k)) {
                ok = refuseWithPath(path);
                break;
            }
            int32_t material = gltfMesh->primitives.elements[k].material;
            if (material < 0 || color < 0) continue;
            // The material's base colour replaces the vertex colours (alpha dropped).
            const float* base = document.materials.elements[material].baseColorFactor;
            const uint32_t partVertices = meshVertexCount(part);
            for (uint32_t v = 0; v < partVertices; ++v)
                writeColor(part->vertices + static_cast<size_t>(v) * slots + color, colorComponents, base[0], base[1],
                           base[2]);
        }
    }
    if (ok) {
        // All parts or none: a part that cannot be appended takes the others back out.
        const uint32_t slotsBefore = mesh->vertexSlotCount, indicesBefore = mesh->indexCount;
        reserveForParts(mesh, &parts);
        for (uint32_t i = 0; i < parts.count && ok; ++i) ok = appendMesh(mesh, &parts.elements[i]);
        if (!ok) {
            mesh->vertexSlotCount = slotsBefore;
            mesh->indexCount = indicesBefore;
            refuseAsset("%s: the meshes do not fit one mesh", path);
        }
    }
    for (uint32_t i = 0; i < parts.count; ++i) releaseMesh(&parts.elements[i]);
    releaseDynArray(&parts);
    free(parents);
    releaseGltfDocument(&document);
    delete[] file;
    return ok;
}
