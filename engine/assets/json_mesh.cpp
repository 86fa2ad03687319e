#include "engine/assets/json_mesh.h"

#include "backend/vertex_formats.h"
#include "engine/assets/asset_refusal.h"
#include "engine/assets/dyn_array.h"
#include "engine/platform/files.h"

#include <rapidjson/document.h>

#include <string.h>

namespace {

typedef rapidjson::Value JsonValue;

// The member's array, or null when it is absent or not an array (an empty list).
const JsonValue* arrayMember(const JsonValue& object, const char* name) {
    JsonValue::ConstMemberIterator found = object.FindMember(name);
    if (found == object.MemberEnd() || !found->value.IsArray()) return nullptr;
    return &found->value;
}

uint32_t lengthOf(const JsonValue* array) { return array ? array->Size() : 0; }

// A number member of an entry as a float; 0 when absent or not a number.
float numberOf(const JsonValue& entry, const char* name) {
    if (!entry.IsObject()) return 0.0f;
    JsonValue::ConstMemberIterator found = entry.FindMember(name);
    if (found == entry.MemberEnd() || !found->value.IsNumber()) return 0.0f;
    return static_cast<float>(found->value.GetDouble());
}

// An index member; absent reads as 0, anything but an unsigned 32-bit integer is no
// vertex at all.
uint32_t indexOf(const JsonValue& entry, const char* name) {
    if (!entry.IsObject()) return 0;
    JsonValue::ConstMemberIterator found = entry.FindMember(name);
    if (found == entry.MemberEnd()) return 0;
    return found->value.IsUint() ? found->value.GetUint() : 0xFFFFFFFFu;
}

bool readModel(Mesh* mesh, const JsonValue& model, const char* path) {
    int32_t format = mesh->vertexFormat;
    int32_t slots = vertexFormatSlots(format);
    int32_t texcoord = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_TEXCOORD);
    int32_t color = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_COLOR);
    int32_t normal = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_NORMAL);
    if (vertexAttributeComponents(format, VERTEX_ATTRIBUTE_POSITION) != 3 || texcoord < 0 || color < 0 ||
        vertexAttributeComponents(format, VERTEX_ATTRIBUTE_COLOR) < 3 || normal < 0)
        return refuseAsset("%s: vertex format %d lacks a position, texture coordinate, colour or normal", path, format);

    const JsonValue* vertices = arrayMember(model, "vertices");
    const JsonValue* uvs = arrayMember(model, "uvs");
    const JsonValue* colors = arrayMember(model, "colors");
    const JsonValue* indices = arrayMember(model, "indices");
    const JsonValue* normals = arrayMember(model, "normals");
    bool hasNormals = model.FindMember("normals") != model.MemberEnd();
    uint32_t vertexCount = lengthOf(vertices);
    uint32_t triangleCount = lengthOf(indices);
    uint64_t slotCount = static_cast<uint64_t>(vertexCount) * static_cast<uint32_t>(slots);
    uint64_t indexCount = 3 * static_cast<uint64_t>(triangleCount);
    if (slotCount > 0xFFFFFFFFu || indexCount > 0xFFFFFFFFu)
        return refuseAsset("%s: %u vertices and %u triangles are more than a mesh holds", path, vertexCount,
                           triangleCount);
    static const char* const kCorners[3] = {"a", "b", "c"};
    for (uint32_t j = 0; j < triangleCount; ++j)
        for (int k = 0; k < 3; ++k) {
            uint32_t index = indexOf((*indices)[j], kCorners[k]);
            if (index >= vertexCount)
                return refuseAsset("%s: triangle %u names vertex %u of %u", path, j, index, vertexCount);
        }

    // Grow both blocks before writing, so that a failure leaves the contents as they were.
    void* vertexBlock = mesh->vertices;
    void* indexBlock = mesh->indices;
    if (!growBlock(&vertexBlock, &mesh->vertexSlotCapacity, static_cast<uint32_t>(slotCount), sizeof(float)))
        return refuseAsset("%s: not enough memory for %u vertices", path, vertexCount);
    mesh->vertices = static_cast<float*>(vertexBlock);
    if (!growBlock(&indexBlock, &mesh->indexCapacity, static_cast<uint32_t>(indexCount), sizeof(uint32_t)))
        return refuseAsset("%s: not enough memory for %u triangles", path, triangleCount);
    mesh->indices = static_cast<uint32_t*>(indexBlock);
    mesh->vertexSlotCount = static_cast<uint32_t>(slotCount);
    mesh->indexCount = static_cast<uint32_t>(indexCount);
    // Attributes the file does not give read as zero.
    if (slotCount) memset(mesh->vertices, 0, sizeof(float) * static_cast<size_t>(slotCount));
    for (uint32_t i = 0; i < vertexCount; ++i) {
        float* v = mesh->vertices + static_cast<size_t>(i) * slots;
        const JsonValue& entry = (*vertices)[i];
        v[0] = numberOf(entry, "x");
        v[1] = numberOf(entry, "y");
        v[2] = numberOf(entry, "z");
    }
    for (uint32_t i = 0; i < lengthOf(uvs) && i < vertexCount; ++i) {
        float* v = mesh->vertices + static_cast<size_t>(i) * slots + texcoord;
        v[0] = numberOf((*uvs)[i], "u");
        v[1] = numberOf((*uvs)[i], "v");
    }
    for (uint32_t i = 0; i < lengthOf(colors) && i < vertexCount; ++i) {
        float* v = mesh->vertices + static_cast<size_t>(i) * slots + color;
        v[0] = numberOf((*colors)[i], "r");
        v[1] = numberOf((*colors)[i], "g");
        v[2] = numberOf((*colors)[i], "b");
    }
    for (uint32_t j = 0; j < triangleCount; ++j)
        for (int k = 0; k < 3; ++k) mesh->indices[3 * j + k] = indexOf((*indices)[j], kCorners[k]);
    if (hasNormals) {
        for (uint32_t i = 0; i < lengthOf(normals) && i < vertexCount; ++i) {
            float* v = mesh->vertices + static_cast<size_t>(i) * slots + normal;
            v[0] = numberOf((*normals)[i], "x");
            v[1] = numberOf((*normals)[i], "y");
            v[2] = numberOf((*normals)[i], "z");
        }
    } else {
        computeSmoothNormals(mesh);
    }
    return true;
}

} // namespace

bool loadJsonMesh(Mesh* mesh, const char* path) {
    clearAssetRefusal();
    uint32_t size = 0;
    char* text = readFileSized(path, &size);
    if (!text) return refuseAsset("%s: cannot be opened", path);
    bool ok = true;
    {
        rapidjson::Document document;
        // Parsing ends after the first complete value; whatever follows is ignored.
        document.Parse<rapidjson::kParseStopWhenDoneFlag | rapidjson::kParseIterativeFlag>(text);
        if (document.HasParseError()) {
            ok = refuseAsset("%s: not JSON (error %d at byte %llu)", path, static_cast<int>(document.GetParseError()),
                             static_cast<unsigned long long>(document.GetErrorOffset()));
        } else if (!document.IsObject()) {
            ok = refuseAsset("%s: the document is not an object", path);
        } else {
            JsonValue::ConstMemberIterator model = document.FindMember("model");
            if (model != document.MemberEnd()) {
                if (!model->value.IsObject())
                    ok = refuseAsset("%s: \"model\" is not an object", path);
                else
                    ok = readModel(mesh, model->value, path);
            }
        }
    }
    delete[] text;
    return ok;
}
