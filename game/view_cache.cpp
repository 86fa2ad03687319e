#include "game/view_cache.h"

#include "game/game_state.h"

namespace {

// FNV-1a over the bytes of each value, 64 bits: a collision between two states the
// game passes through is not to be expected.
struct KeyHash {
    uint64_t value = 14695981039346656037ull;

    void bytes(const void* data, size_t size) {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            value ^= p[i];
            value *= 1099511628211ull;
        }
    }
    template <typename T>
    void add(const T& v) {
        bytes(&v, sizeof(v));
    }
    uint64_t result() const { return value ? value : 1; }
};

void addTexture(KeyHash* h, const Texture* texture) { h->add(texture ? texture->id : -2); }

// Everything of the building that every view draws, the same for all of them: the
// entities in the world, the camera models, the level and the interactables.
void addWorld(KeyHash* h, const GameState* game) {
    h->add(game->worldCount);
    for (uint32_t i = 0; i < game->worldCount; ++i) {
        const Entity* entity = game->world[i];
        h->add(entity);
        h->add(entity->world);
        h->add(entity->gpu);
        addTexture(h, entity->texture);
    }
    h->add(game->cameraCount);
    for (uint32_t c = 0; c < game->cameraCount; ++c) h->add(game->cameras[c].position);
    h->add(game->cameraGpu);
    h->add(game->cameraModelScale);
    h->add(game->cameraModelRotation);
    addTexture(h, game->whiteTexture);
    h->add(game->levelMeshCount);
    for (uint32_t i = 0; i < game->levelMeshCount; ++i) {
        h->add(game->levelMeshes[i].gpu);
        addTexture(h, game->levelMeshes[i].texture);
    }
    h->add(game->interactableCount);
    for (uint32_t i = 0; i < game->interactableCount; ++i) {
        const Interactable* object = &game->interactables[i];
        h->add(object->position);
        for (uint32_t k = 0; k < object->subMeshCount; ++k) {
            h->add(object->subMeshes[k].gpu);
            addTexture(h, object->subMeshes[k].texture);
        }
    }
    h->add(game->clientWidth);
    h->add(game->clientHeight);
}

} // namespace

uint64_t monitorViewKey(const GameState* game, uint32_t k) {
    KeyHash h;
    h.add(k);
    addWorld(&h, game);
    uint32_t camera = game->monitors[k].camera;
    h.add(camera);
    if (camera < game->cameraCount) {
        const SecurityCamera* c = &game->cameras[camera];
        h.add(c->view);
        h.add(c->projection);
        h.add(c->direction);
    }
    // Entities hit through this monitor are drawn highlighted in its picture only.
    for (uint32_t i = 0; i < game->worldCount; ++i) h.add(game->world[i]->monitorIndex == static_cast<int32_t>(k));
    return h.result();
}

uint64_t roomViewKey(const GameState* game, const uint64_t monitorKeys[VIEW_CACHE_MONITORS]) {
    KeyHash h;
    addWorld(&h, game);
    h.add(game->player.view);
    h.add(game->player.projection);
    h.add(game->player.position);
    h.add(game->player.forward);
    for (uint32_t k = 0; k < VIEW_CACHE_MONITORS; ++k) {
        h.add(monitorKeys[k]);
        h.add(game->monitors[k].panel);
    }
    return h.result();
}

void forgetDrawnViews(ViewCache* cache) {
    for (uint64_t& key : cache->monitorKeys) key = 0;
    cache->roomKey = 0;
    cache->roomHalfSize = false;
}
