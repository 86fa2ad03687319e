// The JSON part of a glTF 2.0 model as flat, index-linked arrays of plain records, one
// per top-level collection. Every member the program understands has a fixed field;
// absent members take fixed defaults. Indices are signed, -1 meaning none where a
// field can be absent. The document is transient: the mesh builder reads it and
// releases it whole.
#pragma once

#include "engine/assets/dyn_array.h"
#include "engine/math/quaternion.h"
#include "engine/math/vector.h"

#include <stddef.h>
#include <stdint.h>

enum GltfComponentType {
    GLTF_BYTE = 5120,
    GLTF_UNSIGNED_BYTE = 5121,
    GLTF_SHORT = 5122,
    GLTF_UNSIGNED_SHORT = 5123,
    GLTF_UNSIGNED_INT = 5125,
    GLTF_FLOAT = 5126,
};

struct GltfBufferView {
    int32_t buffer;
    int32_t byteLength;
    int32_t byteOffset; // default 0
    int32_t byteStride; // default 0: elements are packed
    int32_t target;     // default -1
};

// An accessor's copy of its buffer view (without the target).
struct GltfAccessorView {
    int32_t buffer;
    int32_t byteLength;
    int32_t byteOffset;
    int32_t byteStride; // the distance between elements: the view's stride, or the element size when that is 0
};

// ("min"[i], "max"[i]) of one component in the accessor's own type: bytes 0 and 1 for
// byte types, two 16-bit values for short types, two 32-bit values otherwise. All zero
// when either list is absent.
union GltfBoundsPair {
    uint8_t bytes[8];
    uint16_t shorts[4];
    uint32_t integers[2];
    float floats[2];
};

struct GltfAccessor {
    GltfAccessorView view;   // all 0 when "bufferView" is absent (then the stride is the element size)
    int32_t viewTarget;      // -1 when "bufferView" is absent
    int32_t byteOffset;
    int32_t componentType;   // GltfComponentType
    int32_t elementSize;     // component size x component count, in bytes
    uint32_t count;
    uint8_t noData;          // 1 when "bufferView" is absent or "sparse" is present
    uint8_t hasBufferView;   // 0: the elements are all zero, as glTF defines them without a view
    DynArray<GltfBoundsPair> bounds; // one pair per component
};

struct GltfNode {
    DynArray<uint32_t> children;
    Vec3 translation; // 0, 0, 0
    Quat rotation;    // 0, 0, 0, 1
    Vec3 scale;       // 1, 1, 1
    int32_t mesh;     // -1
    int32_t skin;     // -1
    char* name;       // null when unnamed
    DynArray<float> weights;
};

struct GltfMorphTarget {
    int32_t position; // accessor indices, 0 when absent
    int32_t normal;
    int32_t tangent;
};

// Accessor indices from "attributes", then "indices", "material" and "mode"; all -1
// when absent. Every primitive is treated as a triangle list whatever its mode.
struct GltfPrimitive {
    int32_t position;
    int32_t normal;
    int32_t tangent;
    int32_t texcoord0;
    int32_t texcoord1;
    int32_t color0;
    int32_t joints0;
    int32_t weights0;
    int32_t indices;
    int32_t material;
    int32_t mode;
    int32_t spare; // never set
    DynArray<GltfMorphTarget> targets;
};

struct GltfMesh {
    DynArray<GltfPrimitive> primitives;
    DynArray<float> weights;
};

enum GltfAlphaMode { GLTF_ALPHA_OPAQUE = 0, GLTF_ALPHA_MASK = 1, GLTF_ALPHA_BLEND = 2 };

struct GltfMaterial {
    float baseColorFactor[4];          // 1, 1, 1, 1
    int32_t baseColorTexture;          // -1
    int32_t baseColorTexCoord;         // 0
    float metallicFactor;              // 1
    float roughnessFactor;             // 1
    int32_t metallicRoughnessTexture;  // -1
    int32_t metallicRoughnessTexCoord; // 0
    int32_t normalTexture;             // -1
    int32_t normalTexCoord;            // 0
    float normalScale;                 // 1
    int32_t occlusionTexture;          // -1
    int32_t occlusionTexCoord;         // 0
    float occlusionStrength;           // 1
    int32_t emissiveTexture;           // -1
    int32_t emissiveTexCoord;          // 0
    float emissiveFactor[3];           // 0, 0, 0
    int32_t alphaMode;                 // GltfAlphaMode, OPAQUE
    float alphaCutoff;                 // 0.5
    uint8_t doubleSided;               // 0
};

struct GltfSampler {
    int32_t minFilter; // 9987
    int32_t magFilter; // 9729
    int32_t wrapS;     // 10497
    int32_t wrapT;     // 10497
};

struct GltfTexture {
    int32_t sampler; // 0 when absent
    int32_t source;  // 0 when absent
};

struct GltfImage {
    char* uri;      // null when absent
    char* mimeType; // null when absent
    GltfBufferView bufferView; // all 0, target -1 when absent
};

enum GltfCameraKind { GLTF_CAMERA_PERSPECTIVE = 0, GLTF_CAMERA_ORTHOGRAPHIC = 1 };

struct GltfCamera {
    int32_t kind;
    float aspectRatioOrXmag;
    float yfovOrYmag;
    float zfar;
    float znear;
};

struct GltfSkin {
    int32_t inverseBindMatrices; // -1
    DynArray<uint32_t> joints;
    int32_t skeleton;            // 0
};

enum GltfAnimationPath { GLTF_PATH_TRANSLATION = 0, GLTF_PATH_ROTATION, GLTF_PATH_SCALE, GLTF_PATH_WEIGHTS };
enum GltfInterpolation { GLTF_LINEAR = 0, GLTF_STEP = 1, GLTF_CUBICSPLINE = 2 };

struct GltfAnimationChannel {
    int32_t sampler;
    int32_t targetNode; // -1
    int32_t path;       // GltfAnimationPath; -1 for another path
};

struct GltfAnimationSampler {
    int32_t input;
    int32_t output;
    int32_t interpolation; // GltfInterpolation, LINEAR
};

struct GltfAnimation {
    char* name;
    DynArray<GltfAnimationChannel> channels;
    DynArray<GltfAnimationSampler> samplers;
};

struct GltfDocument {
    DynArray<GltfAnimation> animations;
    DynArray<GltfBufferView> bufferViews;
    DynArray<GltfNode> nodes;
    DynArray<GltfMesh> meshes;
    DynArray<GltfAccessor> accessors;
    DynArray<GltfMaterial> materials;
    DynArray<GltfSkin> skins;
    DynArray<GltfImage> images;
    DynArray<GltfTexture> textures;
    DynArray<GltfSampler> samplers;
    DynArray<GltfCamera> cameras;
};

enum { GLTF_URI_CAPACITY = 1024 };

// Parses the JSON text (parsing stops after the first complete value, so text may go
// on past it) into an empty document. uriOut, when not null, is a buffer of
// GLTF_URI_CAPACITY bytes that receives the one buffer's "uri" (left as it was when
// there is none); byteLengthOut receives its "byteLength" (0 when absent).
// 1 on success. 0 when the root has no "asset", the version is 3 or more, there is more
// than one buffer, or the document is malformed (a collection that is not an array,
// an index naming nothing, a node that is its own ancestor, a URI too long for the
// buffer); the document is then empty and assetRefusal() says why.
int parseGltfDocument(const char* text, char* uriOut, uint32_t* byteLengthOut, GltfDocument* document);
// The same for a text of known length that need not be NUL-terminated (a GLB chunk).
int parseGltfDocumentText(const char* text, size_t length, char* uriOut, uint32_t* byteLengthOut,
                          GltfDocument* document);

// Frees every array and string; the document is empty afterwards.
void releaseGltfDocument(GltfDocument* document);

// Component size in bytes of a component type (0 for an unknown one), and the number
// of components of an accessor "type" text (0 for an unknown one).
int32_t gltfComponentSize(int32_t componentType);
int32_t gltfComponentCount(const char* type);
