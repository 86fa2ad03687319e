// The puzzle over the built data folder: the chain written in docs/design.md plays to
// the end under the game's rules with safe click points; the camera graph opens up as
// the doors open; a greedy player who ignores the chain also escapes; and the rules the
// solver models behave as the game's (keypad, wrong items, toggles).
#include "engine/math/matrix.h"
#include "tools/content/game_frame.h"
#include "tools/content/puzzle/puzzle_chain.h"
#include "tools/content/puzzle/puzzle_discovery.h"
#include "tools/content/puzzle/puzzle_explorer.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#ifndef QUARLO_DATA_ROOT
#error "QUARLO_DATA_ROOT names the folder that holds data/"
#endif
#ifndef QUARLO_SOURCE_ROOT
#error "QUARLO_SOURCE_ROOT names the source tree"
#endif

namespace {

std::string readDesign() {
    std::string path = std::string(QUARLO_SOURCE_ROOT) + "/docs/design.md";
    FILE* f = fopen(path.c_str(), "rb");
    std::string text;
    if (!f) return text;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0) text.append(chunk, n);
    fclose(f);
    return text;
}

class Puzzle : public ::testing::Test {
protected:
    static PuzzleWorld* world;
    static PuzzleState start;
    static void SetUpTestSuite() {
        world = new PuzzleWorld();
        ASSERT_TRUE(loadPuzzleWorld(world, QUARLO_DATA_ROOT)) << world->failure;
        savePuzzleState(world, &start);
    }
    static void TearDownTestSuite() {
        releasePuzzleWorld(world);
        delete world;
        world = nullptr;
    }
    void SetUp() override { restorePuzzleState(world, &start); }

    std::vector<ChainStep> chain() {
        std::vector<ChainStep> steps;
        char error[256] = "";
        std::string text = readDesign();
        EXPECT_TRUE(parseChainFromDocument(text.c_str(), &steps, error, sizeof(error))) << error;
        return steps;
    }

    // Clicks an object on a monitor through the solver, as the chain does.
    bool click(int monitor, PickKind kind, const char* name) {
        int index = kind == PICK_INTERACTABLE ? findInteractable(world, name) : kind == PICK_ENTITY ? findEntity(world, name) : findCamera(world, name);
        if (index < 0) return false;
        ClickChoice choice;
        if (!findClickPoint(world, monitor, ACTION_CLICK, -1, ClickTarget{kind, index}, &choice)) return false;
        FrameInput input = {monitor, choice.u, choice.v, true, false, -1, false};
        FrameEffects effects;
        applyMonitorFrame(world, &input, &effects);
        return true;
    }

    void typeOnKeypad(int monitor, const char* keys) {
        for (const char* k = keys; *k; ++k) {
            std::string name = *k == '*' ? "DigicodeButtonStar" : *k == '#' ? "DigicodeButtonPound" : std::string("DigicodeButton") + *k;
            ASSERT_TRUE(click(monitor, PICK_ENTITY, name.c_str())) << name;
        }
    }

    // Plays the chain up to (not including) the first step of the given kind and name.
    void playChainUntil(ChainStepKind kind, const char* name) {
        for (const ChainStep& step : chain()) {
            if (step.kind == kind && strcmp(step.first, name) == 0) return;
            StepOutcome outcome;
            ASSERT_TRUE(followChainStep(world, &step, &outcome)) << "line " << step.line << ": " << outcome.message;
        }
        FAIL() << "the chain has no such step";
    }

    int exitDoor() { return findInteractable(world, "exitDoor"); }
};

PuzzleWorld* Puzzle::world = nullptr;
PuzzleState Puzzle::start;

// The rules the solver models, the chain of the design played through, and the
// searches over the whole puzzle: the sanitizer tree runs the first, the optimised
// tree all three (tests/tools/CMakeLists.txt).
class PuzzleRules : public Puzzle {};
class PuzzleChain : public Puzzle {};
class PuzzleSearch : public Puzzle {};

TEST_F(PuzzleChain, DesignChainPlaysToTheEndWithSafeClickPoints) {
    std::vector<ChainStep> steps = chain();
    ASSERT_GT(steps.size(), 10u);
    bool kinds[STEP_END + 1] = {};
    for (const ChainStep& step : steps) {
        StepOutcome outcome;
        ASSERT_TRUE(followChainStep(world, &step, &outcome)) << "line " << step.line << ": " << outcome.message;
        kinds[step.kind] = true;
        for (const PlanAction& a : outcome.actions) {
            if (a.kind != PLAN_CLICK && a.kind != PLAN_DRAG) continue;
            // The game maps the window to a monitor picture at about 0.8 pixel per
            // picture pixel: two picture pixels of margin absorb a pixel of error.
            EXPECT_GE(a.choice.marginPixels, 2.0f) << "line " << step.line << " clicks too close to an edge";
            float x, y;
            EXPECT_TRUE(monitorPointToWindow(a.monitor, a.u, a.v, 1280, 720, &x, &y)) << "line " << step.line;
        }
    }
    for (int k = 0; k <= STEP_END; ++k) EXPECT_TRUE(kinds[k]) << "the chain never uses step kind " << k;
    uint32_t done, required;
    requiredCounts(world, &done, &required);
    EXPECT_EQ(done, required);
    EXPECT_TRUE(world->interactables[exitDoor()].done);
    EXPECT_EQ(steps.back().kind, STEP_END);
}

// A player who only watches the monitors finds every step: when a step becomes
// possible, what it acts on shows on one of the four monitors as they stand, large
// enough to notice and to hit.
TEST_F(PuzzleChain, EveryChainStepShowsOnAMonitorWhenItBecomesPossible) {
    std::vector<ChainStep> steps = chain();
    std::vector<StepDiscovery> found;
    char error[256] = "";
    ASSERT_TRUE(traceChainDiscovery(world, steps, &found, error, sizeof(error))) << error;
    size_t acting = 0;
    for (const ChainStep& step : steps)
        acting += step.kind == STEP_CAMERA || step.kind == STEP_OPEN || step.kind == STEP_TAKE ||
                  step.kind == STEP_USE || step.kind == STEP_TYPE;
    EXPECT_EQ(found.size(), acting) << "every acting step is traced once";
    for (const StepDiscovery& d : found) {
        const ChainStep& step = steps[d.step];
        std::string when = d.possibleAfter < 0 ? std::string("from the start")
                                               : "after line " + std::to_string(steps[(size_t)d.possibleAfter].line);
        EXPECT_GE(d.monitor, 0) << "line " << step.line << " (" << step.first << ") is possible " << when
                                << " but shows on no monitor";
        EXPECT_TRUE(discoverable(&d)) << "line " << step.line << " (" << step.first << ") possible " << when
                                      << " shows only " << d.choice.hitPixels << " px, margin "
                                      << d.choice.marginPixels << " px";
        EXPECT_LE(d.possibleAfter, (long)d.step - 1) << "line " << step.line;
    }
}

// The trace does catch a step that is possible but out of sight: with the locker room
// camera reached on monitor 3 but the hall showing there, the lockers can be opened
// (the Left arrow brings them back) and no monitor shows them.
TEST_F(PuzzleChain, DiscoveryTraceCatchesAPossibleStepThatNoMonitorShows) {
    int lockers = findCamera(world, "CAM 4"), hall = findCamera(world, "CAM 2");
    ASSERT_GE(lockers, 0);
    ASSERT_GE(hall, 0);
    world->monitors[3].reachable = {(uint32_t)lockers, (uint32_t)hall};
    world->monitors[3].camera = (uint32_t)hall;
    std::vector<ChainStep> steps;
    char error[256] = "";
    ASSERT_TRUE(parseChain("3 left\n3 open locker3\n", &steps, error, sizeof(error))) << error;
    std::vector<StepDiscovery> found;
    ASSERT_TRUE(traceChainDiscovery(world, steps, &found, error, sizeof(error))) << error;
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].step, 1u);
    EXPECT_EQ(found[0].possibleAfter, -1) << "the lockers' camera was reached from the start";
    EXPECT_FALSE(discoverable(&found[0]));
    EXPECT_TRUE(world->interactables[findInteractable(world, "locker3")].done) << "the chain itself still plays";
}

TEST_F(PuzzleSearch, CameraGraphGrowsWithTheDoorsUntilEveryCameraIsReached) {
    std::vector<uint8_t> reachable;
    reachableCameras(world, &reachable);
    size_t atStart = 0;
    for (uint8_t r : reachable) atStart += r;
    EXPECT_GE(atStart, 4u);
    EXPECT_LT(atStart, world->cameras.size()) << "no camera waits behind a closed door";
    for (const ChainStep& step : chain()) {
        if (step.kind == STEP_CAMERA) {
            // Each camera the chain switches to is in the graph at that point.
            reachableCameras(world, &reachable);
            int c = findCamera(world, step.first);
            ASSERT_GE(c, 0);
            EXPECT_TRUE(reachable[c]) << step.first << " at line " << step.line;
        }
        StepOutcome outcome;
        ASSERT_TRUE(followChainStep(world, &step, &outcome)) << outcome.message;
    }
    reachableCameras(world, &reachable);
    for (size_t c = 0; c < reachable.size(); ++c) EXPECT_TRUE(reachable[c]) << world->cameras[c].name << " is never reached";
}

// With every door open, each camera's model can be seen and clicked from another
// camera, the starting ones included, so every view can be found again by a click.
// The hall's first camera is the exception: only the keypad camera shares its room,
// and that one looks at the wall beside the exit.
TEST_F(PuzzleSearch, EveryCameraButTheHallsIsClickableFromAnotherWithEverythingOpen) {
    for (PuzzleInteractable& it : world->interactables)
        if (!it.done) {
            it.done = true;
            it.position = add3(it.position, it.openOffset);
        }
    int hall = findCamera(world, "CAM 2");
    ASSERT_GE(hall, 0);
    for (uint32_t to = 0; to < world->cameras.size(); ++to) {
        if ((int)to == hall) continue;
        bool seen = false;
        for (uint32_t from = 0; from < world->cameras.size() && !seen; ++from) {
            ClickChoice choice;
            seen = from != to && cameraSeesCamera(world, from, to, &choice) && choice.marginPixels >= 2.0f;
        }
        EXPECT_TRUE(seen) << world->cameras[to].name << " is clicked from no other camera";
    }
}

TEST_F(PuzzleSearch, GreedyPlayerFindsEveryOpeningItemAndEscapes) {
    ExploreReport report;
    exploreGreedily(world, &report);
    EXPECT_TRUE(report.ended);
    for (const PuzzleInteractable& it : world->interactables) {
        if (!it.required) continue;
        EXPECT_TRUE(it.done) << it.name;
        int item = findEntity(world, it.openingItem);
        if (strcmp(it.name, "exitDoor") == 0) {
            EXPECT_LT(item, 0) << "the exit door's opening item must be no entity";
            continue;
        }
        ASSERT_GE(item, 0) << it.name << " opens with " << it.openingItem << ", which is nowhere";
        EXPECT_TRUE(report.itemsTaken[item]) << it.openingItem;
    }
    for (size_t c = 0; c < report.camerasReached.size(); ++c) EXPECT_TRUE(report.camerasReached[c]);
}

TEST_F(PuzzleRules, ExitDoorIgnoresClicksAndOpensOnlyForTheRightCode) {
    // Monitor 2 starts on the keypad camera.
    ClickChoice choice;
    EXPECT_FALSE(findClickPoint(world, 2, ACTION_CLICK, -1, ClickTarget{PICK_INTERACTABLE, exitDoor()}, &choice));
    typeOnKeypad(2, "1234");
    EXPECT_FALSE(world->interactables[exitDoor()].done);
    EXPECT_EQ(world->typedCount, 0u) << "four wrong digits clear the code";
    typeOnKeypad(2, "38*#5");
    EXPECT_EQ(world->typedCount, 3u) << "star and pound type nothing";
    typeOnKeypad(2, "9");
    EXPECT_TRUE(world->interactables[exitDoor()].done);
    EXPECT_EQ(world->typedCount, 0u);
}

TEST_F(PuzzleRules, WrongItemStaysInTheInventoryAndClickDoorsToggle) {
    playChainUntil(STEP_USE, "redKey");
    int key = findEntity(world, "redKey"), vestiaire = findInteractable(world, "vestiaireDoor");
    int red = findInteractable(world, "redDoor");
    ASSERT_GE(inventorySlot(world, key), 0);
    // A point of monitor 3 (the locker room) where the locker room door is in view:
    // the key dropped there does nothing and stays in the inventory.
    ClickChoice choice;
    ASSERT_TRUE(findClickPoint(world, 3, ACTION_CLICK, -1, ClickTarget{PICK_INTERACTABLE, vestiaire}, &choice));
    FrameInput drop = {3, choice.u, choice.v, false, false, key, false};
    FrameEffects effects;
    applyMonitorFrame(world, &drop, &effects);
    EXPECT_EQ(effects.hovered, PICK_INTERACTABLE);
    EXPECT_EQ(effects.hoveredIndex, vestiaire);
    EXPECT_FALSE(world->interactables[vestiaire].done);
    EXPECT_GE(inventorySlot(world, key), 0);
    // The red door needs its key: a click never opens it.
    EXPECT_FALSE(findClickPoint(world, 0, ACTION_CLICK, -1, ClickTarget{PICK_INTERACTABLE, red}, &choice));
    // A locker opens by a click and closes by the next (the sliding doors between rooms
    // vanish into the wall when open, so they stay open).
    int locker = findInteractable(world, "locker1");
    Vec3 closed = world->interactables[locker].position;
    ASSERT_TRUE(click(3, PICK_INTERACTABLE, "locker1"));
    EXPECT_TRUE(world->interactables[locker].done);
    ASSERT_TRUE(click(3, PICK_INTERACTABLE, "locker1"));
    EXPECT_FALSE(world->interactables[locker].done);
    EXPECT_FLOAT_EQ(world->interactables[locker].position.x, closed.x);
    ASSERT_TRUE(click(3, PICK_INTERACTABLE, "vestiaireDoor"));
    ClickChoice again;
    EXPECT_FALSE(findClickPoint(world, 3, ACTION_CLICK, -1, ClickTarget{PICK_INTERACTABLE, vestiaire}, &again));
}

TEST_F(PuzzleRules, ArrowKeysCycleThroughReachedCamerasOnly) {
    PuzzleMonitor* m = &world->monitors[1];
    uint32_t first = m->camera;
    applyArrow(world, 1, 1);
    EXPECT_EQ(m->camera, first) << "one reached camera: the arrows stay";
    ASSERT_TRUE(click(1, PICK_CAMERA, "CAM 3"));
    ASSERT_EQ(m->reachable.size(), 2u);
    applyArrow(world, 1, -1);
    EXPECT_EQ(m->camera, first);
    applyArrow(world, 1, -1);
    EXPECT_EQ(m->camera, (uint32_t)findCamera(world, "CAM 3")) << "Left wraps from the first to the last";
}

TEST_F(PuzzleRules, MonitorPointsMapToThePanelThePlayerSees) {
    // The window pixel the solver gives for (u, v) of monitor k sends the player's ray
    // back onto panel k at (u, v): the solver's mapping and the panel placements agree.
    Mat4 view, projection, inverseView, inverseProjection;
    playerViewProjection(&view, &projection);
    inverseMatrix4(&inverseView, &view);
    inverseMatrix4(&inverseProjection, &projection);
    const float quad[12] = {0, 0, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0};
    const uint32_t indices[6] = {0, 2, 1, 1, 2, 3};
    int onScreen = 0;
    for (int k = 0; k < 4; ++k)
        for (float u : {0.1f, 0.3f, 0.5f, 0.7f, 0.9f})
            for (float v : {0.15f, 0.5f, 0.85f}) {
                float x, y;
                // The panels' outer corners lie beyond the window until the player
                // turns the head; the middle of each is in view.
                bool inWindow = monitorPointToWindow(k, u, v, 1280, 720, &x, &y);
                if (u == 0.5f && v == 0.5f) {
                    EXPECT_TRUE(inWindow) << "monitor " << k;
                }
                if (!inWindow) continue;
                ++onScreen;
                Vec4 p = transformVector4(&inverseProjection, Vec4{2 * x / 1280 - 1, 2 * y / 720 - 1, -1, 1});
                Vec4 d4 = transformVector4(&inverseView, Vec4{p.x, p.y, -1, 0});
                Vec3 d = normalised3(vec3(d4.x, d4.y, d4.z));
                PanelPlacement panel = monitorPanelPlacement(k);
                float origin[3] = {kPlayerEye.x, kPlayerEye.y, kPlayerEye.z}, dir[3] = {d.x, d.y, d.z};
                float t[3] = {panel.position.x, panel.position.y, panel.position.z};
                float s[3] = {panel.scale.x, panel.scale.y, panel.scale.z};
                float q[4] = {panel.rotation.x, panel.rotation.y, panel.rotation.z, panel.rotation.w};
                float distance;
                ASSERT_TRUE(intersectRayMesh(origin, dir, t, s, q, &distance, quad, indices, 6, 3)) << k;
                Vec3 hit = add3(kPlayerEye, scale3(d, distance));
                Mat4 model = panelModelMatrix(&panel), inverse;
                inverseMatrix4(&inverse, &model);
                Vec3 local = transformPoint(&inverse, hit);
                EXPECT_NEAR(local.x, u, 2e-3f) << "monitor " << k;
                EXPECT_NEAR(local.y, v, 2e-3f) << "monitor " << k;
            }
    EXPECT_GT(onScreen, 40);
    // Upper panels sit above lower ones, left ones left of right ones.
    float x0, y0, x1, y1, x2, y2;
    monitorPointToWindow(0, 0.5f, 0.5f, 1280, 720, &x0, &y0);
    monitorPointToWindow(1, 0.5f, 0.5f, 1280, 720, &x1, &y1);
    monitorPointToWindow(2, 0.5f, 0.5f, 1280, 720, &x2, &y2);
    EXPECT_GT(y0, y1);
    EXPECT_LT(x0, x2);
}

TEST(ChainText, BadLinesAreRefusedWithTheirLineNumber) {
    std::vector<ChainStep> steps;
    char error[256];
    EXPECT_TRUE(parseChain("# comment\n0 camera CAM 2\n3 use redKey redDoor\nread paperNote\nend\n", &steps, error,
                           sizeof(error)));
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_STREQ(steps[0].first, "CAM 2");
    EXPECT_EQ(steps[1].monitor, 3);
    EXPECT_STREQ(steps[1].second, "redDoor");
    EXPECT_EQ(steps[1].line, 3);
    EXPECT_FALSE(parseChain("0 camera CAM 1\n7 open x\n", &steps, error, sizeof(error)));
    EXPECT_NE(strstr(error, "line 2"), nullptr) << error;
    EXPECT_FALSE(parseChain("open locker1\n", &steps, error, sizeof(error)));
    EXPECT_FALSE(parseChain("1 read paperNote\n", &steps, error, sizeof(error)));
    EXPECT_FALSE(parseChain("1 use redKey\n", &steps, error, sizeof(error)));
    EXPECT_FALSE(parseChain("1 dance\n", &steps, error, sizeof(error)));
    // Pacing lines: a wait takes seconds and no monitor, a look nothing, a point a name
    // that may hold spaces.
    EXPECT_TRUE(parseChain("1 point CAM 3  # rest\nwait 2.5\nlook\n0 point redDoor\n", &steps, error, sizeof(error)))
        << error;
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].kind, STEP_POINT);
    EXPECT_STREQ(steps[0].first, "CAM 3");
    EXPECT_EQ(steps[1].kind, STEP_WAIT);
    EXPECT_FLOAT_EQ(steps[1].seconds, 2.5f);
    EXPECT_EQ(steps[1].monitor, -1);
    EXPECT_EQ(steps[2].kind, STEP_LOOK);
    EXPECT_STREQ(steps[3].first, "redDoor");
    for (const char* bad : {"wait\n", "wait 0\n", "wait -1\n", "wait 2s\n", "wait 1000\n", "1 wait 2\n", "2 look\n",
                            "look around\n", "point CAM 3\n", "1 point\n", "1 left 2\n"})
        EXPECT_FALSE(parseChain(bad, &steps, error, sizeof(error))) << bad;
    EXPECT_FALSE(parseChainFromDocument("no block here", &steps, error, sizeof(error)));
    EXPECT_FALSE(parseChainFromDocument("```chain\nend\n", &steps, error, sizeof(error)));
    EXPECT_TRUE(parseChainFromDocument("title\n\n```chain\nend\n```\n", &steps, error, sizeof(error)));
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].line, 4);
}

} // namespace
