#include "game/interaction.h"

#include "engine/program/input_manager.h"
#include "engine/program/program_state.h"
#include "engine/assets/dyn_array.h"
#include "engine/platform/keyboard.h"
#include "game/nearest_pick.h"
#include "game/picking.h"

#include <string.h>

namespace {

const float kDesignWidth = 1280.0f;
const float kDesignHeight = 720.0f;
const float kLookDegreesPerUnit = 30000.0f;
const float kLookLimit = 0.9f;
const float kInventorySlotWidth = 96.0f;
const float kInventoryBarHeight = 128.0f;

// Entity ids of the keypad buttons: 18..26 are "DigicodeButton1".."9", 27 is "0".
const int32_t kFirstDigitButton = 18;
const int32_t kZeroButton = 27;

void removeInventoryItem(GameState* game, Entity* item) {
    for (uint32_t i = 0; i < game->inventoryCount; ++i) {
        if (game->inventory[i] != item) continue;
        memmove(game->inventory + i, game->inventory + i + 1, (game->inventoryCount - i - 1) * sizeof(Entity*));
        --game->inventoryCount;
        break;
    }
    if (game->heldItem == item) game->heldItem = nullptr;
    if (game->hoveredItem == item) game->hoveredItem = nullptr;
}

void appendReachable(Monitor* monitor, uint32_t camera) {
    for (uint32_t i = 0; i < monitor->reachableCount; ++i)
        if (monitor->reachable[i] == camera) return;
    void* block = monitor->reachable;
    if (!growBlock(&block, &monitor->reachableCapacity, monitor->reachableCount + 1, sizeof(uint32_t))) return;
    monitor->reachable = static_cast<uint32_t*>(block);
    monitor->reachable[monitor->reachableCount++] = camera;
}

void takeIntoInventory(GameState* game, uint32_t worldIndex) {
    Entity* item = game->world[worldIndex];
    void* block = game->inventory;
    if (!growBlock(&block, &game->inventoryCapacity, game->inventoryCount + 1, sizeof(Entity*))) return;
    game->inventory = static_cast<Entity**>(block);
    game->inventory[game->inventoryCount++] = item;
    memmove(game->world + worldIndex, game->world + worldIndex + 1,
            (game->worldCount - worldIndex - 1) * sizeof(Entity*));
    --game->worldCount;
    item->monitorIndex = NO_MONITOR;
}

void turnForward(Vec3* forward, Vec3 axis, float degrees) {
    Quat turn = quaternionFromAxisAngle(axis, degrees);
    rotateByQuaternion(&turn, forward);
}

void lookAround(GameState* game, const InputSnapshot* input) {
    float width = static_cast<float>(game->clientWidth ? game->clientWidth : 1);
    float height = static_cast<float>(game->clientHeight ? game->clientHeight : 1);
    float x = static_cast<float>(input->cursorX), x0 = static_cast<float>(game->lastMouseX);
    float y = static_cast<float>(input->cursorY), y0 = static_cast<float>(game->lastMouseY);
    float dx = (2.0f * x / width - 1.0f) - (2.0f * x0 / width - 1.0f);
    float dy = (1.0f - 2.0f * (height - y) / height) - (1.0f - 2.0f * (height - y0) / height);

    PlayerView* player = &game->player;
    turnForward(&player->forward, Vec3{0.0f, 0.0f, 1.0f}, -dx / kDesignHeight * kLookDegreesPerUnit);
    // The view's horizontal axis, from the view matrix as it stands.
    const float* v = player->view.m;
    Vec3 horizontal = {-v[6], v[2], 0.0f};
    Vec3 beforeVerticalTurn = player->forward;
    turnForward(&player->forward, horizontal, dy / kDesignHeight * kLookDegreesPerUnit);
    if (player->forward.z < -kLookLimit || player->forward.z > kLookLimit) player->forward = beforeVerticalTurn;
    normalise3(&player->forward);
    game->lastMouseX = input->cursorX;
    game->lastMouseY = input->cursorY;
    lookAt(&player->view, player->position, add3(player->position, player->forward), player->up);
}

bool clickAvailable(const GameState* game, const InputSnapshot* input) {
    return input->leftDown && !game->clickConsumed && !game->heldItem;
}

// Everything a click through a monitor may reach, in the order the scan ranks them:
// interactables, entities in the world, the models of the cameras other than the one
// looking. Zero when the list cannot be had (nothing is picked then).
uint32_t gatherPickCandidates(GameState* game, uint32_t lookingCamera) {
    uint32_t count = game->interactableCount + game->worldCount + game->cameraCount;
    if (!setDynArrayCount(&game->pickCandidates, count)) return 0;
    PickCandidate* out = game->pickCandidates.elements;
    uint32_t n = 0;
    for (uint32_t i = 0; i < game->interactableCount; ++i) {
        const Interactable* object = &game->interactables[i];
        out[n++] = PickCandidate{PICK_INTERACTABLE, i, &object->pickMesh, object->position, Vec3{1, 1, 1},
                                 identityQuaternion(), nullptr};
    }
    for (uint32_t i = 0; i < game->worldCount; ++i) {
        const Entity* entity = game->world[i];
        out[n++] = PickCandidate{PICK_ENTITY, i, &entity->mesh, entity->world.translation, entity->world.scale,
                                 entity->world.rotation, nullptr};
    }
    for (uint32_t c = 0; c < game->cameraCount; ++c) {
        if (c == lookingCamera) continue;
        out[n++] = PickCandidate{PICK_CAMERA, c, &game->cameraMesh, game->cameras[c].position,
                                 game->cameraModelScale, game->cameraModelRotation, nullptr};
    }
    return n;
}

// An item dropped on an interactable opens it when it is the item it needs; a click
// toggles one that needs none.
void actOnInteractable(GameState* game, const InputSnapshot* input, Interactable* object, Entity** itemToUse) {
    if (*itemToUse) {
        if (object->openingItem[0] && strcmp(object->openingItem, (*itemToUse)->name) == 0 && !object->done) {
            setInteractableOpen(object, true);
            object->monitorIndex = NO_MONITOR;
            removeInventoryItem(game, *itemToUse);
            *itemToUse = nullptr;
            startHintTimer(game, 5, 0.5f);
        }
    } else if (clickAvailable(game, input) && !object->openingItem[0]) {
        setInteractableOpen(object, !object->done);
        object->monitorIndex = NO_MONITOR;
        game->clickConsumed = true;
        startHintTimer(game, 4, 1.0f);
    }
}

// A pickable entity goes into the inventory while the button is down; any other
// entity takes the click for the keypad.
void actOnEntity(GameState* game, const InputSnapshot* input, uint32_t worldIndex) {
    Entity* entity = game->world[worldIndex];
    if (entity->pickable && input->leftDown && !game->heldItem) {
        // The press that takes an item is spent: held on, it must not go on to open
        // or press what lay behind the item.
        takeIntoInventory(game, worldIndex);
        game->clickConsumed = true;
        startHintTimer(game, 4, 1.0f);
    } else if (clickAvailable(game, input)) {
        game->clickConsumed = true;
        pressKeypadButton(game, entity->id);
    }
}

void actOnCamera(GameState* game, const InputSnapshot* input, Monitor* monitor, uint32_t camera) {
    if (!clickAvailable(game, input)) return;
    game->clickConsumed = true;
    monitor->camera = camera;
    appendReachable(monitor, camera);
    startHintTimer(game, 2, 1.0f);
}

// Picking through monitor k along the camera ray: only the one thing the ray reaches
// first is marked and acts (a wall of the level in front of it hides it). itemToUse is
// the item dropped on the view this frame (consumed when it opens something).
void pickThroughMonitor(GameState* game, const InputSnapshot* input, uint32_t k, const Ray* ray,
                        Entity** itemToUse) {
    Monitor* monitor = &game->monitors[k];
    uint32_t candidateCount = gatherPickCandidates(game, monitor->camera);
    PickResult hit = nearestPick(ray, game->pickCandidates.elements, candidateCount, &game->levelPick);
    const int32_t through = static_cast<int32_t>(k);
    switch (hit.kind) {
    case PICK_INTERACTABLE:
        game->interactables[hit.index].monitorIndex = through;
        startHintTimer(game, 1, 1.0f);
        actOnInteractable(game, input, &game->interactables[hit.index], itemToUse);
        break;
    case PICK_ENTITY:
        game->world[hit.index]->monitorIndex = through;
        startHintTimer(game, 1, 1.0f);
        actOnEntity(game, input, hit.index);
        break;
    case PICK_CAMERA:
        game->cameras[hit.index].monitorIndex = through;
        startHintTimer(game, 1, 1.0f);
        actOnCamera(game, input, monitor, hit.index);
        break;
    default: break; // nothing there, or only the level
    }

    // Arrow keys cycle through the cameras already reached on this monitor, once per press.
    int32_t place = 0;
    for (uint32_t i = 0; i < monitor->reachableCount; ++i)
        if (monitor->reachable[i] == monitor->camera) place = static_cast<int32_t>(i);
    int32_t count = static_cast<int32_t>(monitor->reachableCount);
    if (input->arrowAxis < 0 && !game->leftArrowHandled && count > 0) {
        game->leftArrowHandled = true;
        monitor->camera = monitor->reachable[(place + count - 1) % count];
        startHintTimer(game, 3, 0.5f);
    } else if (input->arrowAxis > 0 && !game->rightArrowHandled && count > 0) {
        game->rightArrowHandled = true;
        monitor->camera = monitor->reachable[(place + 1) % count];
        startHintTimer(game, 3, 0.5f);
    }
}

} // namespace

InputSnapshot takeInputSnapshot() {
    InputSnapshot input = {};
    input.leftDown = takeButtonState(gInput.leftDown, &gInput.leftPressed);
    input.rightDown = takeButtonState(gInput.rightDown, &gInput.rightPressed);
    input.cursorX = gInput.cursorX;
    input.cursorY = gInput.cursorY;
    input.wheelUp = gInput.wheelUp;
    input.wheelDown = gInput.wheelDown;
    gInput.wheelUp = gInput.wheelDown = 0;
    // The live key, or a tap that went down and up since the last update (the window
    // procedure records presses only while the window is in the foreground). Both are
    // read, so a tap is taken even when the key is still down.
    bool escapeTapped = takeKeyPress(&gInput, VIRTUAL_KEY_ESCAPE);
    bool leftTapped = takeKeyPress(&gInput, VIRTUAL_KEY_LEFT);
    bool rightTapped = takeKeyPress(&gInput, VIRTUAL_KEY_RIGHT);
    input.escapeDown = isKeyDownInForeground(VIRTUAL_KEY_ESCAPE) || escapeTapped;
    input.leftKeyDown = isKeyDownInForeground(VIRTUAL_KEY_LEFT) || leftTapped;
    input.rightKeyDown = isKeyDownInForeground(VIRTUAL_KEY_RIGHT) || rightTapped;
    input.arrowAxis = input.leftKeyDown ? -1 : input.rightKeyDown ? 1 : 0;
    return input;
}

void startHintTimer(GameState* game, int32_t step, float seconds) {
    if (game->hintTimer <= 0.0f && game->hintStep == step) game->hintTimer = seconds;
}

void countRequired(const GameState* game, uint32_t* required, uint32_t* done) {
    *required = *done = 0;
    for (uint32_t i = 0; i < game->interactableCount; ++i) {
        if (!game->interactables[i].required) continue;
        ++*required;
        if (game->interactables[i].done) ++*done;
    }
}

void setInteractableOpen(Interactable* object, bool open) {
    if (open == object->done) return;
    object->position = open ? add3(object->position, object->openOffset) : sub3(object->position, object->openOffset);
    object->done = open;
}

void pressKeypadButton(GameState* game, int32_t entityId) {
    if (entityId < kFirstDigitButton || entityId > kZeroButton) return; // star, pound and the rest type nothing
    char digit = entityId == kZeroButton ? '0' : static_cast<char>('1' + (entityId - kFirstDigitButton));
    if (game->typedCount < KEYPAD_CODE_LENGTH) game->typedDigits[game->typedCount++] = digit;
    if (game->typedCount < KEYPAD_CODE_LENGTH) return;
    if (memcmp(game->typedDigits, game->keypadCode, KEYPAD_CODE_LENGTH) == 0) {
        for (uint32_t i = 0; i < game->interactableCount; ++i) {
            Interactable* object = &game->interactables[i];
            if (strcmp(object->name, "exitDoor") != 0) continue;
            setInteractableOpen(object, true);
            object->monitorIndex = NO_MONITOR;
        }
    }
    game->typedCount = 0;
}

PickResult pickInMonitorPicture(GameState* game, uint32_t k, float u, float v) {
    PickResult none = {PICK_NONE, 0, 0.0f};
    if (k >= MONITOR_COUNT || game->monitors[k].camera >= game->cameraCount) return none;
    const SecurityCamera* camera = &game->cameras[game->monitors[k].camera];
    Ray through = unprojectRay(&camera->view, &camera->projection, camera->eye, 2.0f * u - 1.0f, 2.0f * v - 1.0f);
    uint32_t candidateCount = gatherPickCandidates(game, game->monitors[k].camera);
    return nearestPick(&through, game->pickCandidates.elements, candidateCount, &game->levelPick);
}

void updateInteraction(GameState* game, const InputSnapshot* input, float dt) {
    game->playTime += dt;
    countRequired(game, &game->requiredCount, &game->doneCount);

    if (game->hintTimer > 0.0f) {
        game->hintTimer -= dt;
        if (game->hintTimer <= 0.0f) {
            game->hintTimer = 0.0f;
            if (game->hintStep < HINT_FINAL_STEP) {
                int32_t advance = 1;
                if (game->hintStep == 3 && game->inventoryCount > 0) advance = 2;
                if (game->hintStep == 4 && game->doneCount > 0) advance = 2;
                game->hintStep += advance; // the skips leave steps 3 and 4 only, so never past the last
            }
        }
    }

    if (game->doneCount >= game->requiredCount) game->endReached = true;

    if (input->escapeDown) {
        if (!game->escapeHeld) game->paused = !game->paused;
        game->escapeHeld = true;
    } else {
        game->escapeHeld = false;
    }

    if (game->endReached || game->paused) {
        if (updateMenuButton(game, input)) gRunning = 0;
        return;
    }

    // Right button: look around.
    if (input->rightDown) {
        if (game->hintStep == 6 && game->hintTimer <= 0.0f) game->hintTimer = 1.0f;
        if (!game->rightHeldLastFrame) {
            game->lastMouseX = input->cursorX;
            game->lastMouseY = input->cursorY;
        }
    }
    gRenderer.lockMouseInsideRendererWindow(&gRendererState, input->rightDown);
    if (input->rightDown) lookAround(game, input);
    game->rightHeldLastFrame = input->rightDown;

    for (uint32_t i = 0; i < game->interactableCount; ++i) game->interactables[i].monitorIndex = NO_MONITOR;
    for (uint32_t i = 0; i < game->entityCount; ++i) game->entities[i].monitorIndex = NO_MONITOR;
    for (uint32_t i = 0; i < game->cameraCount; ++i) game->cameras[i].monitorIndex = NO_MONITOR;

    float width = static_cast<float>(game->clientWidth ? game->clientWidth : 1);
    float height = static_cast<float>(game->clientHeight ? game->clientHeight : 1);
    float ndcX = 2.0f * static_cast<float>(input->cursorX) / width - 1.0f;
    float ndcY = 2.0f * static_cast<float>(input->cursorY) / height - 1.0f;
    Ray cursor = unprojectRay(&game->player.view, &game->player.projection, game->player.position, ndcX, ndcY);

    // The inventory bar along the bottom edge, 96 x 128 design pixels a slot.
    Entity* itemToUse = nullptr;
    game->hoveredItem = nullptr;
    if (!game->heldItem) {
        float u = (ndcX + 1.0f) / 2.0f * kDesignWidth;
        float v = (ndcY + 1.0f) / 2.0f * kDesignHeight;
        if (v > 0.0f && v < kInventoryBarHeight) {
            for (uint32_t k = 0; k < game->inventoryCount; ++k) {
                float left = kInventorySlotWidth * static_cast<float>(k);
                if (u <= left || u >= left + kInventorySlotWidth) continue;
                game->hoveredItem = game->inventory[k];
                if (input->leftDown) {
                    game->heldItem = game->inventory[k];
                    game->grabOffset = Vec2{u - left, v};
                }
                break;
            }
        }
    } else if (!input->leftDown) {
        itemToUse = game->heldItem;
        game->heldItem = nullptr;
    }

    for (uint32_t k = 0; k < MONITOR_COUNT; ++k) {
        if (game->cameraCount == 0) break;
        float u, v;
        if (!rayHitsPanel(game, &game->monitors[k].panel, &cursor, &u, &v)) continue;
        startHintTimer(game, 0, 2.0f);
        const SecurityCamera* camera = &game->cameras[game->monitors[k].camera];
        Ray through = unprojectRay(&camera->view, &camera->projection, camera->eye, 2.0f * u - 1.0f, 2.0f * v - 1.0f);
        pickThroughMonitor(game, input, k, &through, &itemToUse);
    }
    // An item dropped on nothing it opens simply stays in the inventory.

    if (!input->leftKeyDown) game->leftArrowHandled = false;
    if (!input->rightKeyDown) game->rightArrowHandled = false;
    if (!input->leftDown) game->clickConsumed = false;
}
