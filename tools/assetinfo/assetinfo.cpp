// assetinfo: what the game's loaders make of one asset file.
//
//   assetinfo MESH [NODE]    a mesh read as loadMesh reads it (or a ".glb" with only the
//                            nodes named NODE), in vertex format 0
//   assetinfo TEXTURE        an image read as loadTexture reads it
//
// Prints one "key: value" per line. A file the loaders refuse gives exit code 1 and a
// single line on stderr saying why; wrong arguments give exit code 2.
#include "backend/renderer_types.h"
#include "backend/vertex_formats.h"
#include "engine/assets/asset_refusal.h"
#include "engine/assets/gltf_mesh.h"
#include "engine/assets/image_readers.h"
#include "engine/assets/mesh.h"
#include "engine/assets/texture.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

const char* const kMeshNames[] = {".json", ".mesh", ".dmesh", ".gltf", ".glb"};

// The reader loadMesh picks, or null when the name is not a mesh's.
const char* meshReaderOf(const char* path) {
    for (const char* name : kMeshNames)
        if (strstr(path, name)) return name + 1;
    return nullptr;
}

const char* pixelFormatName(uint32_t format) {
    static const char* const kNames[] = {"RGBA8", "BGRA8", "RGB8", "BGR8", "RG16F", "R8", "RGBA16F", "BC1", "BC2", "BC3"};
    return format < sizeof(kNames) / sizeof(kNames[0]) ? kNames[format] : "unsupported";
}

// FNV-1a, 64 bits.
uint64_t checksum(const void* data, uint64_t size, uint64_t hash = 0xCBF29CE484222325ull) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (uint64_t i = 0; i < size; ++i) hash = (hash ^ p[i]) * 0x100000001B3ull;
    return hash;
}

int refused(const char* what) {
    char line[600];
    snprintf(line, sizeof(line), "%s", assetRefusal()[0] ? assetRefusal() : what);
    for (char* c = line; *c; ++c)
        if (*c == '\n' || *c == '\r') *c = ' ';
    fprintf(stderr, "assetinfo: %s\n", line);
    return 1;
}

int describeMesh(const char* path, const char* reader, const char* nodeName) {
    Mesh mesh = {}; // vertex format 0
    clearAssetRefusal();
    bool ok = nodeName ? loadGlb(&mesh, path, nodeName) : loadMesh(&mesh, path);
    if (!ok) {
        releaseMesh(&mesh);
        return refused("refused");
    }
    int32_t slots = vertexFormatSlots(mesh.vertexFormat);
    int32_t components = vertexAttributeComponents(mesh.vertexFormat, VERTEX_ATTRIBUTE_POSITION);
    uint32_t vertexCount = meshVertexCount(&mesh);
    float low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
    uint64_t hash = 0xCBF29CE484222325ull;
    for (uint32_t v = 0; v < vertexCount; ++v) {
        const float* p = mesh.vertices + static_cast<size_t>(v) * slots;
        for (int c = 0; c < components; ++c) {
            if (p[c] < low[c]) low[c] = p[c];
            if (p[c] > high[c]) high[c] = p[c];
        }
        hash = checksum(p, sizeof(float) * static_cast<size_t>(components), hash);
    }
    printf("kind: mesh\n");
    printf("reader: %s\n", nodeName ? "glb" : reader);
    if (nodeName) printf("node: %s\n", nodeName);
    printf("vertex format: %d\n", mesh.vertexFormat);
    printf("vertex count: %u\n", vertexCount);
    printf("index count: %u\n", mesh.indexCount);
    if (vertexCount) {
        printf("position min: %g %g %g\n", low[0], low[1], components == 3 ? low[2] : 0.0f);
        printf("position max: %g %g %g\n", high[0], high[1], components == 3 ? high[2] : 0.0f);
    } else {
        printf("position min: none\n");
        printf("position max: none\n");
    }
    printf("position checksum: %016llx\n", static_cast<unsigned long long>(hash));
    releaseMesh(&mesh);
    return 0;
}

int describeTexture(const char* path) {
    Texture texture = emptyTexture();
    TextureDescription* d = &texture.description;
    uint16_t levelsInData = 0;
    uint64_t byteSize = 0;
    clearAssetRefusal();
    unsigned char* pixels = readTextureImage(path, d, &levelsInData, &byteSize);
    if (!pixels) return refused("refused");
    // The mip count as loadTexture works it out.
    if (d->mipLevels == 0 && d->attachmentKind == ATTACHMENT_COLOR) d->mipLevels = fullMipCount(d->width, d->height);
    printf("kind: texture\n");
    printf("width: %u\n", d->width);
    printf("height: %u\n", d->height);
    printf("pixel format: %u %s\n", d->pixelFormat, pixelFormatName(d->pixelFormat));
    printf("levels in data: %u\n", levelsInData);
    printf("mip count: %u\n", d->mipLevels);
    printf("pixel bytes: %llu\n", static_cast<unsigned long long>(byteSize));
    printf("pixel checksum: %016llx\n", static_cast<unsigned long long>(checksum(pixels, byteSize)));
    releaseImagePixels(pixels);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || strcmp(argv[1], "--help") == 0) {
        fprintf(stderr, "usage: assetinfo MESH [NODE] | assetinfo TEXTURE\n");
        return 2;
    }
    const char* path = argv[1];
    const char* reader = meshReaderOf(path);
    if (argc == 3) {
        if (!reader || strcmp(reader, "glb") != 0) {
            fprintf(stderr, "assetinfo: a node name goes with a \".glb\" file only\n");
            return 2;
        }
        return describeMesh(path, reader, argv[2]);
    }
    return reader ? describeMesh(path, reader, nullptr) : describeTexture(path);
}
