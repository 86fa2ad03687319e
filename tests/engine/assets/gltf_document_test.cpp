#include "engine/assets/asset_refusal.h"
#include "engine/assets/gltf_document.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

// A document with the given members after "asset"; the parse result in ok.
struct Parsed {
    GltfDocument document = {};
    int result = -1;
    char uri[GLTF_URI_CAPACITY] = {};
    uint32_t byteLength = 99;

    explicit Parsed(const std::string& members, const char* version = "2.0") {
        std::string text = std::string("{\"asset\": {\"version\": \"") + version + "\"}" +
                           (members.empty() ? "" : ", ") + members + "}";
        result = parseGltfDocument(text.c_str(), uri, &byteLength, &document);
    }
    ~Parsed() { releaseGltfDocument(&document); }
};

void expectEmpty(const GltfDocument& d) {
    EXPECT_EQ(d.nodes.count, 0u);
    EXPECT_EQ(d.meshes.count, 0u);
    EXPECT_EQ(d.accessors.count, 0u);
    EXPECT_EQ(d.bufferViews.count, 0u);
    EXPECT_EQ(d.nodes.elements, nullptr);
}

TEST(GltfDocument, AssetVersionAndBuffers) {
    Parsed one(R"("buffers": [{"uri": "model.bin", "byteLength": 1234}])");
    EXPECT_EQ(one.result, 1);
    EXPECT_STREQ(one.uri, "model.bin");
    EXPECT_EQ(one.byteLength, 1234u);

    Parsed two(R"("buffers": [{"uri": "a.bin", "byteLength": 4}, {"uri": "b.bin", "byteLength": 4}],
                  "nodes": [{"mesh": 0}], "meshes": [{"primitives": []}])");
    EXPECT_EQ(two.result, 0);
    expectEmpty(two.document);
    EXPECT_NE(strstr(assetRefusal(), "buffers"), nullptr) << assetRefusal();

    Parsed three("", "3.0");
    EXPECT_EQ(three.result, 0);
    Parsed old("", "1.5");
    EXPECT_EQ(old.result, 1);

    GltfDocument d = {};
    uint32_t length = 0;
    EXPECT_EQ(parseGltfDocument(R"({"nodes": []})", nullptr, &length, &d), 0);
    EXPECT_EQ(parseGltfDocument("[1, 2]", nullptr, &length, &d), 0);
    EXPECT_EQ(parseGltfDocument("{\"asset\": ", nullptr, &length, &d), 0);
    // Parsing stops after the first value: the rest may be anything.
    EXPECT_EQ(parseGltfDocument("{\"asset\": {\"version\": \"2.0\"}}\x01\x02garbage", nullptr, &length, &d), 1);
    releaseGltfDocument(&d);
}

TEST(GltfDocument, NodeDefaultsAndMatrixDecomposition) {
    Parsed p(R"("nodes": [
        {},
        {"translation": [9, 9, 9], "matrix": [2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 5, 6, 7, 1], "name": "box",
         "children": [0], "weights": [0.5, 0.25], "mesh": 3, "skin": 1},
        {"matrix": [0, 1, 0, 0, -2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1], "rotation": [0, 0, 1, 0]}],
        "meshes": [{}, {}, {}, {}])");
    ASSERT_EQ(p.result, 1) << assetRefusal();
    ASSERT_EQ(p.document.nodes.count, 3u);
    const GltfNode& plain = p.document.nodes.elements[0];
    EXPECT_EQ(plain.mesh, -1);
    EXPECT_EQ(plain.skin, -1);
    EXPECT_EQ(plain.name, nullptr);
    EXPECT_EQ(plain.scale.y, 1.0f);
    EXPECT_EQ(plain.rotation.w, 1.0f);
    EXPECT_EQ(plain.children.count, 0u);

    const GltfNode& box = p.document.nodes.elements[1];
    EXPECT_EQ(box.translation.x, 5.0f); // the matrix wins over "translation"
    EXPECT_EQ(box.translation.z, 7.0f);
    EXPECT_FLOAT_EQ(box.scale.x, 2.0f);
    EXPECT_FLOAT_EQ(box.scale.y, 3.0f);
    EXPECT_FLOAT_EQ(box.scale.z, 4.0f);
    EXPECT_FLOAT_EQ(box.rotation.x, 0.0f);
    EXPECT_FLOAT_EQ(box.rotation.w, 1.0f);
    EXPECT_STREQ(box.name, "box");
    ASSERT_EQ(box.children.count, 1u);
    EXPECT_EQ(box.children.elements[0], 0u);
    ASSERT_EQ(box.weights.count, 2u);
    EXPECT_EQ(box.weights.elements[1], 0.25f);
    EXPECT_EQ(box.mesh, 3);
    EXPECT_EQ(box.skin, 1);

    // A turn of 90 degrees about z with a scale of 2 along the node's own y.
    const GltfNode& turned = p.document.nodes.elements[2];
    EXPECT_FLOAT_EQ(turned.scale.x, 1.0f);
    EXPECT_FLOAT_EQ(turned.scale.y, 2.0f);
    EXPECT_NEAR(turned.rotation.z, 0.70710678f, 1e-6f);
    EXPECT_NEAR(turned.rotation.w, 0.70710678f, 1e-6f);
}

TEST(GltfDocument, AccessorStridesElementSizesAndBounds) {
    Parsed p(R"("bufferViews": [{"buffer": 0, "byteLength": 96}, {"buffer": 0, "byteLength": 64, "byteOffset": 8,
                                  "byteStride": 16, "target": 34962}],
        "accessors": [
            {"bufferView": 0, "componentType": 5126, "count": 8, "type": "VEC3", "min": [-1, -2, -3], "max": [1, 2, 3]},
            {"bufferView": 1, "byteOffset": 4, "componentType": 5126, "count": 4, "type": "VEC3"},
            {"bufferView": 0, "componentType": 5126, "count": 1, "type": "MAT4"},
            {"bufferView": 0, "componentType": 5123, "count": 3, "type": "SCALAR", "min": [2], "max": [700]},
            {"componentType": 5121, "count": 5, "type": "VEC2", "min": [1, 2]},
            {"bufferView": 0, "componentType": 5126, "count": 2, "type": "VEC4", "sparse": {"count": 1}}])");
    ASSERT_EQ(p.result, 1) << assetRefusal();
    ASSERT_EQ(p.document.accessors.count, 6u);
    const GltfAccessor* a = p.document.accessors.elements;
    EXPECT_EQ(a[0].elementSize, 12);
    EXPECT_EQ(a[0].view.byteStride, 12);
    EXPECT_EQ(a[0].viewTarget, -1);
    EXPECT_EQ(a[0].noData, 0);
    ASSERT_EQ(a[0].bounds.count, 3u);
    EXPECT_EQ(a[0].bounds.elements[1].floats[0], -2.0f);
    EXPECT_EQ(a[0].bounds.elements[2].floats[1], 3.0f);

    EXPECT_EQ(a[1].elementSize, 12);
    EXPECT_EQ(a[1].view.byteStride, 16);
    EXPECT_EQ(a[1].view.byteOffset, 8);
    EXPECT_EQ(a[1].byteOffset, 4);
    EXPECT_EQ(a[1].viewTarget, 34962);
    EXPECT_EQ(a[1].count, 4u);

    EXPECT_EQ(a[2].elementSize, 64);
    EXPECT_EQ(a[2].bounds.count, 16u);
    EXPECT_EQ(a[3].elementSize, 2);
    EXPECT_EQ(a[3].bounds.elements[0].shorts[0], 2);
    EXPECT_EQ(a[3].bounds.elements[0].shorts[1], 700);

    // No view: no data, all zero copy, stride of the element; "max" missing: zero bounds.
    EXPECT_EQ(a[4].noData, 1);
    EXPECT_EQ(a[4].hasBufferView, 0);
    EXPECT_EQ(a[4].view.byteLength, 0);
    EXPECT_EQ(a[4].view.byteStride, 2);
    EXPECT_EQ(a[4].viewTarget, -1);
    EXPECT_EQ(a[4].bounds.elements[0].bytes[0], 0);
    EXPECT_EQ(a[5].noData, 1);
    EXPECT_EQ(a[5].hasBufferView, 1);
}

TEST(GltfDocument, MeshesMaterialsAndTheRest) {
    Parsed p(R"("accessors": [{"count": 1, "type": "SCALAR", "componentType": 5125}, {"count": 1, "type": "VEC3", "componentType": 5126}],
        "materials": [{}, {"pbrMetallicRoughness": {"baseColorFactor": [1, 0, 0, 0.5], "baseColorTexture": {"index": 2, "texCoord": 1},
                       "metallicFactor": 0.25}, "normalTexture": {"index": 4, "scale": 2}, "emissiveFactor": [1, 1, 0],
                       "alphaMode": "MASK", "alphaCutoff": 0.3, "doubleSided": true},
                      {"alphaMode": "GLOSSY", "doubleSided": 1}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 1, "COLOR_0": 1}, "indices": 0, "material": 1, "mode": 4,
                                    "targets": [{"POSITION": 1}]},
                                   {"attributes": {}}], "weights": [1]}],
        "samplers": [{}, {"magFilter": 9728, "wrapS": 33071}],
        "textures": [{}, {"sampler": 1, "source": 2}],
        "images": [{"uri": "a.png"}, {"mimeType": "image/png"}],
        "cameras": [{"type": "perspective", "perspective": {"aspectRatio": 1.5, "yfov": 0.8, "zfar": 100, "znear": 0.1}},
                    {"type": "orthographic", "orthographic": {"xmag": 2, "ymag": 3, "zfar": 10, "znear": 1}}],
        "skins": [{"joints": [0, 1]}],
        "animations": [{"name": "walk", "channels": [{"sampler": 1, "target": {"node": 0, "path": "rotation"}}],
                        "samplers": [{"input": 0, "output": 1, "interpolation": "STEP"}, {"input": -1, "output": 1},
                                     {"input": 1, "output": 0}]}])");
    ASSERT_EQ(p.result, 1) << assetRefusal();
    const GltfDocument& d = p.document;
    ASSERT_EQ(d.meshes.count, 1u);
    ASSERT_EQ(d.meshes.elements[0].primitives.count, 2u);
    const GltfPrimitive& first = d.meshes.elements[0].primitives.elements[0];
    EXPECT_EQ(first.position, 1);
    EXPECT_EQ(first.color0, 1);
    EXPECT_EQ(first.normal, -1);
    EXPECT_EQ(first.indices, 0);
    EXPECT_EQ(first.material, 1);
    EXPECT_EQ(first.mode, 4);
    EXPECT_EQ(first.spare, -1);
    ASSERT_EQ(first.targets.count, 1u);
    EXPECT_EQ(first.targets.elements[0].position, 1);
    EXPECT_EQ(first.targets.elements[0].normal, 0);
    const GltfPrimitive& second = d.meshes.elements[0].primitives.elements[1];
    EXPECT_EQ(second.position, -1);
    EXPECT_EQ(second.indices, -1);
    EXPECT_EQ(second.material, -1);

    ASSERT_EQ(d.materials.count, 3u);
    const GltfMaterial& plain = d.materials.elements[0];
    EXPECT_EQ(plain.baseColorFactor[3], 1.0f);
    EXPECT_EQ(plain.baseColorTexture, -1);
    EXPECT_EQ(plain.roughnessFactor, 1.0f);
    EXPECT_EQ(plain.occlusionStrength, 1.0f);
    EXPECT_EQ(plain.alphaCutoff, 0.5f);
    EXPECT_EQ(plain.alphaMode, GLTF_ALPHA_OPAQUE);
    const GltfMaterial& red = d.materials.elements[1];
    EXPECT_EQ(red.baseColorFactor[0], 1.0f);
    EXPECT_EQ(red.baseColorFactor[1], 0.0f);
    EXPECT_EQ(red.baseColorTexture, 2);
    EXPECT_EQ(red.baseColorTexCoord, 1);
    EXPECT_EQ(red.metallicFactor, 0.25f);
    EXPECT_EQ(red.normalTexture, 4);
    EXPECT_EQ(red.normalScale, 2.0f);
    EXPECT_EQ(red.emissiveFactor[1], 1.0f);
    EXPECT_EQ(red.alphaMode, GLTF_ALPHA_MASK);
    EXPECT_FLOAT_EQ(red.alphaCutoff, 0.3f);
    EXPECT_EQ(red.doubleSided, 1);
    EXPECT_EQ(d.materials.elements[2].alphaMode, GLTF_ALPHA_OPAQUE);
    EXPECT_EQ(d.materials.elements[2].doubleSided, 0); // only the literal true

    EXPECT_EQ(d.samplers.elements[0].minFilter, 9987);
    EXPECT_EQ(d.samplers.elements[0].wrapT, 10497);
    EXPECT_EQ(d.samplers.elements[1].magFilter, 9728);
    EXPECT_EQ(d.samplers.elements[1].wrapS, 33071);
    EXPECT_EQ(d.textures.elements[0].source, 0);
    EXPECT_EQ(d.textures.elements[1].source, 2);
    EXPECT_STREQ(d.images.elements[0].uri, "a.png");
    EXPECT_EQ(d.images.elements[0].bufferView.target, -1);
    EXPECT_STREQ(d.images.elements[1].mimeType, "image/png");
    EXPECT_EQ(d.cameras.elements[0].kind, GLTF_CAMERA_PERSPECTIVE);
    EXPECT_FLOAT_EQ(d.cameras.elements[0].aspectRatioOrXmag, 1.5f);
    EXPECT_FLOAT_EQ(d.cameras.elements[0].znear, 0.1f);
    EXPECT_EQ(d.cameras.elements[1].kind, GLTF_CAMERA_ORTHOGRAPHIC);
    EXPECT_FLOAT_EQ(d.cameras.elements[1].yfovOrYmag, 3.0f);
    EXPECT_EQ(d.skins.elements[0].inverseBindMatrices, -1);
    EXPECT_EQ(d.skins.elements[0].joints.count, 2u);

    const GltfAnimation& walk = d.animations.elements[0];
    EXPECT_STREQ(walk.name, "walk");
    EXPECT_EQ(walk.channels.elements[0].path, GLTF_PATH_ROTATION);
    EXPECT_EQ(walk.channels.elements[0].sampler, 1);
    ASSERT_EQ(walk.samplers.count, 2u); // the one with input -1 is dropped
    EXPECT_EQ(walk.samplers.elements[0].interpolation, GLTF_STEP);
    EXPECT_EQ(walk.samplers.elements[1].input, 1);
    EXPECT_EQ(walk.samplers.elements[1].interpolation, GLTF_LINEAR);
}

TEST(GltfDocument, MalformedDocumentsAreRefusedWhole) {
    const char* cases[] = {
        // The node graph loops, or a node is its own child.
        R"("nodes": [{"children": [1]}, {"children": [0], "mesh": 0}], "meshes": [{}])",
        R"("nodes": [{"children": [0]}])",
        R"("nodes": [{"children": [1]}, {"children": [2]}, {"children": [1]}])",
        // References to nothing.
        R"("nodes": [{"children": [5]}])",
        R"("nodes": [{"mesh": 2}], "meshes": [{}])",
        R"("accessors": [{"bufferView": 0, "count": 1, "type": "SCALAR", "componentType": 5121}])",
        R"("meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}])",
        R"("meshes": [{"primitives": [{"attributes": {}, "material": 0}]}])",
        R"("bufferViews": [{"byteLength": 4}], "images": [{"bufferView": 1}])",
        // An extension the reader does not know is required (compressed geometry).
        R"("extensionsRequired": ["KHR_draco_mesh_compression"], "extensionsUsed": ["KHR_draco_mesh_compression"])",
        // glTF 1.0 keeps its collections in objects.
        R"("nodes": {"node_1": {}})",
        R"("meshes": [3])",
    };
    for (const char* members : cases) {
        Parsed p(members);
        EXPECT_EQ(p.result, 0) << members;
        expectEmpty(p.document);
        EXPECT_NE(assetRefusal()[0], 0) << members;
    }
    std::string longUri(GLTF_URI_CAPACITY, 'a');
    Parsed tooLong("\"buffers\": [{\"uri\": \"" + longUri + "\", \"byteLength\": 1}]");
    EXPECT_EQ(tooLong.result, 0);
    // Nesting deeper than any stack could recurse through is read without recursion.
    const size_t depth = 200000;
    Parsed deep("\"extras\": " + std::string(depth, '[') + std::string(depth, ']'));
    EXPECT_EQ(deep.result, 1) << assetRefusal();
    // A node listed as a child by two nodes takes the first: not a cycle.
    Parsed shared(R"("nodes": [{"children": [2]}, {"children": [2]}, {}])");
    EXPECT_EQ(shared.result, 1) << assetRefusal();
}

} // namespace
