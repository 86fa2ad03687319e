// The rules and the passes on the real data folder, driven by synthetic input and
// watched through a recording backend.
#include "tests/game/real_data_support.h"

#include "engine/program/program_state.h"
#include "engine/text/name_ids.h"
#include "game/game.h"
#include "game/interaction.h"
#include "game/picking.h"
#include "game/rendering.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

class RealData : public ::testing::Test {
protected:
    void SetUp() override { startRealGame(&real); }
    void TearDown() override { stopRealGame(&real); }
    GameState* game() { return real.game; }
    RealGame real;
};

Interactable* findInteractable(GameState* game, const char* name) {
    for (uint32_t i = 0; i < game->interactableCount; ++i)
        if (strcmp(game->interactables[i].name, name) == 0) return &game->interactables[i];
    return nullptr;
}

Entity* findEntity(GameState* game, const char* name) {
    for (uint32_t i = 0; i < game->entityCount; ++i)
        if (strcmp(game->entities[i].name, name) == 0) return &game->entities[i];
    return nullptr;
}

TEST_F(RealData, TheSolversPlanReachesTheEndUnderTheGamesRules) {
    std::vector<std::string> plan = solverPlan();
    ASSERT_GE(plan.size(), 10u);
    bool sawNote = false;
    for (const std::string& line : plan) {
        ASSERT_FALSE(game()->endReached) << "ended before " << line;
        ASSERT_TRUE(playPlanLine(&real, line)) << "unknown plan line: " << line;
        if (line.rfind("hover", 0) == 0) {
            ASSERT_NE(game()->hoveredItem, nullptr) << line;
            EXPECT_STREQ(game()->hoveredItem->name, "paperNote");
            sawNote = true;
        }
    }
    playFrame(&real, pointerAt(640, 360, false));
    EXPECT_TRUE(sawNote);
    EXPECT_TRUE(game()->endReached);
    EXPECT_EQ(game()->doneCount, game()->requiredCount);
    Interactable* exit = findInteractable(game(), "exitDoor");
    ASSERT_NE(exit, nullptr);
    EXPECT_TRUE(exit->done);
}

TEST_F(RealData, ThreeEightFiveNineOpensEveryExitDoorAndAWrongCodeNothing) {
    Interactable* exit = findInteractable(game(), "exitDoor");
    ASSERT_NE(exit, nullptr);
    Vec3 closedAt = exit->position;
    uint32_t doneBefore = 0, required = 0;
    countRequired(game(), &required, &doneBefore);
    int32_t digit[10];
    for (int d = 0; d < 10; ++d) digit[d] = d == 0 ? 27 : 17 + d;
    for (int d : {1, 2, 3, 4}) pressKeypadButton(game(), digit[d]);
    EXPECT_EQ(game()->typedCount, 0u);
    EXPECT_FALSE(exit->done);
    uint32_t doneAfter = 0;
    countRequired(game(), &required, &doneAfter);
    EXPECT_EQ(doneAfter, doneBefore);
    pressKeypadButton(game(), 28); // star
    pressKeypadButton(game(), 29); // pound
    EXPECT_EQ(game()->typedCount, 0u);
    for (int d : {3, 8, 5, 9}) pressKeypadButton(game(), digit[d]);
    for (uint32_t i = 0; i < game()->interactableCount; ++i)
        if (strcmp(game()->interactables[i].name, "exitDoor") == 0) {
            EXPECT_TRUE(game()->interactables[i].done);
        }
    EXPECT_NE(memcmp(&exit->position, &closedAt, sizeof(Vec3)), 0);
}

TEST_F(RealData, NamesOfTheSceneHaveTexts) {
    for (const char* name : {"redKey", "crowbar", "accessCard", "paperNote"}) {
        Entity* item = findEntity(game(), name);
        ASSERT_NE(item, nullptr) << name;
        EXPECT_TRUE(item->pickable) << name;
        EXPECT_GE(item->id, 0) << name;
        EXPECT_NE(languageText(&game()->language, item->id), nullptr) << name;
    }
    for (uint32_t i = 0; i < game()->interactableCount; ++i) {
        int32_t id = lookUpNameId(&game()->names, game()->interactables[i].name);
        EXPECT_GE(id, 0) << game()->interactables[i].name;
        EXPECT_NE(languageText(&game()->language, id), nullptr) << game()->interactables[i].name;
    }
    EXPECT_GE(game()->cameraCount, 6u);
}

// The "highlight" values sent while each view was drawn: monitors 0 to 3, then the
// room (4) and the inventory previews (5).
struct HighlightsByView {
    int monitorViews = 0;
    int lit[6] = {};
    int unlit[6] = {};
};
HighlightsByView* gHighlights;
const RecordingRenderer* gRecorder;
size_t gCallsSeen;

void notePass(const char* pass, FrameBufferRecord*) {
    // Everything recorded since the last pass belongs to the pass that just ended.
    int view = -1;
    if (strcmp(pass, "monitorView") == 0) view = gHighlights->monitorViews++;
    if (strcmp(pass, "mainView") == 0) view = 4;
    if (strcmp(pass, "inventory") == 0) view = 5;
    for (size_t i = gCallsSeen; i < gRecorder->calls.size(); ++i) {
        const RecordedCall& call = gRecorder->calls[i];
        if (call.name != "sendFloatToShaderInRenderer" || call.text != "highlight" || call.values.empty()) continue;
        EXPECT_GE(view, 0) << "a highlight sent outside the views, before " << pass;
        if (view < 0 || view > 5) continue;
        if (call.values[0] == 1.0f) ++gHighlights->lit[view];
        else ++gHighlights->unlit[view];
    }
    gCallsSeen = gRecorder->calls.size();
}

TEST_F(RealData, AnEntityHitThroughMonitorTwoIsHighlightedInMonitorTwosPictureOnly) {
    // The keypad, on monitor 2 after its first camera: aim at a button through it.
    Entity* button = findEntity(game(), "DigicodeButton5");
    ASSERT_NE(button, nullptr);
    const SecurityCamera* camera = &game()->cameras[game()->monitors[2].camera];
    // The middle of the button's own geometry, where the picture shows it.
    Vec3 middle = {0, 0, 0};
    uint32_t vertices = meshVertexCount(&button->mesh);
    ASSERT_GT(vertices, 0u);
    for (uint32_t i = 0; i < vertices; ++i)
        middle = add3(middle, Vec3{button->mesh.vertices[11 * i], button->mesh.vertices[11 * i + 1],
                                   button->mesh.vertices[11 * i + 2]});
    middle = scale3(middle, 1.0f / static_cast<float>(vertices));
    Mat4 place = transformMatrix(button->world.translation, &button->world.rotation, button->world.scale);
    middle = transformPoint(&place, middle);
    float u = 0, v = 0;
    ASSERT_TRUE(worldToPanel(camera, middle, &u, &v));
    InputSnapshot input = {};
    ASSERT_TRUE(panelToCursor(game(), &game()->monitors[2].panel, u, v, &input.cursorX, &input.cursorY));
    playFrame(&real, input);
    ASSERT_EQ(button->monitorIndex, 2);

    HighlightsByView highlights;
    gHighlights = &highlights;
    gRecorder = &real.recorder;
    gCallsSeen = real.recorder.calls.size();
    setRenderPassObserver(notePass);
    renderGame(game());
    setRenderPassObserver(nullptr);
    ASSERT_EQ(highlights.monitorViews, 4);
    // Every view draws the button: each one sends its highlight, lit in monitor 2 only.
    for (int view = 0; view < 5; ++view)
        EXPECT_GT(highlights.lit[view] + highlights.unlit[view], 0) << "view " << view;
    EXPECT_EQ(highlights.lit[0], 0);
    EXPECT_EQ(highlights.lit[1], 0);
    EXPECT_EQ(highlights.lit[2], 1);
    EXPECT_EQ(highlights.lit[3], 0);
    EXPECT_EQ(highlights.lit[4], 0); // the room seen from the chair
}

// The number of grey hint panels drawn in a frame: rectangles in the colour shader
// with the hint panel's grey.
size_t greyPanels(const RecordingRenderer* recorder, size_t from) {
    size_t count = 0;
    for (size_t i = from; i < recorder->calls.size(); ++i) {
        const RecordedCall& call = recorder->calls[i];
        if (call.name == "sendVector4DToShaderInRenderer" && call.text == "color" && call.values.size() == 4 &&
            call.values[0] == 0.5f && call.values[1] == 0.5f && call.values[2] == 0.5f && call.values[3] == 0.5f)
            ++count;
    }
    return count;
}

TEST_F(RealData, NoHintPanelWhilePausedOrEnded) {
    size_t from = real.recorder.calls.size();
    renderGame(game());
    EXPECT_EQ(greyPanels(&real.recorder, from), 1u); // the first hint
    game()->paused = true;
    from = real.recorder.calls.size();
    renderGame(game());
    EXPECT_EQ(greyPanels(&real.recorder, from), 0u);
    game()->paused = false;
    game()->endReached = true;
    from = real.recorder.calls.size();
    renderGame(game());
    EXPECT_EQ(greyPanels(&real.recorder, from), 0u);
}

TEST_F(RealData, AResizeRecreatesEveryTargetBeforeTheNextPasses) {
    size_t from = real.recorder.calls.size();
    resizeGame(800, 600);
    std::vector<std::pair<uint64_t, uint64_t>> sizes;
    for (size_t i = from; i < real.recorder.calls.size(); ++i)
        if (real.recorder.calls[i].name == "createFrameBufferInRenderer")
            sizes.push_back({real.recorder.calls[i].integers.at(0), real.recorder.calls[i].integers.at(1)});
    const std::vector<std::pair<uint64_t, uint64_t>> expected = {
        {800, 600}, {200, 150}, {200, 150}, {400, 300}, {400, 300}, {400, 300},
        {400, 300}, {400, 300}, {100, 75},  {100, 75},  {800, 600}, {400, 300}};
    EXPECT_EQ(sizes, expected);
    EXPECT_EQ(game()->targets.scene.width, 800u);
    EXPECT_EQ(game()->targets.eighthB.height, 75u);
    EXPECT_EQ(game()->largeFont.pixelSize, 30u);
    EXPECT_EQ(game()->smallFont.pixelSize, 16u);
    // The next frame's passes bind targets of the new size only.
    from = real.recorder.calls.size();
    renderGame(game());
    for (size_t i = from; i < real.recorder.calls.size(); ++i) {
        const RecordedCall& call = real.recorder.calls[i];
        if (call.name != "bindFrameBufferInRenderer") continue;
        const FrameBufferRecord* target = static_cast<const FrameBufferRecord*>(call.pointer);
        EXPECT_TRUE(target->width == 800 || target->width == 400 || target->width == 200 || target->width == 100)
            << target->width;
    }
}

} // namespace
