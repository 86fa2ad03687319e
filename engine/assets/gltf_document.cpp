#include "engine/assets/gltf_document.h"

#include "engine/assets/asset_refusal.h"
#include "engine/math/matrix.h"

#include <rapidjson/document.h>

#include <math.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

namespace {

typedef rapidjson::Value JsonValue;

const JsonValue* member(const JsonValue& object, const char* name) {
    if (!object.IsObject()) return nullptr;
    JsonValue::ConstMemberIterator found = object.FindMember(name);
    return found == object.MemberEnd() ? nullptr : &found->value;
}

const JsonValue* member(const JsonValue* object, const char* name) { return object ? member(*object, name) : nullptr; }

// Integer members are read as the library's 32-bit integer view. A number of another
// kind that still fits is truncated; anything else keeps the default.
int32_t intValue(const JsonValue* value, int32_t fallback) {
    if (!value || !value->IsNumber()) return fallback;
    if (value->IsInt()) return value->GetInt();
    double d = value->GetDouble();
    if (d >= -2147483648.0 && d <= 2147483647.0) return static_cast<int32_t>(d);
    return fallback;
}

uint32_t uintValue(const JsonValue* value, uint32_t fallback) {
    if (!value || !value->IsNumber()) return fallback;
    if (value->IsUint()) return value->GetUint();
    double d = value->GetDouble();
    if (d >= 0.0 && d <= 4294967295.0) return static_cast<uint32_t>(d);
    return fallback;
}

// Floats come through double.
float floatValue(const JsonValue* value, float fallback) {
    if (!value || !value->IsNumber()) return fallback;
    return static_cast<float>(value->GetDouble());
}

// Up to n numbers of an array member into out; missing ones keep their defaults.
void readFloats(const JsonValue* value, float* out, uint32_t n) {
    if (!value || !value->IsArray()) return;
    for (uint32_t i = 0; i < n && i < value->Size(); ++i) out[i] = floatValue(&(*value)[i], out[i]);
}

char* copyString(const JsonValue* value) {
    if (!value || !value->IsString()) return nullptr;
    size_t length = value->GetStringLength();
    char* copy = static_cast<char*>(malloc(length + 1));
    if (!copy) return nullptr;
    memcpy(copy, value->GetString(), length);
    copy[length] = 0;
    return copy;
}

bool textIs(const JsonValue* value, const char* text) { return value && value->IsString() && strcmp(value->GetString(), text) == 0; }

// A parse in progress: the source of the reason text and the first failure.
struct Parse {
    GltfDocument* document;
    bool failed;
};

bool fail(Parse* parse, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

bool fail(Parse* parse, const char* format, ...) {
    if (!parse->failed) {
        va_list arguments;
        va_start(arguments, format);
        refuseAssetV(format, arguments);
        va_end(arguments);
    }
    parse->failed = true;
    return false;
}

// The collection's array, or null when absent. A present member that is not an array
// of objects (glTF 1.0 keeps its collections in objects) fails the parse.
const JsonValue* collection(Parse* parse, const JsonValue& root, const char* name) {
    const JsonValue* value = member(root, name);
    if (!value) return nullptr;
    if (!value->IsArray()) {
        fail(parse, "\"%s\" is not an array (not a glTF 2 document)", name);
        return nullptr;
    }
    for (rapidjson::SizeType i = 0; i < value->Size(); ++i)
        if (!(*value)[i].IsObject()) {
            fail(parse, "element %u of \"%s\" is not an object", static_cast<unsigned>(i), name);
            return nullptr;
        }
    return value;
}

template <typename T>
T* appendZeroed(Parse* parse, DynArray<T>* array) {
    T* element = appendDynArray(array);
    if (!element) {
        fail(parse, "not enough memory for the document");
        return nullptr;
    }
    memset(static_cast<void*>(element), 0, sizeof(T));
    return element;
}

template <typename T>
bool reserveFor(Parse* parse, DynArray<T>* array, const JsonValue* list) {
    if (!list || list->Size() == 0) return true;
    if (!reserveDynArray(array, list->Size())) return fail(parse, "not enough memory for the document");
    return true;
}

// A list of integers (node indices) as u32.
bool readIndexList(Parse* parse, const JsonValue* list, DynArray<uint32_t>* out) {
    if (!list || !list->IsArray()) return true;
    if (!reserveFor(parse, out, list)) return false;
    for (rapidjson::SizeType i = 0; i < list->Size(); ++i) {
        uint32_t* slot = appendZeroed(parse, out);
        if (!slot) return false;
        *slot = static_cast<uint32_t>(intValue(&(*list)[i], -1));
    }
    return true;
}

bool readFloatList(Parse* parse, const JsonValue* list, DynArray<float>* out) {
    if (!list || !list->IsArray()) return true;
    if (!reserveFor(parse, out, list)) return false;
    for (rapidjson::SizeType i = 0; i < list->Size(); ++i) {
        float* slot = appendZeroed(parse, out);
        if (!slot) return false;
        *slot = floatValue(&(*list)[i], 0.0f);
    }
    return true;
}

GltfBufferView readBufferView(const JsonValue& object) {
    GltfBufferView view = {};
    view.buffer = intValue(member(object, "buffer"), 0);
    view.byteLength = intValue(member(object, "byteLength"), 0);
    view.byteOffset = intValue(member(object, "byteOffset"), 0);
    view.byteStride = intValue(member(object, "byteStride"), 0);
    view.target = intValue(member(object, "target"), -1);
    return view;
}

bool readNode(Parse* parse, const JsonValue& object, GltfNode* node) {
    node->translation = Vec3{0, 0, 0};
    node->rotation = Quat{0, 0, 0, 1};
    node->scale = Vec3{1, 1, 1};
    node->mesh = -1;
    node->skin = -1;
    if (!readIndexList(parse, member(object, "children"), &node->children)) return false;
    readFloats(member(object, "translation"), &node->translation.x, 3);
    readFloats(member(object, "rotation"), &node->rotation.x, 4);
    readFloats(member(object, "scale"), &node->scale.x, 3);
    const JsonValue* matrix = member(object, "matrix");
    if (matrix && matrix->IsArray()) {
        Mat4 m = identityMatrix4();
        readFloats(matrix, m.m, 16);
        decomposeMatrix(&m, &node->translation, &node->rotation, &node->scale);
    }
    node->mesh = intValue(member(object, "mesh"), -1);
    node->skin = intValue(member(object, "skin"), -1);
    node->name = copyString(member(object, "name"));
    return readFloatList(parse, member(object, "weights"), &node->weights);
}

bool readAccessor(Parse* parse, const JsonValue& object, GltfAccessor* accessor, uint32_t index) {
    GltfDocument* document = parse->document;
    accessor->viewTarget = -1;
    const JsonValue* viewIndex = member(object, "bufferView");
    if (viewIndex) {
        int32_t v = intValue(viewIndex, -1);
        if (v < 0 || static_cast<uint32_t>(v) >= document->bufferViews.count)
            return fail(parse, "accessor %u names buffer view %d, which does not exist", index, v);
        const GltfBufferView& view = document->bufferViews.elements[v];
        accessor->view = GltfAccessorView{view.buffer, view.byteLength, view.byteOffset, view.byteStride};
        accessor->viewTarget = view.target;
        accessor->hasBufferView = 1;
    }
    accessor->count = uintValue(member(object, "count"), 0);
    accessor->byteOffset = intValue(member(object, "byteOffset"), 0);
    const JsonValue* type = member(object, "type");
    int32_t components = type && type->IsString() ? gltfComponentCount(type->GetString()) : 0;
    accessor->componentType = intValue(member(object, "componentType"), 0);
    int32_t componentSize = gltfComponentSize(accessor->componentType);
    accessor->elementSize = componentSize * components;

    const JsonValue* minimum = member(object, "min");
    const JsonValue* maximum = member(object, "max");
    if (components > 0 && !reserveDynArray(&accessor->bounds, static_cast<uint32_t>(components)))
        return fail(parse, "not enough memory for the document");
    for (int32_t i = 0; i < components; ++i) {
        GltfBoundsPair* pair = appendZeroed(parse, &accessor->bounds);
        if (!pair) return false;
        if (!minimum || !maximum || !minimum->IsArray() || !maximum->IsArray()) continue;
        if (static_cast<rapidjson::SizeType>(i) >= minimum->Size() || static_cast<rapidjson::SizeType>(i) >= maximum->Size())
            continue;
        const JsonValue* low = &(*minimum)[i];
        const JsonValue* high = &(*maximum)[i];
        switch (accessor->componentType) {
        case GLTF_BYTE:
        case GLTF_UNSIGNED_BYTE:
            pair->bytes[0] = static_cast<uint8_t>(intValue(low, 0));
            pair->bytes[1] = static_cast<uint8_t>(intValue(high, 0));
            break;
        case GLTF_SHORT:
        case GLTF_UNSIGNED_SHORT:
            pair->shorts[0] = static_cast<uint16_t>(intValue(low, 0));
            pair->shorts[1] = static_cast<uint16_t>(intValue(high, 0));
            break;
        case GLTF_UNSIGNED_INT:
            pair->integers[0] = uintValue(low, 0);
            pair->integers[1] = uintValue(high, 0);
            break;
        case GLTF_FLOAT:
            pair->floats[0] = floatValue(low, 0.0f);
            pair->floats[1] = floatValue(high, 0.0f);
            break;
        default: break;
        }
    }
    // The stride is always the distance between consecutive elements.
    if (accessor->view.byteStride == 0) accessor->view.byteStride = accessor->elementSize;
    if (!viewIndex || member(object, "sparse")) accessor->noData = 1;
    return true;
}

int32_t accessorIndex(const JsonValue* object, const char* name, int32_t fallback) {
    return intValue(member(object, name), fallback);
}

bool readPrimitive(Parse* parse, const JsonValue& object, GltfPrimitive* primitive) {
    const JsonValue* attributes = member(object, "attributes");
    primitive->position = accessorIndex(attributes, "POSITION", -1);
    primitive->normal = accessorIndex(attributes, "NORMAL", -1);
    primitive->tangent = accessorIndex(attributes, "TANGENT", -1);
    primitive->texcoord0 = accessorIndex(attributes, "TEXCOORD_0", -1);
    primitive->texcoord1 = accessorIndex(attributes, "TEXCOORD_1", -1);
    primitive->color0 = accessorIndex(attributes, "COLOR_0", -1);
    primitive->joints0 = accessorIndex(attributes, "JOINTS_0", -1);
    primitive->weights0 = accessorIndex(attributes, "WEIGHTS_0", -1);
    primitive->indices = accessorIndex(&object, "indices", -1);
    primitive->material = accessorIndex(&object, "material", -1);
    primitive->mode = accessorIndex(&object, "mode", -1);
    primitive->spare = -1;
    const JsonValue* targets = member(object, "targets");
    if (!targets || !targets->IsArray()) return true;
    if (!reserveFor(parse, &primitive->targets, targets)) return false;
    for (rapidjson::SizeType i = 0; i < targets->Size(); ++i) {
        GltfMorphTarget* target = appendZeroed(parse, &primitive->targets);
        if (!target) return false;
        const JsonValue* t = &(*targets)[i];
        target->position = accessorIndex(t, "POSITION", 0);
        target->normal = accessorIndex(t, "NORMAL", 0);
        target->tangent = accessorIndex(t, "TANGENT", 0);
    }
    return true;
}

bool readMesh(Parse* parse, const JsonValue& object, GltfMesh* mesh) {
    const JsonValue* primitives = member(object, "primitives");
    if (primitives && primitives->IsArray()) {
        if (!reserveFor(parse, &mesh->primitives, primitives)) return false;
        for (rapidjson::SizeType i = 0; i < primitives->Size(); ++i) {
            if (!(*primitives)[i].IsObject()) return fail(parse, "a primitive is not an object");
            GltfPrimitive* primitive = appendZeroed(parse, &mesh->primitives);
            if (!primitive || !readPrimitive(parse, (*primitives)[i], primitive)) return false;
        }
    }
    return readFloatList(parse, member(object, "weights"), &mesh->weights);
}

void readTextureReference(const JsonValue* info, int32_t* texture, int32_t* texCoord) {
    if (!info) return;
    *texture = intValue(member(info, "index"), *texture);
    *texCoord = intValue(member(info, "texCoord"), *texCoord);
}

void readMaterial(const JsonValue& object, GltfMaterial* material) {
    for (float& f : material->baseColorFactor) f = 1.0f;
    material->baseColorTexture = -1;
    material->metallicFactor = 1.0f;
    material->roughnessFactor = 1.0f;
    material->metallicRoughnessTexture = -1;
    material->normalTexture = -1;
    material->normalScale = 1.0f;
    material->occlusionTexture = -1;
    material->occlusionStrength = 1.0f;
    material->emissiveTexture = -1;
    material->alphaMode = GLTF_ALPHA_OPAQUE;
    material->alphaCutoff = 0.5f;
    const JsonValue* pbr = member(object, "pbrMetallicRoughness");
    if (pbr) {
        readFloats(member(pbr, "baseColorFactor"), material->baseColorFactor, 4);
        readTextureReference(member(pbr, "baseColorTexture"), &material->baseColorTexture,
                             &material->baseColorTexCoord);
        material->metallicFactor = floatValue(member(pbr, "metallicFactor"), material->metallicFactor);
        material->roughnessFactor = floatValue(member(pbr, "roughnessFactor"), material->roughnessFactor);
        readTextureReference(member(pbr, "metallicRoughnessTexture"), &material->metallicRoughnessTexture,
                             &material->metallicRoughnessTexCoord);
    }
    const JsonValue* normal = member(object, "normalTexture");
    readTextureReference(normal, &material->normalTexture, &material->normalTexCoord);
    material->normalScale = floatValue(member(normal, "scale"), material->normalScale);
    const JsonValue* occlusion = member(object, "occlusionTexture");
    readTextureReference(occlusion, &material->occlusionTexture, &material->occlusionTexCoord);
    material->occlusionStrength = floatValue(member(occlusion, "strength"), material->occlusionStrength);
    readTextureReference(member(object, "emissiveTexture"), &material->emissiveTexture, &material->emissiveTexCoord);
    readFloats(member(object, "emissiveFactor"), material->emissiveFactor, 3);
    const JsonValue* alphaMode = member(object, "alphaMode");
    if (textIs(alphaMode, "OPAQUE")) material->alphaMode = GLTF_ALPHA_OPAQUE;
    if (textIs(alphaMode, "MASK")) material->alphaMode = GLTF_ALPHA_MASK;
    if (textIs(alphaMode, "BLEND")) material->alphaMode = GLTF_ALPHA_BLEND;
    material->alphaCutoff = floatValue(member(object, "alphaCutoff"), material->alphaCutoff);
    const JsonValue* doubleSided = member(object, "doubleSided");
    material->doubleSided = doubleSided && doubleSided->IsTrue() ? 1 : 0;
}

void readCamera(const JsonValue& object, GltfCamera* camera) {
    const JsonValue* type = member(object, "type");
    if (textIs(type, "perspective")) {
        camera->kind = GLTF_CAMERA_PERSPECTIVE;
        const JsonValue* p = member(object, "perspective");
        camera->aspectRatioOrXmag = floatValue(member(p, "aspectRatio"), 0.0f);
        camera->yfovOrYmag = floatValue(member(p, "yfov"), 0.0f);
        camera->zfar = floatValue(member(p, "zfar"), 0.0f);
        camera->znear = floatValue(member(p, "znear"), 0.0f);
    } else if (textIs(type, "orthographic")) {
        camera->kind = GLTF_CAMERA_ORTHOGRAPHIC;
        const JsonValue* o = member(object, "orthographic");
        camera->aspectRatioOrXmag = floatValue(member(o, "xmag"), 0.0f);
        camera->yfovOrYmag = floatValue(member(o, "ymag"), 0.0f);
        camera->zfar = floatValue(member(o, "zfar"), 0.0f);
        camera->znear = floatValue(member(o, "znear"), 0.0f);
    } else {
        camera->kind = -1; // neither kind: kept, and never read
    }
}

bool readAnimation(Parse* parse, const JsonValue& object, GltfAnimation* animation) {
    animation->name = copyString(member(object, "name"));
    const JsonValue* channels = member(object, "channels");
    if (channels && channels->IsArray()) {
        if (!reserveFor(parse, &animation->channels, channels)) return false;
        for (rapidjson::SizeType i = 0; i < channels->Size(); ++i) {
            GltfAnimationChannel* channel = appendZeroed(parse, &animation->channels);
            if (!channel) return false;
            const JsonValue* c = &(*channels)[i];
            const JsonValue* target = member(c, "target");
            channel->sampler = intValue(member(c, "sampler"), 0);
            channel->targetNode = intValue(member(target, "node"), -1);
            const JsonValue* path = member(target, "path");
            channel->path = textIs(path, "translation") ? GLTF_PATH_TRANSLATION
                            : textIs(path, "rotation")  ? GLTF_PATH_ROTATION
                            : textIs(path, "scale")     ? GLTF_PATH_SCALE
                            : textIs(path, "weights")   ? GLTF_PATH_WEIGHTS
                                                        : -1;
        }
    }
    const JsonValue* samplers = member(object, "samplers");
    if (samplers && samplers->IsArray()) {
        if (!reserveFor(parse, &animation->samplers, samplers)) return false;
        for (rapidjson::SizeType i = 0; i < samplers->Size(); ++i) {
            const JsonValue* s = &(*samplers)[i];
            int32_t input = intValue(member(s, "input"), -1);
            int32_t output = intValue(member(s, "output"), -1);
            if (input < 0 || output < 0) continue; // dropped; the others keep their order
            GltfAnimationSampler* sampler = appendZeroed(parse, &animation->samplers);
            if (!sampler) return false;
            sampler->input = input;
            sampler->output = output;
            const JsonValue* interpolation = member(s, "interpolation");
            sampler->interpolation = textIs(interpolation, "STEP")          ? GLTF_STEP
                                     : textIs(interpolation, "CUBICSPLINE") ? GLTF_CUBICSPLINE
                                                                            : GLTF_LINEAR;
        }
    }
    return true;
}

bool indexValid(int32_t index, uint32_t count, bool optional) {
    if (index == -1 && optional) return true;
    return index >= 0 && static_cast<uint32_t>(index) < count;
}

// The cross references the mesh builder follows, checked once so that it can index
// the arrays without further tests.
bool checkReferences(Parse* parse) {
    GltfDocument* d = parse->document;
    for (uint32_t i = 0; i < d->nodes.count; ++i) {
        const GltfNode& node = d->nodes.elements[i];
        if (!indexValid(node.mesh, d->meshes.count, true))
            return fail(parse, "node %u names mesh %d, which does not exist", i, node.mesh);
        for (uint32_t c = 0; c < node.children.count; ++c)
            if (node.children.elements[c] >= d->nodes.count)
                return fail(parse, "node %u lists child %u, which does not exist", i, node.children.elements[c]);
    }
    for (uint32_t m = 0; m < d->meshes.count; ++m) {
        const GltfMesh& mesh = d->meshes.elements[m];
        for (uint32_t k = 0; k < mesh.primitives.count; ++k) {
            const GltfPrimitive& p = mesh.primitives.elements[k];
            const int32_t accessors[9] = {p.position, p.normal,   p.tangent,  p.texcoord0, p.texcoord1,
                                          p.color0,   p.joints0, p.weights0, p.indices};
            for (int32_t a : accessors)
                if (!indexValid(a, d->accessors.count, true))
                    return fail(parse, "primitive %u of mesh %u names accessor %d, which does not exist", k, m, a);
            if (!indexValid(p.material, d->materials.count, true))
                return fail(parse, "primitive %u of mesh %u names material %d, which does not exist", k, m, p.material);
        }
    }
    // The child lists must form a forest or at least a graph without cycles: a node
    // listed below one of its own descendants (or below itself) has no world transform,
    // and the parent walk of the mesh builder would not end.
    uint32_t count = d->nodes.count;
    if (count == 0) return true;
    struct Step {
        uint32_t node;
        uint32_t next; // next child to visit
    };
    Step* stack = static_cast<Step*>(malloc(sizeof(Step) * count));
    uint8_t* state = static_cast<uint8_t*>(calloc(count, 1)); // 0 unseen, 1 on the current path, 2 done
    bool ok = stack && state;
    if (!ok) fail(parse, "not enough memory for the document");
    for (uint32_t start = 0; ok && start < count; ++start) {
        if (state[start]) continue;
        uint32_t depth = 0;
        stack[depth++] = Step{start, 0};
        state[start] = 1;
        while (ok && depth > 0) {
            Step* top = &stack[depth - 1];
            const GltfNode& node = d->nodes.elements[top->node];
            if (top->next == node.children.count) {
                state[top->node] = 2;
                --depth;
                continue;
            }
            uint32_t child = node.children.elements[top->next++];
            if (state[child] == 1) {
                ok = fail(parse, "node %u lists node %u, one of its ancestors or itself, as a child: the node graph has a cycle",
                          top->node, child);
            } else if (state[child] == 0) {
                state[child] = 1;
                stack[depth++] = Step{child, 0};
            }
        }
    }
    free(stack);
    free(state);
    return ok;
}

bool parseRoot(Parse* parse, const JsonValue& root, char* uriOut, uint32_t* byteLengthOut) {
    GltfDocument* d = parse->document;
    if (!root.IsObject()) return fail(parse, "the document is not a JSON object");
    const JsonValue* asset = member(root, "asset");
    if (!asset) return fail(parse, "no \"asset\" member: not a glTF document");
    const JsonValue* version = member(asset, "version");
    if (!version || !version->IsString()) return fail(parse, "no \"asset\".\"version\" text");
    if (strtod(version->GetString(), nullptr) >= 3.0)
        return fail(parse, "glTF version %s is not read (only versions below 3)", version->GetString());

    // A loader must refuse a model that needs an extension it does not know (compressed
    // geometry, for one, would otherwise read as accessors without data).
    const JsonValue* required = member(root, "extensionsRequired");
    if (required && required->IsArray() && required->Size() > 0)
        return fail(parse, "requires the extension %s, which is not read",
                    (*required)[0].IsString() ? (*required)[0].GetString() : "(unnamed)");

    const JsonValue* buffers = collection(parse, root, "buffers");
    if (parse->failed) return false;
    if (buffers && buffers->Size() > 1) return fail(parse, "%u buffers: only one is read", buffers->Size());
    if (buffers && buffers->Size() == 1) {
        const JsonValue* uri = member((*buffers)[0], "uri");
        if (uri && uri->IsString() && uriOut) {
            if (uri->GetStringLength() + 1 > GLTF_URI_CAPACITY || strlen(uri->GetString()) != uri->GetStringLength())
                return fail(parse, "the buffer URI is longer than %d bytes", GLTF_URI_CAPACITY - 1);
            memcpy(uriOut, uri->GetString(), uri->GetStringLength() + 1);
        }
        *byteLengthOut = uintValue(member((*buffers)[0], "byteLength"), 0);
    }

    const JsonValue* views = collection(parse, root, "bufferViews");
    if (parse->failed || !reserveFor(parse, &d->bufferViews, views)) return false;
    for (rapidjson::SizeType i = 0; views && i < views->Size(); ++i) {
        GltfBufferView* view = appendZeroed(parse, &d->bufferViews);
        if (!view) return false;
        *view = readBufferView((*views)[i]);
    }

    const JsonValue* skins = collection(parse, root, "skins");
    if (parse->failed || !reserveFor(parse, &d->skins, skins)) return false;
    for (rapidjson::SizeType i = 0; skins && i < skins->Size(); ++i) {
        GltfSkin* skin = appendZeroed(parse, &d->skins);
        if (!skin) return false;
        const JsonValue& s = (*skins)[i];
        skin->inverseBindMatrices = intValue(member(s, "inverseBindMatrices"), -1);
        skin->skeleton = intValue(member(s, "skeleton"), 0);
        if (!readIndexList(parse, member(s, "joints"), &skin->joints)) return false;
    }

    const JsonValue* nodes = collection(parse, root, "nodes");
    if (parse->failed || !reserveFor(parse, &d->nodes, nodes)) return false;
    for (rapidjson::SizeType i = 0; nodes && i < nodes->Size(); ++i) {
        GltfNode* node = appendZeroed(parse, &d->nodes);
        if (!node || !readNode(parse, (*nodes)[i], node)) return false;
    }

    const JsonValue* accessors = collection(parse, root, "accessors");
    if (parse->failed || !reserveFor(parse, &d->accessors, accessors)) return false;
    for (rapidjson::SizeType i = 0; accessors && i < accessors->Size(); ++i) {
        GltfAccessor* accessor = appendZeroed(parse, &d->accessors);
        if (!accessor || !readAccessor(parse, (*accessors)[i], accessor, i)) return false;
    }

    const JsonValue* meshes = collection(parse, root, "meshes");
    if (parse->failed || !reserveFor(parse, &d->meshes, meshes)) return false;
    for (rapidjson::SizeType i = 0; meshes && i < meshes->Size(); ++i) {
        GltfMesh* mesh = appendZeroed(parse, &d->meshes);
        if (!mesh || !readMesh(parse, (*meshes)[i], mesh)) return false;
    }

    const JsonValue* images = collection(parse, root, "images");
    if (parse->failed || !reserveFor(parse, &d->images, images)) return false;
    for (rapidjson::SizeType i = 0; images && i < images->Size(); ++i) {
        GltfImage* image = appendZeroed(parse, &d->images);
        if (!image) return false;
        const JsonValue& object = (*images)[i];
        image->uri = copyString(member(object, "uri"));
        image->mimeType = copyString(member(object, "mimeType"));
        image->bufferView.target = -1;
        const JsonValue* view = member(object, "bufferView");
        if (view) {
            int32_t v = intValue(view, -1);
            if (v < 0 || static_cast<uint32_t>(v) >= d->bufferViews.count)
                return fail(parse, "image %u names buffer view %d, which does not exist", static_cast<unsigned>(i), v);
            image->bufferView = d->bufferViews.elements[v];
        }
    }

    const JsonValue* samplers = collection(parse, root, "samplers");
    if (parse->failed || !reserveFor(parse, &d->samplers, samplers)) return false;
    for (rapidjson::SizeType i = 0; samplers && i < samplers->Size(); ++i) {
        GltfSampler* sampler = appendZeroed(parse, &d->samplers);
        if (!sampler) return false;
        const JsonValue& s = (*samplers)[i];
        sampler->minFilter = intValue(member(s, "minFilter"), 9987);
        sampler->magFilter = intValue(member(s, "magFilter"), 9729);
        sampler->wrapS = intValue(member(s, "wrapS"), 10497);
        sampler->wrapT = intValue(member(s, "wrapT"), 10497);
    }

    const JsonValue* textures = collection(parse, root, "textures");
    if (parse->failed || !reserveFor(parse, &d->textures, textures)) return false;
    for (rapidjson::SizeType i = 0; textures && i < textures->Size(); ++i) {
        GltfTexture* texture = appendZeroed(parse, &d->textures);
        if (!texture) return false;
        texture->sampler = intValue(member((*textures)[i], "sampler"), 0);
        texture->source = intValue(member((*textures)[i], "source"), 0);
    }

    const JsonValue* materials = collection(parse, root, "materials");
    if (parse->failed || !reserveFor(parse, &d->materials, materials)) return false;
    for (rapidjson::SizeType i = 0; materials && i < materials->Size(); ++i) {
        GltfMaterial* material = appendZeroed(parse, &d->materials);
        if (!material) return false;
        readMaterial((*materials)[i], material);
    }

    const JsonValue* cameras = collection(parse, root, "cameras");
    if (parse->failed || !reserveFor(parse, &d->cameras, cameras)) return false;
    for (rapidjson::SizeType i = 0; cameras && i < cameras->Size(); ++i) {
        GltfCamera* camera = appendZeroed(parse, &d->cameras);
        if (!camera) return false;
        readCamera((*cameras)[i], camera);
    }

    const JsonValue* animations = collection(parse, root, "animations");
    if (parse->failed || !reserveFor(parse, &d->animations, animations)) return false;
    for (rapidjson::SizeType i = 0; animations && i < animations->Size(); ++i) {
        GltfAnimation* animation = appendZeroed(parse, &d->animations);
        if (!animation || !readAnimation(parse, (*animations)[i], animation)) return false;
    }
    return checkReferences(parse);
}

} // namespace

int32_t gltfComponentSize(int32_t componentType) {
    switch (componentType) {
    case GLTF_BYTE:
    case GLTF_UNSIGNED_BYTE: return 1;
    case GLTF_SHORT:
    case GLTF_UNSIGNED_SHORT: return 2;
    case GLTF_UNSIGNED_INT:
    case GLTF_FLOAT: return 4;
    default: return 0;
    }
}

int32_t gltfComponentCount(const char* type) {
    static const struct {
        const char* name;
        int32_t count;
    } kTypes[] = {{"SCALAR", 1}, {"VEC2", 2}, {"VEC3", 3}, {"VEC4", 4}, {"MAT2", 4}, {"MAT3", 9}, {"MAT4", 16}};
    for (const auto& t : kTypes)
        if (strcmp(type, t.name) == 0) return t.count;
    return 0;
}

int parseGltfDocumentText(const char* text, size_t length, char* uriOut, uint32_t* byteLengthOut,
                          GltfDocument* document) {
    Parse parse = {document, false};
    *byteLengthOut = 0;
    bool ok;
    {
        rapidjson::Document json;
        json.Parse<rapidjson::kParseStopWhenDoneFlag | rapidjson::kParseIterativeFlag>(text, length);
        if (json.HasParseError()) {
            refuseAsset("not JSON (error %d at byte %llu)", static_cast<int>(json.GetParseError()),
                        static_cast<unsigned long long>(json.GetErrorOffset()));
            ok = false;
        } else {
            ok = parseRoot(&parse, json, uriOut, byteLengthOut);
        }
    }
    if (!ok) {
        // Nothing of a refused document is kept.
        releaseGltfDocument(document);
        *byteLengthOut = 0;
        return 0;
    }
    return 1;
}

int parseGltfDocument(const char* text, char* uriOut, uint32_t* byteLengthOut, GltfDocument* document) {
    return parseGltfDocumentText(text, strlen(text), uriOut, byteLengthOut, document);
}

void releaseGltfDocument(GltfDocument* d) {
    for (uint32_t i = 0; i < d->animations.count; ++i) {
        GltfAnimation& a = d->animations.elements[i];
        free(a.name);
        releaseDynArray(&a.channels);
        releaseDynArray(&a.samplers);
    }
    releaseDynArray(&d->animations);
    releaseDynArray(&d->bufferViews);
    for (uint32_t i = 0; i < d->nodes.count; ++i) {
        GltfNode& n = d->nodes.elements[i];
        releaseDynArray(&n.children);
        releaseDynArray(&n.weights);
        free(n.name);
    }
    releaseDynArray(&d->nodes);
    for (uint32_t i = 0; i < d->meshes.count; ++i) {
        GltfMesh& m = d->meshes.elements[i];
        for (uint32_t k = 0; k < m.primitives.count; ++k) releaseDynArray(&m.primitives.elements[k].targets);
        releaseDynArray(&m.primitives);
        releaseDynArray(&m.weights);
    }
    releaseDynArray(&d->meshes);
    for (uint32_t i = 0; i < d->accessors.count; ++i) releaseDynArray(&d->accessors.elements[i].bounds);
    releaseDynArray(&d->accessors);
    releaseDynArray(&d->materials);
    for (uint32_t i = 0; i < d->skins.count; ++i) releaseDynArray(&d->skins.elements[i].joints);
    releaseDynArray(&d->skins);
    for (uint32_t i = 0; i < d->images.count; ++i) {
        free(d->images.elements[i].uri);
        free(d->images.elements[i].mimeType);
    }
    releaseDynArray(&d->images);
    releaseDynArray(&d->textures);
    releaseDynArray(&d->samplers);
    releaseDynArray(&d->cameras);
}
