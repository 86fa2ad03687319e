// The frame's passes on the real data folder, watched through a recording backend:
// the render targets' attachments, which program draws into which target from which
// inputs, the inventory preview's turn and the labels of objects seen on a monitor.
#include "tests/game/real_data_support.h"

#include "engine/program/program_state.h"
#include "game/game.h"
#include "game/rendering.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class RealFrame : public ::testing::Test {
protected:
    void SetUp() override { startRealGame(&real); }
    void TearDown() override {
        setRenderPassObserver(nullptr);
        stopRealGame(&real);
    }
    GameState* game() { return real.game; }

    Entity* findEntity(const char* name) {
        for (uint32_t i = 0; i < game()->entityCount; ++i)
            if (strcmp(game()->entities[i].name, name) == 0) return &game()->entities[i];
        return nullptr;
    }

    std::string targetName(const void* target) {
        RenderTargets* t = &game()->targets;
        if (!target) return "back buffer";
        if (target == &t->scene) return "scene";
        if (target == &t->quarterA) return "quarter A";
        if (target == &t->quarterB) return "quarter B";
        if (target == &t->monitorScene) return "monitor scene";
        if (target == &t->eighthA) return "eighth A";
        if (target == &t->eighthB) return "eighth B";
        if (target == &t->finalPicture) return "final picture";
        if (target == &t->halfPicture) return "half picture";
        for (int k = 0; k < MONITOR_COUNT; ++k)
            if (target == &t->monitor[k]) return "monitor " + std::to_string(k);
        return "?";
    }

    // The target whose colour attachment a texture id is, or the black texture.
    std::string textureName(uint64_t id) {
        if (id == static_cast<uint64_t>(game()->blackTexture->id)) return "black";
        FrameBufferRecord* all[] = {&game()->targets.scene,      &game()->targets.quarterA,  &game()->targets.quarterB,
                                    &game()->targets.monitorScene, &game()->targets.eighthA, &game()->targets.eighthB,
                                    &game()->targets.monitor[0], &game()->targets.monitor[1],
                                    &game()->targets.monitor[2], &game()->targets.monitor[3],
                                    &game()->targets.finalPicture, &game()->targets.halfPicture};
        for (FrameBufferRecord* target : all)
            if (target->textures && target->textures[0] == id) return targetName(target);
        return "other";
    }

    std::string programName(const ShaderRecord* shader) {
        ShaderPrograms* s = &game()->shaders;
        if (shader == &s->basicFixed) return "basic-fixed";
        if (shader == &s->basicDirectionalLight) return "basic-directional-light";
        if (shader == &s->text || shader == &s->color) return "gui";
        if (shader == &s->shadowmap) return "shadowmap";
        if (shader == &s->finalBlur) return "final blur";
        if (shader == &s->horizontalBlur) return "horizontal blur";
        if (shader == &s->verticalBlur) return "vertical blur";
        if (shader == &s->bloomComposite) return "bloom composite";
        if (shader == &s->onlyBright) return "only bright";
        if (shader == &s->toneMapping) return "tone mapping";
        if (shader == &s->copy) return "copy";
        return "?";
    }

    // "program -> target", with the inputs of the full-screen and panel passes, of the
    // calls recorded from `from` on; repeated steps once.
    std::vector<std::string> chainFrom(size_t from) {
        std::vector<std::string> chain;
        const void* target = nullptr;
        uint64_t unit0 = RENDERER_INVALID_ID, unit1 = RENDERER_INVALID_ID;
        for (size_t i = from; i < real.recorder.calls.size(); ++i) {
            const RecordedCall& call = real.recorder.calls[i];
            if (call.name == "bindFrameBufferInRenderer") target = call.pointer;
            if (call.name == "unbindFrameBufferInRenderer") target = nullptr;
            if (call.name == "bindTextureInRenderer" && call.integers.at(1) == 0) unit0 = call.integers.at(0);
            if (call.name == "bindTextureInRenderer" && call.integers.at(1) == 1) unit1 = call.integers.at(0);
            if (call.name != "drawIndexedInRenderer") continue;
            std::string program = programName(call.shader);
            std::string step = program + " -> " + targetName(target);
            const bool withInputs = program != "basic-directional-light" && program != "shadowmap" && program != "gui";
            if (withInputs) step += " <- " + textureName(unit0);
            if (withInputs && unit1 != RENDERER_INVALID_ID) step += " + " + textureName(unit1);
            unit1 = RENDERER_INVALID_ID;
            if (chain.empty() || chain.back() != step) chain.push_back(step);
        }
        return chain;
    }

    RealGame real;
};


TEST_F(RealFrame, TheSceneTargetsHaveColourAndDepthTheOthersColour) {
    size_t from = real.recorder.calls.size();
    resizeGame(1280, 720);
    size_t created = 0;
    for (size_t i = from; i < real.recorder.calls.size(); ++i) {
        const RecordedCall& call = real.recorder.calls[i];
        if (call.name != "createFrameBufferInRenderer") continue;
        ++created;
        std::string name = targetName(call.pointer);
        const bool withDepth = name == "scene" || name == "monitor scene";
        ASSERT_EQ(call.attachments.size(), withDepth ? 2u : 1u) << name;
        EXPECT_EQ(call.integers.at(2), call.attachments.size()) << name;
        // The monitors' and the final picture hold what the screen shows: 8 bits per
        // channel like it. The scenes and the bloom keep what is brighter than white.
        const bool screenPicture = name == "final picture" || name == "half picture" ||
                                   (name.rfind("monitor ", 0) == 0 && name != "monitor scene");
        const uint32_t colorFormat = screenPicture ? 0u : 6u;
        for (size_t a = 0; a < call.attachments.size(); ++a) {
            const TextureDescription& d = call.attachments[a];
            SCOPED_TRACE(name + " attachment " + std::to_string(a));
            EXPECT_EQ(d.pixelFormat, a == 0 ? colorFormat : 5u);
            EXPECT_EQ(d.attachmentKind, a == 0 ? 0u : 1u);
            EXPECT_EQ(d.wrapMode, 2u);
            EXPECT_EQ(d.mipLevels, 1u);
            EXPECT_EQ(d.smooth, 1u);
            EXPECT_EQ(d.renderTarget, 1u);
            EXPECT_EQ(d.width, call.integers.at(0));
            EXPECT_EQ(d.height, call.integers.at(1));
        }
    }
    EXPECT_EQ(created, 12u);
}

TEST_F(RealFrame, OneFramesPassesDrawWithTheirProgramsIntoTheirTargets) {
    size_t from = real.recorder.calls.size();
    renderGame(game());
    std::vector<std::string> chain = chainFrom(from);

    std::vector<std::string> expected;
    for (int k = 0; k < MONITOR_COUNT; ++k) {
        expected.push_back("basic-directional-light -> monitor scene");
        expected.push_back("only bright -> eighth A <- monitor scene");
        expected.push_back("horizontal blur -> eighth B <- eighth A");
        expected.push_back("vertical blur -> eighth A <- eighth B");
        expected.push_back("bloom composite -> monitor " + std::to_string(k) + " <- monitor scene + eighth A");
    }
    // The room: the panels first, which hide most of it from the lit pass, then its bloom
    // and its finished picture, copied to the back buffer under the texts.
    const char* room[] = {
        "basic-fixed -> scene <- monitor 0",
        "basic-fixed -> scene <- monitor 1",
        "basic-fixed -> scene <- monitor 2",
        "basic-fixed -> scene <- monitor 3",
        "basic-directional-light -> scene",
        "only bright -> quarter A <- scene",
        "horizontal blur -> quarter B <- quarter A",
        "vertical blur -> quarter A <- quarter B",
        "final blur -> final picture <- scene + quarter A",
        "copy -> back buffer <- final picture",
        "gui -> back buffer",
    };
    expected.insert(expected.end(), room, room + sizeof(room) / sizeof(room[0]));
    EXPECT_EQ(chain, expected);

    // The passes that replace what they draw over do not blend.
    EXPECT_EQ(game()->shaders.bloomComposite.blendMode, 3u);
    EXPECT_EQ(game()->shaders.basicDirectionalLight.blendMode, 3u);
    EXPECT_EQ(game()->shaders.finalBlur.blendMode, 3u);
}

// What a frame draws when no view changed: the room's kept picture and the texts on top.
TEST_F(RealFrame, AFrameWhereNothingChangedDrawsOnlyThePictureAndTheTexts) {
    renderGame(game());
    for (int i = 0; i < 2; ++i) {
        size_t from = real.recorder.calls.size();
        renderGame(game());
        EXPECT_EQ(chainFrom(from), (std::vector<std::string>{"copy -> back buffer <- final picture",
                                                             "gui -> back buffer"}));
    }
}

// Which views a change draws again: a highlight through one monitor, that monitor and
// the room showing it; a turn of the head, the room alone; an opened object, everything.
TEST_F(RealFrame, AChangeDrawsAgainTheViewsThatShowIt) {
    renderGame(game());
    auto views = [&]() {
        size_t from = real.recorder.calls.size();
        renderGame(game());
        std::vector<std::string> drawn;
        for (const std::string& step : chainFrom(from))
            if (step.rfind("bloom composite -> monitor", 0) == 0 || step == "basic-directional-light -> scene")
                drawn.push_back(step.substr(0, step.find(" <-")));
        return drawn;
    };
    const std::string room = "basic-directional-light -> scene";
    auto monitor = [](int k) { return "bloom composite -> monitor " + std::to_string(k); };

    game()->world[0]->monitorIndex = 2;
    EXPECT_EQ(views(), (std::vector<std::string>{monitor(2), room}));
    EXPECT_EQ(views(), std::vector<std::string>{}) << "the same highlight again";
    game()->world[0]->monitorIndex = NO_MONITOR;
    EXPECT_EQ(views(), (std::vector<std::string>{monitor(2), room}));

    // A turn of the head: the room alone, at half size into the monitors' scene target
    // while the view moves, at full size again the first frame it stands still.
    auto halfSizeRoom = [&]() {
        size_t from = real.recorder.calls.size();
        renderGame(game());
        std::vector<std::string> chain = chainFrom(from);
        auto has = [&](const char* step) { return std::find(chain.begin(), chain.end(), step) != chain.end(); };
        return has("basic-directional-light -> monitor scene") &&
               has("final blur -> half picture <- monitor scene + eighth A") &&
               has("basic-fixed -> back buffer <- half picture") && !has("basic-directional-light -> scene");
    };
    for (int i = 0; i < 2; ++i) {
        game()->player.view.m[12] += 0.01f;
        EXPECT_TRUE(halfSizeRoom()) << "turning frame " << i;
    }
    EXPECT_EQ(views(), std::vector<std::string>{room});
    EXPECT_EQ(views(), std::vector<std::string>{});

    Interactable* object = &game()->interactables[0];
    object->position.z += 1.0f;
    EXPECT_EQ(views(), (std::vector<std::string>{monitor(0), monitor(1), monitor(2), monitor(3), room}));

    game()->monitors[1].camera = (game()->monitors[1].camera + 1) % game()->cameraCount;
    EXPECT_EQ(views(), (std::vector<std::string>{monitor(1), room}));

    resizeGame(1280, 720);
    EXPECT_EQ(views(), (std::vector<std::string>{monitor(0), monitor(1), monitor(2), monitor(3), room}));

    game()->viewCache.drawEverything = true;
    EXPECT_EQ(views(), (std::vector<std::string>{monitor(0), monitor(1), monitor(2), monitor(3), room}));
    EXPECT_EQ(views(), (std::vector<std::string>{monitor(0), monitor(1), monitor(2), monitor(3), room}));
}

size_t gPanelsEnd, gInventoryEnd;
const RecordingRenderer* gWatched;

void markPreviewPass(const char* pass, FrameBufferRecord*) {
    if (strcmp(pass, "finalPicture") == 0) gPanelsEnd = gWatched->calls.size();
    if (strcmp(pass, "inventory") == 0) gInventoryEnd = gWatched->calls.size();
}

TEST_F(RealFrame, TheInventoryPreviewTurnsTwentyDegreesASecond) {
    Entity* item = findEntity("redKey");
    ASSERT_NE(item, nullptr);
    game()->inventory = static_cast<Entity**>(malloc(sizeof(Entity*)));
    ASSERT_NE(game()->inventory, nullptr);
    game()->inventory[0] = item;
    game()->inventoryCount = game()->inventoryCapacity = 1;
    // Upright and unscaled, so the model matrix is the turn alone.
    item->preview.rotation = Quat{0, 0, 0, 1};
    item->preview.scale = Vec3{1, 1, 1};

    gWatched = &real.recorder;
    setRenderPassObserver(markPreviewPass);
    auto turnAt = [&](float seconds) {
        game()->playTime = seconds;
        renderGame(game());
        const RecordedCall* model = nullptr;
        for (size_t i = gPanelsEnd; i < gInventoryEnd; ++i)
            if (real.recorder.calls[i].name == "sendMatrix4x4ToShaderInRenderer" &&
                real.recorder.calls[i].text == "modelMat")
                model = &real.recorder.calls[i];
        EXPECT_NE(model, nullptr);
        if (!model) return 1000.0f;
        EXPECT_EQ(model->shader, &game()->shaders.basicDirectionalLight);
        const float* m = model->values.data();
        // The vertical axis stays; the first axis turns in the horizontal plane.
        EXPECT_NEAR(m[10], 1.0f, 1e-5f);
        EXPECT_NEAR(m[2], 0.0f, 1e-5f);
        return atan2f(m[1], m[0]) * 180.0f / 3.14159265f;
    };
    EXPECT_NEAR(turnAt(0.0f), 0.0f, 1e-3f);
    EXPECT_NEAR(turnAt(1.0f), 20.0f, 1e-3f);
    EXPECT_NEAR(turnAt(4.5f), 90.0f, 1e-3f);
    EXPECT_NEAR(turnAt(7.0f), 140.0f, 1e-3f);
}

// The vertex counts of the texts drawn between the panels and the end of the texts.
std::vector<uint64_t> gTextVertexCounts;
size_t gTextsFrom;

void collectTexts(const char* pass, FrameBufferRecord*) {
    if (strcmp(pass, "inventory") == 0) gTextsFrom = gWatched->calls.size();
    if (strcmp(pass, "texts") != 0) return;
    for (size_t i = gTextsFrom; i < gWatched->calls.size(); ++i) {
        const RecordedCall& call = gWatched->calls[i];
        if (call.name == "createVertexInputBufferInRenderer" && call.integers.at(1) == 8)
            gTextVertexCounts.push_back(call.integers.at(0));
        if (call.name == "updateVertexInputBufferInRenderer" && call.integers.at(2) == 8)
            gTextVertexCounts.push_back(call.integers.at(1));
    }
}

TEST_F(RealFrame, AnEntityWhoseNameHasNoTextIsLabelledWithItsName) {
    Entity* crate = findEntity("crate");
    ASSERT_NE(crate, nullptr);
    crate->id = -1; // as for a name the name table does not hold
    gWatched = &real.recorder;
    setRenderPassObserver(collectTexts);

    gTextVertexCounts.clear();
    renderGame(game());
    std::vector<uint64_t> without = gTextVertexCounts;

    crate->monitorIndex = 1; // seen on monitor 1 this frame
    gTextVertexCounts.clear();
    renderGame(game());
    std::vector<uint64_t> with = gTextVertexCounts;

    // One text more: five glyphs of four vertices.
    ASSERT_EQ(with.size(), without.size() + 1);
    std::sort(with.begin(), with.end());
    std::sort(without.begin(), without.end());
    std::vector<uint64_t> added;
    std::set_difference(with.begin(), with.end(), without.begin(), without.end(), std::back_inserter(added));
    EXPECT_EQ(added, std::vector<uint64_t>{4 * strlen("crate")});
}

} // namespace
