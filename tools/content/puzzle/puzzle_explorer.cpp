#include "tools/content/puzzle/puzzle_explorer.h"

#include <string.h>

namespace {

// Puts monitor 0 on camera c (a reached camera: clicks and arrows could bring it
// there), remembering it as reached.
void showCamera(PuzzleWorld* world, uint32_t c) {
    world->monitors[0].camera = c;
    for (uint32_t r : world->monitors[0].reachable)
        if (r == c) return;
    world->monitors[0].reachable.push_back(c);
}

bool clickAt(PuzzleWorld* world, ClickTarget target) {
    ClickChoice choice;
    if (!findClickPoint(world, 0, ACTION_CLICK, -1, target, &choice)) return false;
    FrameInput input = {0, choice.u, choice.v, true, false, -1, false};
    FrameEffects effects;
    applyMonitorFrame(world, &input, &effects);
    applyMonitorFrame(world, &input, &effects);
    return true;
}

bool dropAt(PuzzleWorld* world, int item, int object) {
    ClickChoice choice;
    if (!findClickPoint(world, 0, ACTION_DROP, item, ClickTarget{PICK_INTERACTABLE, object}, &choice)) return false;
    FrameInput input = {0, choice.u, choice.v, false, false, item, false};
    FrameEffects effects;
    applyMonitorFrame(world, &input, &effects);
    return world->interactables[object].done;
}

} // namespace

void reachableCameras(PuzzleWorld* world, std::vector<uint8_t>* reachable) {
    size_t n = world->cameras.size();
    reachable->assign(n, 0);
    std::vector<uint32_t> queue;
    // From the cameras the monitors start on.
    for (int m = 0; m < PUZZLE_MONITOR_COUNT; ++m) {
        uint32_t c = m < (int)n ? (uint32_t)m : 0;
        if (c < n && !(*reachable)[c]) {
            (*reachable)[c] = 1;
            queue.push_back(c);
        }
    }
    for (size_t head = 0; head < queue.size(); ++head)
        for (uint32_t to = 0; to < n; ++to) {
            if ((*reachable)[to]) continue;
            ClickChoice choice;
            if (cameraSeesCamera(world, queue[head], to, &choice)) {
                (*reachable)[to] = 1;
                queue.push_back(to);
            }
        }
}

void exploreGreedily(PuzzleWorld* world, ExploreReport* report) {
    report->actions = 0;
    report->itemsTaken.assign(world->entities.size(), 0);
    report->opened.assign(world->interactables.size(), 0);
    bool codeKnown = false;
    for (bool progress = true; progress;) {
        progress = false;
        reachableCameras(world, &report->camerasReached);
        for (uint32_t c = 0; c < world->cameras.size(); ++c) {
            if (!report->camerasReached[c]) continue;
            showCamera(world, c);
            for (uint32_t i = 0; i < world->interactables.size(); ++i) {
                PuzzleInteractable* it = &world->interactables[i];
                if (it->done || it->openingItem[0]) continue;
                if (clickAt(world, ClickTarget{PICK_INTERACTABLE, (int)i}) && it->done) {
                    report->opened[i] = 1;
                    ++report->actions;
                    progress = true;
                }
            }
            for (size_t w = 0; w < world->inWorld.size(); ++w) {
                uint32_t e = world->inWorld[w];
                if (!world->entities[e].pickable) continue;
                if (clickAt(world, ClickTarget{PICK_ENTITY, (int)e}) && inventorySlot(world, e) >= 0) {
                    report->itemsTaken[e] = 1;
                    ++report->actions;
                    progress = true;
                    w = (size_t)-1; // the world list changed
                }
            }
            for (size_t s = 0; s < world->inventory.size(); ++s) {
                uint32_t item = world->inventory[s];
                for (uint32_t i = 0; i < world->interactables.size(); ++i) {
                    PuzzleInteractable* it = &world->interactables[i];
                    if (it->done || strcmp(it->openingItem, world->entities[item].name) != 0) continue;
                    if (dropAt(world, (int)item, (int)i)) {
                        report->opened[i] = 1;
                        ++report->actions;
                        progress = true;
                        s = (size_t)-1;
                        break;
                    }
                }
            }
            for (uint32_t item : world->inventory)
                if (strcmp(world->entities[item].name, "paperNote") == 0) codeKnown = true;
            int exit = findInteractable(world, "exitDoor");
            if (codeKnown && exit >= 0 && !world->interactables[exit].done) {
                world->typedCount = 0;
                for (int d = 0; d < 4; ++d) {
                    char name[32] = "DigicodeButton";
                    size_t length = strlen(name);
                    name[length] = world->code[d];
                    name[length + 1] = 0;
                    int button = findEntity(world, name);
                    if (button < 0 || !clickAt(world, ClickTarget{PICK_ENTITY, button})) break;
                }
                if (world->interactables[exit].done) {
                    report->opened[exit] = 1;
                    ++report->actions;
                    progress = true;
                }
            }
        }
    }
    uint32_t done, required;
    requiredCounts(world, &done, &required);
    report->ended = done >= required;
}
