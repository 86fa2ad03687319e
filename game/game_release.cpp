#include "game/game.h"

#include "engine/program/program_state.h"
#include "game/game_state.h"
#include "game/render_targets.h"

#include <stdlib.h>

namespace {

void releaseShader(ShaderRecord* shader) {
    if (shader->slot >= 0 && gRenderer.cleanupShaderInRenderer)
        gRenderer.cleanupShaderInRenderer(&gRendererState, shader);
}

void releaseTarget(FrameBufferRecord* target) {
    if (!target->textures) return;
    freeTargetTextures(target);
    if (gRenderer.destroyFrameBufferInRenderer) gRenderer.destroyFrameBufferInRenderer(&gRendererState, target);
}

void releaseBuffers(GpuMesh* gpu) {
    if (gRenderer.deleteVertexInputBufferInRenderer && gRenderer.deleteIndexBufferInRenderer) releaseGpuMesh(gpu);
}

} // namespace

void releaseGameContents(GameState* game) {
    ShaderRecord* shaders = reinterpret_cast<ShaderRecord*>(&game->shaders);
    for (size_t i = 0; i < sizeof(game->shaders) / sizeof(ShaderRecord); ++i) releaseShader(&shaders[i]);

    for (uint32_t i = 0; i < game->textures.count; ++i) {
        Texture* texture = game->textures.entries[i].texture;
        if (texture->id >= 0 && gRenderer.pushFreeTextureDescriptorInRenderer)
            gRenderer.pushFreeTextureDescriptorInRenderer(&gRendererState, static_cast<uint32_t>(texture->id));
        free(texture);
        free(game->textures.entries[i].path);
    }
    free(game->textures.entries);

    for (uint32_t i = 0; i < game->levelMeshCount; ++i) releaseBuffers(&game->levelMeshes[i].gpu);
    free(game->levelMeshes);
    releaseLevelPick(&game->levelPick);
    releaseDynArray(&game->pickCandidates);

    for (uint32_t i = 0; i < game->interactableCount; ++i) {
        Interactable* object = &game->interactables[i];
        for (uint32_t k = 0; k < object->subMeshCount; ++k) releaseBuffers(&object->subMeshes[k].gpu);
        free(object->subMeshes);
        releaseMesh(&object->pickMesh);
        free(object->name);
        free(object->openingItem);
    }
    free(game->interactables);

    for (uint32_t i = 0; i < game->entityCount; ++i) {
        Entity* entity = &game->entities[i];
        releaseBuffers(&entity->gpu);
        releaseMesh(&entity->mesh);
        free(entity->name);
    }
    free(game->entities);
    free(game->world);
    free(game->inventory);

    for (uint32_t i = 0; i < game->cameraCount; ++i) free(game->cameras[i].name);
    free(game->cameras);
    releaseBuffers(&game->cameraGpu);
    releaseMesh(&game->cameraMesh);
    releaseBuffers(&game->unitQuadGpu);
    releaseMesh(&game->unitQuad);
    for (Monitor& monitor : game->monitors) free(monitor.reachable);

    FrameBufferRecord* targets[RENDER_TARGET_COUNT];
    listRenderTargets(&game->targets, targets);
    for (FrameBufferRecord* target : targets) releaseTarget(target);

    releaseGui(&game->gui);
    releaseFontAtlas(&game->largeFont);
    releaseFontAtlas(&game->smallFont);
    releaseLanguageFile(&game->language);
    *game = GameState{};
}
