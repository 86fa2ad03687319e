#include "tools/content/content.h"

#include "engine/assets/binary_mesh.h"
#include "engine/text/language_file.h"
#include "game/shader_programs.h"
#include "tools/content/building.h"
#include "tools/content/byte_writer.h"
#include "tools/content/glb_writer.h"
#include "tools/content/layout.h"
#include "tools/content/text_raster.h"
#include "tools/content/textures.h"
#include "tools/content/texts.h"

#include <stdio.h>
#include <string.h>

void buildContent(Content* content) {
    static LevelBuilder level; // large; built once per run
    level = LevelBuilder{};
    buildLevel(&level);
    for (int zone = 0; zone < ZONE_COUNT; ++zone)
        for (int material = 0; material < MAT_COUNT; ++material) {
            const MeshBuilder* part = &level.parts[zone][material];
            if (part->indices.empty()) continue;
            content->levelMeshes.push_back(BuiltLevelMesh{material, *part});
        }
    buildInteractables(&content->interactables);
    buildEntities(&content->entities);
    buildModels(&content->models);
}

namespace {

bool fail(const char* what, const char* path) {
    fprintf(stderr, "content builder: cannot %s %s\n", what, path);
    return false;
}

// A Mesh record over a builder's arrays (format 0), for the engine's writer.
Mesh meshOf(const MeshBuilder* b) {
    Mesh m = {};
    m.vertexSlotCount = m.vertexSlotCapacity = (uint32_t)b->vertices.size();
    m.vertices = const_cast<float*>(b->vertices.data());
    m.indexCount = m.indexCapacity = (uint32_t)b->indices.size();
    m.indices = const_cast<uint32_t*>(b->indices.data());
    m.vertexFormat = 0;
    return m;
}

bool writeMesh(const char* root, const char* relative, const MeshBuilder* b) {
    char path[1024];
    joinPath(path, sizeof(path), root, relative);
    if (!makeParentDirectories(path)) return fail("create the folder of", path);
    Mesh m = meshOf(b);
    return writeImageMesh(path, &m) ? true : fail("write", path);
}

bool writeTextureList(const char* root, const char* relative, const char* const* paths, size_t count) {
    ByteBuffer out;
    putU32(&out, (uint32_t)count);
    for (size_t i = 0; i < count; ++i) putString(&out, paths[i]);
    char path[1024];
    joinPath(path, sizeof(path), root, relative);
    return writeBuffer(path, &out) ? true : fail("write", path);
}

bool writeTextures(const char* root) {
    uint32_t count;
    const TextureSpec* table = textureTable(&count);
    for (uint32_t i = 0; i < count; ++i) {
        const TextureSpec* spec = &table[i];
        Image image = makeImage(spec->width, spec->height);
        spec->generate(&image);
        char path[1024];
        joinPath(path, sizeof(path), root, spec->path);
        bool ok = false;
        switch (spec->format) {
        case TEXTURE_PNG_RGB: ok = writePng(path, &image, false); break;
        case TEXTURE_PNG_RGBA: ok = writePng(path, &image, true); break;
        case TEXTURE_BMP: ok = writeBmp(path, &image); break;
        case TEXTURE_DDS_BC1: ok = writeDds(path, &image, DDS_BC1); break;
        case TEXTURE_DDS_BC3: ok = writeDds(path, &image, DDS_BC3); break;
        }
        if (!ok) return fail("write", path);
    }
    return true;
}

bool writeLevel(const char* root, const Content* content) {
    std::vector<const char*> paths;
    for (size_t i = 0; i < content->levelMeshes.size(); ++i) {
        char relative[64];
        snprintf(relative, sizeof(relative), "data/meshes/%u.dmesh", (unsigned)i);
        if (!writeMesh(root, relative, &content->levelMeshes[i].mesh)) return false;
        paths.push_back(materialTexturePath(content->levelMeshes[i].material));
    }
    return writeTextureList(root, "data/meshes/textures", paths.data(), paths.size());
}

bool writeInteractables(const char* root, const Content* content) {
    ByteBuffer names;
    putU32(&names, (uint32_t)content->interactables.size());
    for (const InteractableSpec& spec : content->interactables) {
        putString(&names, spec.name);
        putString(&names, spec.openingItem);
        putU32(&names, spec.required ? 1u : 0u);
        putF32(&names, spec.openOffset.x);
        putF32(&names, spec.openOffset.y);
        putF32(&names, spec.openOffset.z);
        std::vector<const char*> paths;
        for (size_t k = 0; k < spec.parts.size(); ++k) {
            char relative[256];
            snprintf(relative, sizeof(relative), "data/meshes/%s%u.dmesh", spec.name, (unsigned)k);
            if (!writeMesh(root, relative, &spec.parts[k].mesh)) return false;
            paths.push_back(materialTexturePath(spec.parts[k].material));
        }
        char list[256];
        snprintf(list, sizeof(list), "data/meshes/%s_textures", spec.name);
        if (!writeTextureList(root, list, paths.data(), paths.size())) return false;
    }
    char path[1024];
    joinPath(path, sizeof(path), root, "data/meshes/interactibleNames");
    return writeBuffer(path, &names) ? true : fail("write", path);
}

void putVec3(ByteBuffer* out, Vec3 v) {
    putF32(out, v.x);
    putF32(out, v.y);
    putF32(out, v.z);
}

bool writeEntities(const char* root, const Content* content) {
    ByteBuffer out;
    putU32(&out, CAMERA_COUNT);
    putU32(&out, (uint32_t)content->entities.size());
    for (const CameraSpot& camera : kCameras) {
        putString(&out, camera.name);
        putVec3(&out, camera.position);
        putVec3(&out, normalised3(camera.direction));
        putF32(&out, camera.fovDegrees);
    }
    for (const EntitySpec& e : content->entities) {
        putString(&out, e.name);
        putString(&out, e.modelPath);
        putString(&out, e.partName);
        putVec3(&out, e.position);
        putVec3(&out, e.scale);
        putVec3(&out, e.colour);
        putVec3(&out, e.rotation);
        putVec3(&out, e.previewPosition);
        putVec3(&out, e.previewScale);
        putVec3(&out, e.previewRotation);
        putU32(&out, e.pickable ? 1u : 0u);
    }
    char path[1024];
    joinPath(path, sizeof(path), root, "data/meshes/entities");
    return writeBuffer(path, &out) ? true : fail("write", path);
}

bool writeModels(const char* root, const Content* content) {
    for (const Model& model : content->models) {
        std::vector<GlbNode> nodes;
        for (const ModelPart& part : model.parts) nodes.push_back(GlbNode{part.name, &part.mesh, false, {1, 1, 1, 1}});
        char path[1024];
        joinPath(path, sizeof(path), root, model.path);
        if (!makeParentDirectories(path) || !writeGlb(path, nodes.data(), (uint32_t)nodes.size()))
            return fail("write", path);
    }
    return true;
}

bool writeShaders(const char* root, const char* sourceDirectory) {
    for (uint32_t i = 0; i < SHADER_PROGRAM_COUNT; ++i) {
        if (!isFirstProgramOfItsSource(i)) continue;
        const char* program = kShaderProgramSpecs[i].path;
        for (const char* extension : {".glsl", ".hlsl"}) {
            char source[1024], target[1024], relative[256];
            snprintf(relative, sizeof(relative), "%s%s", program, extension);
            joinPath(source, sizeof(source), sourceDirectory, relative);
            snprintf(relative, sizeof(relative), "data/shaders/%s%s", program, extension);
            joinPath(target, sizeof(target), root, relative);
            if (!copyFile(source, target)) return fail("copy the shader", source);
        }
    }
    return true;
}

bool writeLanguages(const char* root) {
    for (int language = 0; language < CONTENT_LANGUAGE_COUNT; ++language) {
        const char* texts[TEXT_COUNT];
        for (int id = 0; id < TEXT_COUNT; ++id) texts[id] = gameText(language, id);
        char relative[32], path[1024];
        snprintf(relative, sizeof(relative), "data/%s", languageCode(static_cast<uint32_t>(language)));
        joinPath(path, sizeof(path), root, relative);
        if (!makeParentDirectories(path) || !writeLanguageFile(path, texts, TEXT_COUNT)) return fail("write", path);
    }
    return true;
}

bool writeFonts(const char* root) {
    struct FontCopy {
        const char* source;
        const char* target;
    };
    const FontCopy copies[4] = {
        {kTitleFontSource, "data/PatuaOne-Regular.ttf"},
        {kTitleFontLicence, "data/PatuaOne-Regular.LICENSE.txt"},
        {kBodyFontSource, "data/corvex/fonts/Rubik-Regular.ttf"},
        {kBodyFontLicence, "data/corvex/fonts/Rubik-Regular.LICENSE.txt"},
    };
    for (const FontCopy& copy : copies) {
        char target[1024];
        joinPath(target, sizeof(target), root, copy.target);
        if (!copyFile(copy.source, target)) return fail("copy the font file", copy.source);
    }
    return true;
}

} // namespace

bool writeContent(const Content* content, const char* outputRoot, const char* shaderSourceDirectory) {
    return writeTextures(outputRoot) && writeLevel(outputRoot, content) && writeInteractables(outputRoot, content) &&
           writeEntities(outputRoot, content) && writeModels(outputRoot, content) &&
           writeShaders(outputRoot, shaderSourceDirectory) && writeLanguages(outputRoot) && writeFonts(outputRoot);
}
