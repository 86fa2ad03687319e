// assetinfo: what the game's loaders make of one asset file.
//
//   assetinfo MESH [NODE]    a mesh read as loadMesh reads it (or a ".glb" with only the
//                            nodes named NODE), in vertex format 0
//   assetinfo TEXTURE        an image read as loadTexture reads it
//   assetinfo --as KIND FILE [NODE]
//                            the file read by the reader KIND names, whatever its name:
//                            json, mesh, dmesh, gltf, glb (meshes), bmp, png, dds, image
//                            (the fallback reader), language, textures (a texture list),
//                            interactables, entities, font
//   --vertex-format N        (before the rest) builds meshes in vertex format N
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
#include "engine/assets/binary_mesh.h"
#include "engine/assets/json_mesh.h"
#include "engine/platform/files.h"
#include "engine/text/font_atlas.h"
#include "engine/text/language.h"
#include "game/scene_files.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
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

// The reader a mesh kind names, called whatever the file's name is.
bool readMeshAs(Mesh* mesh, const char* path, const char* reader, const char* nodeName) {
    if (strcmp(reader, "json") == 0) return loadJsonMesh(mesh, path);
    if (strcmp(reader, "mesh") == 0) return readStreamMesh(mesh, path);
    if (strcmp(reader, "dmesh") == 0) return readImageMesh(mesh, path);
    if (strcmp(reader, "gltf") == 0) return loadGltf(mesh, path);
    return loadGlb(mesh, path, nodeName);
}

int describeMesh(const char* path, const char* reader, const char* nodeName, int32_t format, bool byKind) {
    Mesh mesh = {};
    mesh.vertexFormat = format;
    clearAssetRefusal();
    bool ok = byKind ? readMeshAs(&mesh, path, reader, nodeName)
                     : nodeName ? loadGlb(&mesh, path, nodeName) : loadMesh(&mesh, path);
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

// The reader an image kind names, filling the description as loadTexture does.
unsigned char* readImageAs(const char* path, const char* kind, TextureDescription* d, uint16_t* levelsInData,
                           uint64_t* byteSize) {
    *levelsInData = 1;
    if (strcmp(kind, "bmp") == 0) {
        d->pixelFormat = PIXEL_FORMAT_BGR8;
        return readBmp(path, &d->width, &d->height, byteSize);
    }
    if (strcmp(kind, "png") == 0) {
        uint32_t channels = 0;
        unsigned char* pixels = readPng(path, &d->width, &d->height, &channels, byteSize);
        d->pixelFormat = channels == 4 ? PIXEL_FORMAT_RGBA8 : channels == 3 ? PIXEL_FORMAT_RGB8 : PIXEL_FORMAT_R8;
        return pixels;
    }
    if (strcmp(kind, "dds") == 0) return readDds(path, &d->width, &d->height, &d->pixelFormat, levelsInData, byteSize);
    d->pixelFormat = PIXEL_FORMAT_BGRA8;
    return readFallbackImage(path, &d->width, &d->height, byteSize);
}

int describeTexture(const char* path, const char* kind) {
    Texture texture = emptyTexture();
    TextureDescription* d = &texture.description;
    uint16_t levelsInData = 0;
    uint64_t byteSize = 0;
    clearAssetRefusal();
    unsigned char* pixels = kind ? readImageAs(path, kind, d, &levelsInData, &byteSize)
                                 : readTextureImage(path, d, &levelsInData, &byteSize);
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

int refusedWith(const char* reason) {
    clearAssetRefusal();
    return refused(reason);
}

int describeLanguage(const char* path) {
    uint32_t size = 0;
    char* bytes = readFileSized(path, &size);
    if (!bytes) {
        char reason[300];
        snprintf(reason, sizeof(reason), "%s: cannot be opened", path);
        return refusedWith(reason);
    }
    LanguageFile file = {};
    bool ok = readLanguageFile(&file, reinterpret_cast<const uint8_t*>(bytes), size, path);
    delete[] bytes;
    if (!ok) return refusedWith(file.failure);
    uint64_t hash = 0xCBF29CE484222325ull;
    uint32_t texts = 0;
    for (uint32_t id = 0; id < file.textCount; ++id) {
        const char* text = languageText(&file, static_cast<int32_t>(id));
        if (!text) continue;
        ++texts;
        hash = checksum(text, strlen(text) + 1, hash);
    }
    printf("kind: language\n");
    printf("table entries: %u\n", file.textCount);
    printf("texts: %u\n", texts);
    printf("characters: %u\n", file.characterCount);
    printf("text checksum: %016llx\n", static_cast<unsigned long long>(hash));
    releaseLanguageFile(&file);
    return 0;
}

uint64_t stringChecksum(const char* text, uint64_t hash) { return checksum(text, strlen(text) + 1, hash); }

// The game's own lists: their counts, and a checksum of their strings (which may hold
// any bytes, so they are not printed).
int describeDataFile(const char* path, const char* kind) {
    char reason[256];
    uint64_t hash = 0xCBF29CE484222325ull;
    if (strcmp(kind, "textures") == 0) {
        TextureList list;
        if (!readTextureList(path, &list, reason)) return refusedWith(reason);
        for (uint32_t i = 0; i < list.count; ++i) hash = stringChecksum(list.paths[i], hash);
        printf("kind: texture list\ntextures: %u\n", list.count);
        releaseTextureList(&list);
    } else if (strcmp(kind, "interactables") == 0) {
        InteractableList list;
        if (!readInteractableList(path, &list, reason)) return refusedWith(reason);
        uint32_t required = 0;
        for (uint32_t i = 0; i < list.count; ++i) {
            hash = stringChecksum(list.records[i].openingItem, stringChecksum(list.records[i].name, hash));
            required += list.records[i].required ? 1 : 0;
        }
        printf("kind: interactable list\ninteractables: %u\nrequired: %u\n", list.count, required);
        releaseInteractableList(&list);
    } else {
        EntityList list;
        if (!readEntityList(path, &list, reason)) return refusedWith(reason);
        uint32_t pickable = 0;
        for (uint32_t i = 0; i < list.cameraCount; ++i) hash = stringChecksum(list.cameras[i].name, hash);
        for (uint32_t i = 0; i < list.entityCount; ++i) {
            const EntityRecord& e = list.entities[i];
            hash = stringChecksum(e.partName, stringChecksum(e.modelPath, stringChecksum(e.name, hash)));
            pickable += e.pickable ? 1 : 0;
        }
        printf("kind: entity list\ncameras: %u\nentities: %u\npickable: %u\n", list.cameraCount, list.entityCount,
               pickable);
        releaseEntityList(&list);
    }
    printf("string checksum: %016llx\n", static_cast<unsigned long long>(hash));
    return 0;
}

// The face, and the printable ASCII characters packed and rendered at 20 pixels as the
// game's small font is.
int describeFont(const char* path) {
    FontAtlas atlas = emptyFontAtlas();
    int32_t error = loadFontFile(&atlas, path);
    if (!atlas.face) {
        // A file FreeType cannot open still leaves its bytes with the atlas.
        releaseFontAtlas(&atlas);
        char reason[300];
        if (error) snprintf(reason, sizeof(reason), "%s: FreeType cannot open it (error %d)", path, error);
        else snprintf(reason, sizeof(reason), "%s: cannot be opened", path);
        return refusedWith(reason);
    }
    atlas.pixelSize = 20;
    for (uint32_t c = 32; c < 127; ++c) queuePendingGlyph(&atlas, c);
    addPendingGlyphs(&atlas);
    uint32_t found = 0;
    GlyphInfo info;
    for (uint32_t c = 32; c < 127; ++c) found += lookUpGlyph(&atlas, c, &info) ? 1 : 0;
    printf("kind: font\n");
    printf("glyphs: %u\n", atlas.glyphCount);
    printf("glyphs placed: %u\n", found);
    printf("pages: %u\n", atlas.pageCount);
    if (atlas.pageCount) printf("first page: %u x %u\n", atlas.pages[0].description.width, atlas.pages[0].description.height);
    releaseFontAtlas(&atlas);
    return 0;
}

int usage() {
    fprintf(stderr, "usage: assetinfo [--vertex-format N] MESH [NODE] | TEXTURE | --as KIND FILE [NODE]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int at = 1;
    int32_t format = 0;
    if (at + 1 < argc && strcmp(argv[at], "--vertex-format") == 0) {
        char* end = nullptr;
        long value = strtol(argv[at + 1], &end, 10);
        if (*end != 0 || !isVertexFormat(static_cast<int32_t>(value)) || value != static_cast<int32_t>(value)) return usage();
        format = static_cast<int32_t>(value);
        at += 2;
    }
    const char* kind = nullptr;
    if (at + 1 < argc && strcmp(argv[at], "--as") == 0) {
        kind = argv[at + 1];
        at += 2;
    }
    int left = argc - at;
    if (left < 1 || left > 2 || strcmp(argv[at], "--help") == 0) return usage();
    const char* path = argv[at];
    const char* node = left == 2 ? argv[at + 1] : nullptr;
    const char* reader = kind ? nullptr : meshReaderOf(path);
    if (kind) {
        static const char* const kMeshKinds[] = {"json", "mesh", "dmesh", "gltf", "glb"};
        for (const char* k : kMeshKinds)
            if (strcmp(kind, k) == 0) reader = k;
        static const char* const kOtherKinds[] = {"bmp",      "png",      "dds",           "image",   "language",
                                                  "textures", "interactables", "entities", "font"};
        bool known = reader != nullptr;
        for (const char* k : kOtherKinds) known = known || strcmp(kind, k) == 0;
        if (!known) return usage();
    }
    if (node && (!reader || strcmp(reader, "glb") != 0)) {
        fprintf(stderr, "assetinfo: a node name goes with a \".glb\" file only\n");
        return 2;
    }
    if (reader) return describeMesh(path, reader, node, format, kind != nullptr);
    if (!kind) return describeTexture(path, nullptr);
    if (strcmp(kind, "language") == 0) return describeLanguage(path);
    if (strcmp(kind, "font") == 0) return describeFont(path);
    if (strcmp(kind, "textures") == 0 || strcmp(kind, "interactables") == 0 || strcmp(kind, "entities") == 0)
        return describeDataFile(path, kind);
    return describeTexture(path, kind);
}
