#include "tools/content/puzzle/puzzle_discovery.h"

#include <stdio.h>
#include <string.h>

namespace {

struct StepTarget {
    ActionKind action;
    int item; // for drops
    ClickTarget target;
};

// What a step acts on; empty for the steps that act on nothing in the building.
bool stepTargets(const PuzzleWorld* world, const ChainStep* step, std::vector<StepTarget>* targets) {
    targets->clear();
    switch (step->kind) {
    case STEP_CAMERA: {
        int c = findCamera(world, step->first);
        if (c < 0) return false;
        targets->push_back(StepTarget{ACTION_CLICK, -1, ClickTarget{PICK_CAMERA, c}});
        return true;
    }
    case STEP_OPEN: {
        int i = findInteractable(world, step->first);
        if (i < 0) return false;
        targets->push_back(StepTarget{ACTION_CLICK, -1, ClickTarget{PICK_INTERACTABLE, i}});
        return true;
    }
    case STEP_TAKE: {
        int e = findEntity(world, step->first);
        if (e < 0) return false;
        targets->push_back(StepTarget{ACTION_CLICK, -1, ClickTarget{PICK_ENTITY, e}});
        return true;
    }
    case STEP_USE: {
        int e = findEntity(world, step->first), i = findInteractable(world, step->second);
        if (e < 0 || i < 0) return false;
        targets->push_back(StepTarget{ACTION_DROP, e, ClickTarget{PICK_INTERACTABLE, i}});
        return true;
    }
    case STEP_TYPE:
        for (const char* d = step->first; *d; ++d) {
            char name[32];
            snprintf(name, sizeof(name), "DigicodeButton%c", *d);
            int e = findEntity(world, name);
            if (e < 0) return false;
            bool listed = false;
            for (const StepTarget& t : *targets) listed = listed || t.target.index == e;
            if (!listed) targets->push_back(StepTarget{ACTION_CLICK, -1, ClickTarget{PICK_ENTITY, e}});
        }
        return true;
    default: return true;
    }
}

bool inWorld(const PuzzleWorld* world, int entity) {
    for (uint32_t e : world->inWorld)
        if ((int)e == entity) return true;
    return false;
}

// The state the step needs besides a view of its target.
bool preconditionsHold(const PuzzleWorld* world, const ChainStep* step, const std::vector<StepTarget>& targets,
                       bool codeRead) {
    if (targets.empty()) return false;
    const StepTarget& t = targets[0];
    switch (step->kind) {
    case STEP_OPEN: return !world->interactables[t.target.index].done;
    case STEP_TAKE: return inWorld(world, t.target.index);
    case STEP_USE: return inventorySlot(world, (uint32_t)t.item) >= 0 && !world->interactables[t.target.index].done;
    case STEP_TYPE: return codeRead;
    default: return true;
    }
}

// A click point on monitor m with camera c showing, searched at most grid samples
// across (leaves the world as it was).
bool workableFrom(PuzzleWorld* world, int m, uint32_t c, const StepTarget& t, int grid, ClickChoice* choice) {
    if (t.target.kind == PICK_CAMERA && (int)c == t.target.index) return false;
    uint32_t shown = world->monitors[m].camera;
    world->monitors[m].camera = c;
    // A coarse look first: most targets are out of sight of most cameras.
    bool found = findClickPoint(world, m, t.action, t.item, t.target, choice, &kGameWindow, 24) &&
                 findClickPoint(world, m, t.action, t.item, t.target, choice, &kGameWindow, grid);
    world->monitors[m].camera = shown;
    return found;
}

// Whether a safe point is there is told well enough at half the finest search.
const int kPossibleGrid = 48;
const int kViewGrid = 96;

bool possibleNow(PuzzleWorld* world, const StepTarget& t) {
    for (int m = 0; m < PUZZLE_MONITOR_COUNT; ++m) {
        std::vector<uint32_t> reached = world->monitors[m].reachable;
        for (uint32_t c : reached) {
            ClickChoice choice;
            if (workableFrom(world, m, c, t, kPossibleGrid, &choice) && choice.marginPixels >= kPossibleMargin) return true;
        }
    }
    return false;
}

bool better(const ClickChoice* a, const ClickChoice* b) {
    if (!b->found) return a->found;
    return a->found && (a->hitPixels > b->hitPixels || (a->hitPixels == b->hitPixels && a->marginPixels > b->marginPixels));
}

// The best view of every target on the monitors as they show now; for several
// targets, the worst of their best views.
void bestViewNow(PuzzleWorld* world, const std::vector<StepTarget>& targets, StepDiscovery* out) {
    out->monitor = -1;
    out->choice = ClickChoice{false, 0, 0, 0, 0};
    bool first = true;
    for (const StepTarget& t : targets) {
        int bestMonitor = -1;
        ClickChoice best = {false, 0, 0, 0, 0};
        for (int m = 0; m < PUZZLE_MONITOR_COUNT; ++m) {
            ClickChoice choice;
            if (!workableFrom(world, m, world->monitors[m].camera, t, kViewGrid, &choice)) continue;
            if (better(&choice, &best)) best = choice, bestMonitor = m;
        }
        if (first || better(&out->choice, &best)) {
            out->choice = best;
            out->monitor = bestMonitor;
        }
        first = false;
    }
}

bool changesTheBuilding(ChainStepKind kind) {
    return kind == STEP_CAMERA || kind == STEP_OPEN || kind == STEP_TAKE || kind == STEP_USE || kind == STEP_TYPE ||
           kind == STEP_READ;
}

} // namespace

bool traceChainDiscovery(PuzzleWorld* world, const std::vector<ChainStep>& steps, std::vector<StepDiscovery>* out,
                         char* error, size_t errorSize) {
    out->clear();
    std::vector<std::vector<StepTarget>> targets(steps.size());
    std::vector<uint8_t> pending(steps.size(), 0);
    for (size_t j = 0; j < steps.size(); ++j) {
        if (!stepTargets(world, &steps[j], &targets[j])) {
            snprintf(error, errorSize, "chain line %d names something the building lacks", steps[j].line);
            return false;
        }
        pending[j] = !targets[j].empty();
    }
    bool codeRead = false;
    for (size_t i = 0; i <= steps.size(); ++i) {
        if (i == 0 || changesTheBuilding(steps[i - 1].kind)) {
            for (size_t j = i; j < steps.size(); ++j) {
                if (!pending[j]) continue;
                // The step itself comes now: it is possible at the latest here.
                bool due = j == i;
                if (!due && !preconditionsHold(world, &steps[j], targets[j], codeRead)) continue;
                bool possible = true;
                for (size_t k = 0; k < targets[j].size() && possible && !due; ++k)
                    possible = possibleNow(world, targets[j][k]);
                if (!possible) continue;
                StepDiscovery found = {j, (long)i - 1, -1, ClickChoice{false, 0, 0, 0, 0}};
                bestViewNow(world, targets[j], &found);
                out->push_back(found);
                pending[j] = 0;
            }
        }
        if (i == steps.size()) break;
        StepOutcome outcome;
        if (!followChainStep(world, &steps[i], &outcome)) {
            snprintf(error, errorSize, "chain line %d: %s", steps[i].line, outcome.message);
            return false;
        }
        if (steps[i].kind == STEP_READ) codeRead = true;
    }
    return true;
}

bool discoverable(const StepDiscovery* discovery) {
    return discovery->monitor >= 0 && discovery->choice.found && discovery->choice.hitPixels >= kDiscoverableArea &&
           discovery->choice.marginPixels >= kDiscoverableMargin;
}
