#include "game/game_loading.h"

#include "engine/program/program_state.h"
#include "backend/vertex_formats.h"
#include "engine/assets/asset_refusal.h"
#include "engine/assets/binary_mesh.h"
#include "engine/assets/gltf_mesh.h"
#include "engine/platform/files.h"
#include "engine/text/gui.h"
#include "engine/text/gui_widget.h"
#include "game/interaction.h"
#include "game/keypad_code.h"
#include "game/scene_files.h"
#include "game/scene_layout.h"
#include "game/shader_programs.h"
#include "game/texture_table.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char* const kCameraModelPath = "data/meshes/objects/Cam.glb";
const char* const kLevelTextureList = "data/meshes/textures";
const char* const kInteractableList = "data/meshes/interactibleNames";
const char* const kEntityList = "data/meshes/entities";
const char* const kWhiteTexture = "data/textures/white.png";
const char* const kBlackTexture = "data/blackpixel.bmp";

bool fail(GameState* game, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(game->loadFailure, sizeof(game->loadFailure), format, arguments);
    va_end(arguments);
    fprintf(stderr, "Quarlo: %s\n", game->loadFailure);
    return false;
}

char* copyText(const char* text) {
    size_t length = strlen(text);
    char* copy = static_cast<char*>(malloc(length + 1));
    if (copy) memcpy(copy, text, length + 1);
    return copy;
}

bool loadPrograms(GameState* game) {
    const char* extension = gRenderer.getShaderSourceFileExtensionInRenderer();
    if (!extension) extension = "";
    for (uint32_t i = 0; i < SHADER_PROGRAM_COUNT; ++i) {
        const ShaderProgramSpec* program = &kShaderProgramSpecs[i];
        ShaderRecord* record = shaderProgramRecord(&game->shaders, i);
        char path[256];
        snprintf(path, sizeof(path), "data/shaders/%s%s", program->path, extension);
        char* source = readTextFile(path);
        if (!source) return fail(game, "%s: cannot be opened", path);
        gRenderer.loadShaderFromSourceInRenderer(&gRendererState, record, source);
        delete[] source;
        UniformDeclaration declarations[SHADER_PROGRAM_MAX_UNIFORMS];
        for (uint32_t u = 0; u < program->uniformCount; ++u)
            declarations[u] = UniformDeclaration{program->uniforms[u].name, 0, program->uniforms[u].components};
        gRenderer.setShaderInputInRenderer(&gRendererState, record, program->vertexFormat, declarations,
                                           program->uniformCount);
        if (program->postProcess) gRenderer.setShaderOutputInRenderer(&gRendererState, record, 1);
        // A program the backend cannot build draws nothing; the game still runs.
        if (!gRenderer.compileShaderInRenderer(&gRendererState, record))
            fprintf(stderr, "Quarlo: %s did not compile\n", path);
    }
    return true;
}

// A mesh file of the data folder into a fresh format-0 mesh; false (with the reason)
// when it is missing or refused.
bool loadDataMesh(GameState* game, Mesh* mesh, const char* path) {
    *mesh = Mesh{};
    mesh->vertexFormat = 0;
    if (fileSize(path) == 0) return fail(game, "%s: missing or empty", path);
    if (!loadMesh(mesh, path)) return fail(game, "%s: refused", path);
    return true;
}

// Buffers for a loaded mesh; the index count is kept to whole triangles.
void uploadLoadedMesh(GpuMesh* gpu, const Mesh* mesh) {
    uploadMesh(gpu, mesh->vertices, meshVertexCount(mesh), mesh->indices, mesh->indexCount / 3 * 3,
               mesh->vertexFormat);
}

Texture* dataTexture(GameState* game, const char* path, bool repeat) {
    if (fileSize(path) == 0) {
        fail(game, "%s: missing or empty", path);
        return nullptr;
    }
    bool isNew = false;
    Texture* texture = findOrLoadTexture(&game->textures, path, &isNew);
    if (!texture) {
        fail(game, "%s: out of memory", path);
        return nullptr;
    }
    // loadTexture uploads an empty texture for a file it refuses, so that every slot has
    // an id; the game does not start on one.
    if (isNew && assetRefusal()[0]) {
        fail(game, "%s", assetRefusal());
        return nullptr;
    }
    if (isNew && repeat) {
        uint32_t id = static_cast<uint32_t>(texture->id);
        gRenderer.setTextureWrapModeInRenderer(&gRendererState, &id, WRAP_REPEAT);
        texture->id = static_cast<int32_t>(id);
    }
    return texture;
}

bool loadLevelMeshes(GameState* game) {
    TextureList list;
    char reason[256];
    if (!readTextureList(kLevelTextureList, &list, reason)) return fail(game, "%s", reason);
    game->levelMeshes = static_cast<LevelMesh*>(calloc(list.count ? list.count : 1, sizeof(LevelMesh)));
    if (!game->levelMeshes) return fail(game, "out of memory for %u level meshes", list.count);
    bool ok = true;
    for (uint32_t i = 0; i < list.count && ok; ++i) {
        LevelMesh* slot = &game->levelMeshes[i];
        slot->gpu = emptyGpuMesh();
        slot->texture = dataTexture(game, list.paths[i], true);
        if (!slot->texture) ok = false;
        char path[64];
        snprintf(path, sizeof(path), "data/meshes/%u.dmesh", i);
        Mesh mesh = {};
        if (ok && loadDataMesh(game, &mesh, path)) {
            uploadLoadedMesh(&slot->gpu, &mesh);
            game->levelMeshCount = i + 1;
            // Picking keeps the positions and triangles: walls hide what lies behind them.
            if (!appendLevelPick(&game->levelPick, &mesh)) ok = fail(game, "%s: cannot be kept for picking", path);
        } else {
            ok = false;
        }
        releaseMesh(&mesh);
    }
    releaseTextureList(&list);
    return ok;
}

bool loadInteractable(GameState* game, Interactable* object, const InteractableRecord* record) {
    object->name = copyText(record->name);
    object->openingItem = copyText(record->openingItem);
    if (!object->name || !object->openingItem) return fail(game, "out of memory");
    object->required = record->required;
    object->openOffset = record->openOffset;
    object->monitorIndex = NO_MONITOR;
    object->pickMesh.vertexFormat = 0;

    char path[512];
    snprintf(path, sizeof(path), "data/meshes/%s_textures", record->name);
    TextureList list;
    char reason[256];
    if (!readTextureList(path, &list, reason)) return fail(game, "%s", reason);
    object->subMeshes = static_cast<SubMesh*>(calloc(list.count ? list.count : 1, sizeof(SubMesh)));
    if (!object->subMeshes) {
        releaseTextureList(&list);
        return fail(game, "out of memory");
    }
    bool ok = true;
    for (uint32_t k = 0; k < list.count && ok; ++k) {
        SubMesh* sub = &object->subMeshes[k];
        sub->gpu = emptyGpuMesh();
        snprintf(path, sizeof(path), "data/meshes/%s%u.dmesh", record->name, k);
        Mesh mesh = {};
        if (!loadDataMesh(game, &mesh, path)) {
            ok = false;
        } else {
            uploadLoadedMesh(&sub->gpu, &mesh);
            if (!appendMesh(&object->pickMesh, &mesh)) ok = fail(game, "%s: does not fit the object's pick mesh", path);
            sub->texture = dataTexture(game, list.paths[k], false);
            if (!sub->texture) ok = false;
            object->subMeshCount = k + 1;
        }
        releaseMesh(&mesh);
    }
    releaseTextureList(&list);
    return ok;
}

bool loadInteractables(GameState* game) {
    InteractableList list;
    char reason[256];
    if (!readInteractableList(kInteractableList, &list, reason)) return fail(game, "%s", reason);
    game->interactables = static_cast<Interactable*>(calloc(list.count ? list.count : 1, sizeof(Interactable)));
    if (!game->interactables) {
        releaseInteractableList(&list);
        return fail(game, "out of memory");
    }
    bool ok = true;
    for (uint32_t i = 0; i < list.count && ok; ++i) {
        ok = loadInteractable(game, &game->interactables[i], &list.records[i]);
        game->interactableCount = i + 1;
    }
    releaseInteractableList(&list);
    return ok;
}

bool loadEntity(GameState* game, Entity* entity, const EntityRecord* record) {
    entity->name = copyText(record->name);
    if (!entity->name) return fail(game, "out of memory");
    entity->id = lookUpNameId(&game->names, record->name);
    entity->world = Transform{record->positionA, record->scaleA, rotationFromDataAngles(record->rotationA)};
    entity->preview = Transform{record->positionB, record->scaleB, rotationFromDataAngles(record->rotationB)};
    entity->pickable = record->pickable;
    entity->gpu = emptyGpuMesh();
    entity->texture = game->whiteTexture;
    entity->monitorIndex = NO_MONITOR;
    entity->mesh = Mesh{};
    entity->mesh.vertexFormat = 0;
    if (fileSize(record->modelPath) == 0) return fail(game, "%s: missing or empty", record->modelPath);
    if (!loadGlb(&entity->mesh, record->modelPath, record->partName[0] ? record->partName : nullptr))
        return fail(game, "%s: refused", record->modelPath);
    if (entity->mesh.indexCount == 0)
        return fail(game, "%s: no mesh%s%s", record->modelPath, record->partName[0] ? " named " : "",
                    record->partName);
    if (record->color.x != -1.0f || record->color.y != -1.0f || record->color.z != -1.0f) {
        const int32_t format = entity->mesh.vertexFormat;
        const int32_t stride = vertexFormatSlots(format);
        const int32_t colourAt = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_COLOR);
        uint32_t vertices = meshVertexCount(&entity->mesh);
        for (uint32_t v = 0; colourAt >= 0 && v < vertices; ++v) {
            float* colour = entity->mesh.vertices + static_cast<size_t>(stride) * v + colourAt;
            colour[0] = record->color.x;
            colour[1] = record->color.y;
            colour[2] = record->color.z;
        }
    }
    uploadLoadedMesh(&entity->gpu, &entity->mesh);
    return true;
}

bool loadEntities(GameState* game) {
    EntityList list;
    char reason[256];
    if (!readEntityList(kEntityList, &list, reason)) return fail(game, "%s", reason);
    // Every monitor needs a camera to show.
    if (list.cameraCount == 0) {
        releaseEntityList(&list);
        return fail(game, "%s: no security camera", kEntityList);
    }
    game->cameras = static_cast<SecurityCamera*>(calloc(list.cameraCount, sizeof(SecurityCamera)));
    game->entities = static_cast<Entity*>(calloc(list.entityCount ? list.entityCount : 1, sizeof(Entity)));
    game->world = static_cast<Entity**>(calloc(list.entityCount ? list.entityCount : 1, sizeof(Entity*)));
    if (!game->cameras || !game->entities || !game->world) {
        releaseEntityList(&list);
        return fail(game, "out of memory");
    }
    game->worldCapacity = list.entityCount ? list.entityCount : 1;
    for (uint32_t i = 0; i < list.cameraCount; ++i) {
        setUpSecurityCamera(&game->cameras[i], &list.cameras[i]);
        game->cameras[i].name = copyText(list.cameras[i].name);
    }
    game->cameraCount = list.cameraCount;
    bool ok = true;
    for (uint32_t i = 0; i < list.entityCount && ok; ++i) {
        ok = loadEntity(game, &game->entities[i], &list.entities[i]);
        game->entityCount = i + 1;
        if (ok) game->world[game->worldCount++] = &game->entities[i];
    }
    releaseEntityList(&list);
    return ok;
}

} // namespace

ShaderRecord* shaderProgramRecord(ShaderPrograms* programs, uint32_t index) {
    ShaderRecord* const records[SHADER_PROGRAM_COUNT] = {
        &programs->basicFixed,     &programs->basicDirectionalLight, &programs->text,
        &programs->color,          &programs->shadowmap,             &programs->finalBlur,
        &programs->horizontalBlur, &programs->verticalBlur,          &programs->bloomComposite,
        &programs->onlyBright,     &programs->toneMapping,           &programs->copy,
    };
    static_assert(sizeof(ShaderPrograms) == SHADER_PROGRAM_COUNT * sizeof(ShaderRecord),
                  "one record per program of the table");
    return index < SHADER_PROGRAM_COUNT ? records[index] : nullptr;
}

bool loadGameWorld(GameState* game) {
    game->loadFailure[0] = 0;

    // 1. The programs of the table, in its order.
    if (!loadPrograms(game)) return false;

    // 2. The client size, the GUI and the menu button.
    game->clientWidth = gRendererState.width;
    game->clientHeight = gRendererState.height;
    initGui(&game->gui, &game->shaders.text, &game->shaders.color);
    game->menuButton = makeMenuButton(&game->largeFont);

    // 3. The camera model drawn at every security camera.
    if (!loadDataMesh(game, &game->cameraMesh, kCameraModelPath)) return false;
    game->cameraGpu = emptyGpuMesh();
    uploadLoadedMesh(&game->cameraGpu, &game->cameraMesh);

    // 4-5. The level and the objects that open.
    if (!loadLevelMeshes(game) || !loadInteractables(game)) return false;

    // 6. The default textures.
    game->whiteTexture = dataTexture(game, kWhiteTexture, false);
    game->blackTexture = dataTexture(game, kBlackTexture, false);
    if (!game->whiteTexture || !game->blackTexture) return false;

    // 7. The unit quad, the GUI camera, the monitors and the chair.
    if (!buildUnitQuad(&game->unitQuad)) return fail(game, "out of memory");
    game->unitQuadGpu = emptyGpuMesh();
    uploadMeshRecord(&game->unitQuadGpu, &game->unitQuad);
    game->guiView = identityMatrix4();
    game->guiProjection = identityMatrix4();
    orthographic(&game->guiProjection, 0.0f, 1280.0f, 0.0f, 720.0f, -2.0f, 10.0f);
    PanelPlacement panels[MONITOR_COUNT];
    placeMonitorPanels(panels);
    for (uint32_t i = 0; i < MONITOR_COUNT; ++i) game->monitors[i].panel = panels[i];
    resetPlayerView(&game->player);
    game->cameraModelScale = Vec3{1.0f, 1.0f, 1.0f};
    game->cameraModelRotation = cameraModelRotation();

    // 8. Cameras and placed entities.
    if (!loadEntities(game)) return false;

    // 9. Monitors on their first cameras, and a fresh start.
    assignMonitorCameras(game);
    resetPlayState(game);
    return true;
}

void resetPlayState(GameState* game) {
    game->heldItem = nullptr;
    game->hoveredItem = nullptr;
    game->escapeHeld = game->leftArrowHandled = game->rightArrowHandled = false;
    game->clickConsumed = game->rightHeldLastFrame = false;
    game->playTime = 0.0f;
    game->typedCount = 0;
    static_assert(sizeof(kKeypadCode) == KEYPAD_CODE_LENGTH + 1, "the keypad takes four digits");
    memcpy(game->keypadCode, kKeypadCode, KEYPAD_CODE_LENGTH);
}
