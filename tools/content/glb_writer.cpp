#include "tools/content/glb_writer.h"

#include "tools/content/byte_writer.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

struct Text {
    std::vector<char> chars;
};

void appendf(Text* text, const char* format, ...) {
    char chunk[512];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(chunk, sizeof(chunk), format, args);
    va_end(args);
    if (n < 0) return;
    if ((size_t)n >= sizeof(chunk)) n = sizeof(chunk) - 1;
    text->chars.insert(text->chars.end(), chunk, chunk + n);
}

// Names go into JSON strings: keep them to characters that need no escaping.
void appendName(Text* text, const char* name) {
    appendf(text, "\"");
    for (const char* c = name; *c; ++c)
        if (*c != '"' && *c != '\\' && (unsigned char)*c >= 0x20) text->chars.push_back(*c);
    appendf(text, "\"");
}

struct View {
    uint32_t offset, length, target;
};

void alignBinary(ByteBuffer* bin) {
    while (bin->bytes.size() % 4) putU8(bin, 0);
}

} // namespace

bool writeGlb(const char* path, const GlbNode* nodes, uint32_t nodeCount) {
    if (nodeCount == 0) return false;
    ByteBuffer bin;
    std::vector<View> views;
    // Per node: positions, normals, texture coordinates, colours, indices (five views
    // and five accessors, in that order).
    for (uint32_t n = 0; n < nodeCount; ++n) {
        const MeshBuilder* m = nodes[n].mesh;
        uint32_t count = builderVertexCount(m);
        const int attributeOffset[4] = {0, 8, 3, 5};
        const int attributeSize[4] = {3, 3, 2, 3};
        for (int a = 0; a < 4; ++a) {
            View view = {(uint32_t)bin.bytes.size(), 0, 34962};
            for (uint32_t v = 0; v < count; ++v) {
                const float* f = &m->vertices[(size_t)v * GEOMETRY_FLOATS_PER_VERTEX + attributeOffset[a]];
                for (int k = 0; k < attributeSize[a]; ++k) {
                    // The reader stores (u, 1 - v); write 1 - v so the game sees our v.
                    float value = (a == 2 && k == 1) ? 1.0f - f[k] : f[k];
                    putF32(&bin, value);
                }
            }
            view.length = (uint32_t)bin.bytes.size() - view.offset;
            views.push_back(view);
            alignBinary(&bin);
        }
        View indexView = {(uint32_t)bin.bytes.size(), 0, 34963};
        for (uint32_t index : m->indices) putU32(&bin, index);
        indexView.length = (uint32_t)bin.bytes.size() - indexView.offset;
        views.push_back(indexView);
        alignBinary(&bin);
    }

    Text json;
    appendf(&json, "{\"asset\":{\"version\":\"2.0\",\"generator\":\"Quarlo content builder\"},");
    appendf(&json, "\"scene\":0,\"scenes\":[{\"nodes\":[");
    for (uint32_t n = 0; n < nodeCount; ++n) appendf(&json, n ? ",%u" : "%u", n);
    appendf(&json, "]}],\"nodes\":[");
    for (uint32_t n = 0; n < nodeCount; ++n) {
        appendf(&json, n ? ",{\"name\":" : "{\"name\":");
        appendName(&json, nodes[n].name);
        appendf(&json, ",\"mesh\":%u}", n);
    }
    appendf(&json, "],\"meshes\":[");
    uint32_t materialCount = 0;
    for (uint32_t n = 0; n < nodeCount; ++n) {
        uint32_t a = n * 5;
        appendf(&json, "%s{\"primitives\":[{\"attributes\":{\"POSITION\":%u,\"NORMAL\":%u,\"TEXCOORD_0\":%u,\"COLOR_0\":%u},"
                       "\"indices\":%u,\"mode\":4",
                n ? "," : "", a, a + 1, a + 2, a + 3, a + 4);
        if (nodes[n].hasMaterial) appendf(&json, ",\"material\":%u", materialCount++);
        appendf(&json, "}]}");
    }
    appendf(&json, "]");
    if (materialCount) {
        appendf(&json, ",\"materials\":[");
        uint32_t written = 0;
        for (uint32_t n = 0; n < nodeCount; ++n) {
            if (!nodes[n].hasMaterial) continue;
            const float* c = nodes[n].baseColour;
            appendf(&json, "%s{\"pbrMetallicRoughness\":{\"baseColorFactor\":[%.9g,%.9g,%.9g,%.9g],"
                           "\"metallicFactor\":0,\"roughnessFactor\":0.8}}",
                    written++ ? "," : "", c[0], c[1], c[2], c[3]);
        }
        appendf(&json, "]");
    }
    appendf(&json, ",\"accessors\":[");
    for (uint32_t n = 0; n < nodeCount; ++n) {
        const MeshBuilder* m = nodes[n].mesh;
        uint32_t count = builderVertexCount(m);
        Vec3 lo, hi;
        builderBounds(m, &lo, &hi);
        uint32_t v = n * 5;
        appendf(&json, "%s{\"bufferView\":%u,\"componentType\":5126,\"count\":%u,\"type\":\"VEC3\","
                       "\"min\":[%.9g,%.9g,%.9g],\"max\":[%.9g,%.9g,%.9g]}",
                n ? "," : "", v, count, lo.x, lo.y, lo.z, hi.x, hi.y, hi.z);
        appendf(&json, ",{\"bufferView\":%u,\"componentType\":5126,\"count\":%u,\"type\":\"VEC3\"}", v + 1, count);
        appendf(&json, ",{\"bufferView\":%u,\"componentType\":5126,\"count\":%u,\"type\":\"VEC2\"}", v + 2, count);
        appendf(&json, ",{\"bufferView\":%u,\"componentType\":5126,\"count\":%u,\"type\":\"VEC3\"}", v + 3, count);
        appendf(&json, ",{\"bufferView\":%u,\"componentType\":5125,\"count\":%u,\"type\":\"SCALAR\"}", v + 4,
                (uint32_t)m->indices.size());
    }
    appendf(&json, "],\"bufferViews\":[");
    for (size_t i = 0; i < views.size(); ++i)
        appendf(&json, "%s{\"buffer\":0,\"byteOffset\":%u,\"byteLength\":%u,\"target\":%u}", i ? "," : "",
                views[i].offset, views[i].length, views[i].target);
    appendf(&json, "],\"buffers\":[{\"byteLength\":%u}]}", (uint32_t)bin.bytes.size());
    while (json.chars.size() % 4) json.chars.push_back(' ');

    ByteBuffer out;
    uint32_t total = 12 + 8 + (uint32_t)json.chars.size() + 8 + (uint32_t)bin.bytes.size();
    putBytes(&out, "glTF", 4);
    putU32(&out, 2);
    putU32(&out, total);
    putU32(&out, (uint32_t)json.chars.size());
    putBytes(&out, "JSON", 4);
    putBytes(&out, json.chars.data(), json.chars.size());
    putU32(&out, (uint32_t)bin.bytes.size());
    putBytes(&out, "BIN\0", 4);
    putBytes(&out, bin.bytes.data(), bin.bytes.size());
    return writeBuffer(path, &out);
}
