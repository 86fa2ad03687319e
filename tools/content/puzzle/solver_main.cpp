// quarlo_solver: plays the puzzle chain of docs/design.md against a data folder with
// the game's rules and prints, step by step, where to click in the game's window.
//
//   quarlo_solver <program directory> <design.md> [width height]
//   quarlo_solver <program directory> <design.md> --discovery
//
// <program directory> holds data/ (build/native for the native build). Window size
// defaults to 1280 x 720. Output lines, window pixels with y from the top:
//   click X Y            press and release the left button
//   drag X0 Y0 X1 Y1     press at (X0, Y0) (an inventory slot), move, release
//   key left|right X Y   with the cursor at (X, Y) on the monitor, press the key
//   hover X Y            rest the cursor there (the inventory item's text shows)
//   move X Y             rest the cursor there, on a monitor
//   wait S               let S seconds pass, touching nothing
//   look                 press and release the right button where the cursor is,
//                        without moving the mouse
// each followed by "# ..." with the step, its line and words, and for clicks, drags
// and moves the monitor point and its margin.
// Exit code 0 when every step did what it says, 1 otherwise.
//
// With --discovery it prints instead, for every step that acts on something, after
// which step it became possible and how the monitors showed its target then, and
// exits with 1 when one of them showed too small or on no monitor.
#include "tools/content/game_frame.h"
#include "tools/content/puzzle/puzzle_chain.h"
#include "tools/content/puzzle/puzzle_discovery.h"

#include "engine/platform/files.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

int printDiscovery(PuzzleWorld* world, const std::vector<ChainStep>& steps) {
    std::vector<StepDiscovery> found;
    char error[256];
    if (!traceChainDiscovery(world, steps, &found, error, sizeof(error))) {
        fprintf(stderr, "%s\n", error);
        return 1;
    }
    int status = 0;
    for (const StepDiscovery& d : found) {
        const ChainStep* step = &steps[d.step];
        printf("line %d %s %s%s%s: possible ", step->line, chainStepVerb(step->kind), step->first,
               step->second[0] ? " " : "", step->second);
        if (d.possibleAfter < 0) printf("from the start");
        else printf("after line %d", steps[(size_t)d.possibleAfter].line);
        if (d.monitor < 0) printf(", on no monitor");
        else printf(", monitor %d area %u px margin %.1f px", d.monitor, d.choice.hitPixels, d.choice.marginPixels);
        bool ok = discoverable(&d);
        printf("%s\n", ok ? "" : "  TOO HARD TO FIND");
        if (!ok) status = 1;
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    bool discovery = argc == 4 && strcmp(argv[3], "--discovery") == 0;
    if (argc != 3 && argc != 5 && !discovery) {
        fprintf(stderr, "usage: %s <program directory> <design.md> [width height | --discovery]\n", argv[0]);
        return 2;
    }
    float width = argc == 5 ? (float)atof(argv[3]) : 1280.0f, height = argc == 5 ? (float)atof(argv[4]) : 720.0f;
    // Read before the data folder becomes the module directory: the path is the caller's.
    char* document = readTextFile(argv[2]);
    if (!document) {
        fprintf(stderr, "cannot read %s\n", argv[2]);
        return 1;
    }
    std::vector<ChainStep> steps;
    char error[256];
    if (!parseChainFromDocument(document, &steps, error, sizeof(error))) {
        fprintf(stderr, "%s: %s\n", argv[2], error);
        delete[] document;
        return 1;
    }
    delete[] document;
    static PuzzleWorld world;
    if (!loadPuzzleWorld(&world, argv[1])) {
        fprintf(stderr, "cannot load the data: %s\n", world.failure);
        return 1;
    }
    if (discovery) {
        int status = printDiscovery(&world, steps);
        releasePuzzleWorld(&world);
        return status;
    }
    int status = 0;
    for (size_t n = 0; n < steps.size(); ++n) {
        StepOutcome outcome;
        if (!followChainStep(&world, &steps[n], &outcome)) {
            fprintf(stderr, "step %zu (line %d): %s\n", n + 1, steps[n].line, outcome.message);
            status = 1;
            break;
        }
        for (const PlanAction& a : outcome.actions) {
            float x = 0, y = 0, sx = 0, sy = 0;
            if (a.monitor >= 0) monitorPointToWindow(a.monitor, a.u, a.v, width, height, &x, &y);
            if (a.slot >= 0) inventorySlotCentre(a.slot, width, height, &sx, &sy);
            switch (a.kind) {
            case PLAN_CLICK:
                printf("click %.0f %.0f", x, height - y);
                break;
            case PLAN_DRAG:
                printf("drag %.0f %.0f %.0f %.0f", sx, height - sy, x, height - y);
                break;
            case PLAN_KEY:
                printf("key %s %.0f %.0f", a.key < 0 ? "left" : "right", x, height - y);
                break;
            case PLAN_HOVER:
                printf("hover %.0f %.0f", sx, height - sy);
                break;
            case PLAN_MOVE:
                printf("move %.0f %.0f", x, height - y);
                break;
            case PLAN_WAIT:
                printf("wait %g", (double)a.seconds);
                break;
            case PLAN_LOOK:
                printf("look");
                break;
            }
            const ChainStep* step = &steps[n];
            const char* verb = step->kind != STEP_ARROW ? chainStepVerb(step->kind) : step->direction < 0 ? "left" : "right";
            printf("  # step %zu line %d %s", n + 1, step->line, verb);
            if (step->first[0]) printf(" %s", step->first);
            if (step->second[0]) printf(" %s", step->second);
            if (a.kind == PLAN_CLICK || a.kind == PLAN_DRAG || a.kind == PLAN_MOVE)
                printf(" monitor %d u %.4f v %.4f margin %.1f px area %u px", a.monitor, a.u, a.v,
                       a.choice.marginPixels, a.choice.hitPixels);
            printf("\n");
        }
    }
    releasePuzzleWorld(&world);
    return status;
}
