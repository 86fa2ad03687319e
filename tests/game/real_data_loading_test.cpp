// Loading the game from a copy of the native build's data folder, watched through a
// recording backend: the order in which the world is built, shared and repeating
// textures, entity colours, the monitors' first cameras, and the files whose absence
// or damage must end the load with false (and never crash).
#include "engine/program/program_state.h"
#include "backend/vertex_formats.h"
#include "engine/assets/gltf_mesh.h"
#include "engine/platform/files.h"
#include "engine/text/font_atlas.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/scene_files.h"
#include "tests/support/recording_renderer.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

ByteTable& putString(ByteTable& table, const char* text) {
    uint64_t length = strlen(text);
    return table.u32(static_cast<uint32_t>(length)).u32(static_cast<uint32_t>(length >> 32)).text(text);
}

ByteTable& putVec3(ByteTable& table, Vec3 v) { return table.f32(v.x).f32(v.y).f32(v.z); }

// An entities file holding the first cameraCount cameras of list and its entities.
ByteTable entitiesFile(const EntityList& list, uint32_t cameraCount) {
    ByteTable table;
    table.u32(cameraCount).u32(list.entityCount);
    for (uint32_t i = 0; i < cameraCount; ++i) {
        const CameraRecord& camera = list.cameras[i];
        putString(table, camera.name);
        putVec3(putVec3(table, camera.position), camera.direction).f32(camera.fieldOfView);
    }
    for (uint32_t i = 0; i < list.entityCount; ++i) {
        const EntityRecord& e = list.entities[i];
        putString(putString(putString(table, e.name), e.modelPath), e.partName);
        putVec3(putVec3(putVec3(putVec3(table, e.positionA), e.scaleA), e.color), e.rotationA);
        putVec3(putVec3(putVec3(table, e.positionB), e.scaleB), e.rotationB).u32(e.pickable ? 1 : 0);
    }
    return table;
}

// A string of a parsed data file replaced (they are new[] blocks, released with delete[]).
void replaceText(char** field, const char* text) {
    delete[] *field;
    *field = new char[strlen(text) + 1];
    memcpy(*field, text, strlen(text) + 1);
}

std::vector<unsigned char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The damage cases below reach the helpers through a pointer to the fixture.
class Loading : public ::testing::Test {
public:
    void SetUp() override {
        setenv("LANG", "en_GB.UTF-8", 1);
        installRecordingRenderer(&recorder);
        recorder.shaderExtension = ".glsl";
        gRendererState.width = 1280;
        gRendererState.height = 720;
        gRendererState.currentShader = nullptr;
        resetWindowParameters();
        freshCopy();
    }

    void TearDown() override {
        release();
        removeRecordingRenderer();
        leaveTestDirectory(directory);
    }

    // A new scratch directory (the module directory) holding a copy of the data folder.
    void freshCopy() {
        release();
        leaveTestDirectory(directory);
        directory = enterTestDirectory("loading");
        ASSERT_FALSE(directory.empty());
        std::error_code error;
        fs::copy(std::string(QUARLO_BINARY_DIR) + "/data", directory + "/data", fs::copy_options::recursive, error);
        ASSERT_FALSE(error) << error.message();
    }

    void release() {
        if (game) destroyGameState(game);
        game = nullptr;
    }

    // Constructs and loads the game over the folder as it is now.
    bool load() {
        release();
        game = constructGame(allocateGameState());
        EXPECT_NE(game, nullptr);
        if (!game) return false;
        loadStart = recorder.calls.size();
        return loadGame(game, 0, nullptr);
    }

    std::string at(const std::string& relative) const { return directory + "/" + relative; }

    void removeFile(const std::string& relative) { ASSERT_TRUE(fs::remove(at(relative))) << relative; }

    void writeFile(const std::string& relative, const std::vector<unsigned char>& bytes) {
        ASSERT_TRUE(writeTestFile(directory, relative.c_str(), bytes.data(), bytes.size())) << relative;
    }

    // Keeps the first half of a file.
    void cutInHalf(const std::string& relative) {
        std::vector<unsigned char> bytes = fileBytes(at(relative));
        ASSERT_GT(bytes.size(), 2u) << relative;
        bytes.resize(bytes.size() / 2);
        writeFile(relative, bytes);
    }

    TextureList textureList(const std::string& relative) {
        TextureList list = {};
        char reason[256];
        EXPECT_TRUE(readTextureList(at(relative).c_str(), &list, reason)) << reason;
        return list;
    }

    // The data's entities file, with the given changes, written back.
    template <typename Change>
    void rewriteEntities(Change change, int32_t cameraCount = -1) {
        EntityList list = {};
        char reason[256];
        ASSERT_TRUE(readEntityList(at("data/meshes/entities").c_str(), &list, reason)) << reason;
        change(&list);
        ByteTable table = entitiesFile(list, cameraCount < 0 ? list.cameraCount : static_cast<uint32_t>(cameraCount));
        releaseEntityList(&list);
        writeFile("data/meshes/entities", table.bytes);
    }

    // The path the game loaded a texture id from, empty when it has none.
    std::string texturePath(uint64_t id) const {
        for (uint32_t i = 0; i < game->textures.count; ++i)
            if (static_cast<uint64_t>(game->textures.entries[i].texture->id) == id) return game->textures.entries[i].path;
        return std::string();
    }

    // What a vertex buffer id was created for.
    std::string meshOwner(uint64_t id) const {
        if (id == game->cameraGpu.vertexInput) return "camera model";
        if (id == game->unitQuadGpu.vertexInput) return "unit quad";
        for (uint32_t i = 0; i < game->levelMeshCount; ++i)
            if (id == game->levelMeshes[i].gpu.vertexInput) return "level " + std::to_string(i);
        for (uint32_t i = 0; i < game->interactableCount; ++i)
            for (uint32_t k = 0; k < game->interactables[i].subMeshCount; ++k)
                if (id == game->interactables[i].subMeshes[k].gpu.vertexInput)
                    return std::string(game->interactables[i].name) + " " + std::to_string(k);
        for (uint32_t i = 0; i < game->entityCount; ++i)
            if (id == game->entities[i].gpu.vertexInput) return "entity " + std::to_string(i);
        return "?";
    }

    // The calls of the load that create something, named for what they create.
    std::vector<std::string> loadEvents() const {
        std::vector<std::string> events;
        for (size_t i = loadStart; i < recorder.calls.size(); ++i) {
            const RecordedCall& call = recorder.calls[i];
            const void* programs = &game->shaders;
            const bool gameProgram =
                call.shader && static_cast<const void*>(call.shader) >= programs &&
                static_cast<const void*>(call.shader) < static_cast<const void*>(&game->shaders + 1);
            if (call.name == "loadShaderFromSourceInRenderer" && gameProgram)
                events.push_back("program " + programOf(call.text));
            else if (call.name == "createVertexInputBufferInRenderer")
                events.push_back("mesh " + meshOwner(call.result));
            else if (call.name == "uploadTextureInRenderer")
                events.push_back("texture " + texturePath(call.result));
        }
        return events;
    }

    // The shader file whose text a program was given.
    std::string programOf(const std::string& source) const {
        for (const char* name : kProgramFiles) {
            char* text = readTextFile((std::string("data/shaders/") + name + ".glsl").c_str());
            bool same = text && source == text;
            delete[] text;
            if (same) return name;
        }
        return "?";
    }

    static constexpr const char* kProgramFiles[] = {
        "basic-fixed",
        "basic-directional-light",
        "text",
        "color",
        "shadowmap",
        "PostProcess/finalBlur",
        "PostProcess/horizontalBlur",
        "PostProcess/verticalBlur",
        "PostProcess/bloomComposite",
        "PostProcess/onlyBright",
        "PostProcess/toneMapping",
        "PostProcess/copy",
    };

    RecordingRenderer recorder;
    std::string directory;
    GameState* game = nullptr;
    size_t loadStart = 0;
};

TEST_F(Loading, TheWorldIsBuiltInTheDesignedOrder) {
    ASSERT_TRUE(load()) << game->loadFailure;

    // Programs, the camera model, each level texture before its mesh, each object's
    // meshes with their textures, white and black, the quad, the entities.
    std::vector<std::string> expected = {
        "program basic-fixed",
        "program basic-directional-light",
        "program text",
        "program color",
        "program shadowmap",
        "program PostProcess/finalBlur",
        "program PostProcess/horizontalBlur",
        "program PostProcess/verticalBlur",
        "program PostProcess/bloomComposite",
        "program PostProcess/onlyBright",
        "program PostProcess/toneMapping",
        "program PostProcess/copy",
        "mesh camera model",
    };
    std::set<std::string> loaded;
    auto texture = [&](const std::string& path) {
        if (loaded.insert(path).second) expected.push_back("texture " + path);
    };
    TextureList level = textureList("data/meshes/textures");
    for (uint32_t i = 0; i < level.count; ++i) {
        texture(level.paths[i]);
        expected.push_back("mesh level " + std::to_string(i));
    }
    releaseTextureList(&level);
    InteractableList objects = {};
    char reason[256];
    ASSERT_TRUE(readInteractableList(at("data/meshes/interactibleNames").c_str(), &objects, reason)) << reason;
    for (uint32_t i = 0; i < objects.count; ++i) {
        TextureList list = textureList(std::string("data/meshes/") + objects.records[i].name + "_textures");
        for (uint32_t k = 0; k < list.count; ++k) {
            expected.push_back(std::string("mesh ") + objects.records[i].name + " " + std::to_string(k));
            texture(list.paths[k]);
        }
        releaseTextureList(&list);
    }
    releaseInteractableList(&objects);
    texture("data/textures/white.png");
    texture("data/blackpixel.bmp");
    expected.push_back("mesh unit quad");
    for (uint32_t i = 0; i < game->entityCount; ++i) expected.push_back("mesh entity " + std::to_string(i));
    EXPECT_EQ(loadEvents(), expected);

    // Each program's input: vertex format, uniforms with their component counts, and
    // colour-only output for the post-processing ones.
    struct Declared {
        const ShaderRecord* record;
        uint64_t format;
        std::string uniforms;
        std::vector<uint64_t> components;
        bool post;
    };
    const std::vector<uint64_t> post = {16, 16, 2};
    const std::string postNames = "mvMat\nprojMat\nscreenSize\n";
    ShaderPrograms* s = &game->shaders;
    const Declared programs[] = {
        {&s->basicFixed, 0, "mvMat\nprojMat\n", {16, 16}, false},
        {&s->basicDirectionalLight, 0,
         "mvMat\nprojMat\nmodelMat\ninverseModelMat\nlightDirection\nhighlight\nspotPosition\nlightMultiplier\nshade\n",
         {16, 16, 16, 9, 3, 1, 3, 3, 1}, false},
        {&s->text, 8, "pos\nscale\n", {3, 3}, false},
        {&s->color, 0, "mvMat\nprojMat\ncolor\n", {16, 16, 4}, false},
        {&s->shadowmap, 0, "mvMat\nprojMat\n", {16, 16}, false},
        {&s->finalBlur, 3, postNames, post, true},
        {&s->horizontalBlur, 3, postNames, post, true},
        {&s->verticalBlur, 3, postNames, post, true},
        {&s->bloomComposite, 3, "mvMat\nprojMat\n", {16, 16}, true},
        {&s->onlyBright, 3, postNames, post, true},
        {&s->toneMapping, 3, postNames, post, true},
        {&s->copy, 3, "mvMat\nprojMat\n", {16, 16}, true},
    };
    for (const Declared& program : programs) {
        const RecordedCall *input = nullptr, *output = nullptr;
        size_t compiles = 0;
        for (size_t i = loadStart; i < recorder.calls.size(); ++i) {
            const RecordedCall& call = recorder.calls[i];
            if (call.shader != program.record) continue;
            if (call.name == "setShaderInputInRenderer") input = &call;
            if (call.name == "setShaderOutputInRenderer") output = &call;
            if (call.name == "compileShaderInRenderer") ++compiles;
        }
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->integers.at(0), program.format) << program.uniforms;
        EXPECT_EQ(input->text, program.uniforms);
        EXPECT_EQ(std::vector<uint64_t>(input->integers.begin() + 2, input->integers.end()), program.components)
            << program.uniforms;
        EXPECT_EQ(output != nullptr, program.post) << program.uniforms;
        if (output) {
            EXPECT_EQ(output->integers, std::vector<uint64_t>{1});
        }
        EXPECT_EQ(compiles, 1u);
    }
}

TEST_F(Loading, PlayStartsOnTheFirstCamerasWithTheKeypadCode) {
    ASSERT_TRUE(load()) << game->loadFailure;
    // The client size, the GUI on the game's text and colour programs, the menu button.
    EXPECT_EQ(game->clientWidth, 1280u);
    EXPECT_EQ(game->clientHeight, 720u);
    EXPECT_EQ(game->gui.textShader, &game->shaders.text);
    EXPECT_EQ(game->gui.colorShader, &game->shaders.color);
    EXPECT_EQ(game->menuButton.x, 540.0f);
    EXPECT_EQ(game->menuButton.y, 300.0f);
    EXPECT_EQ(game->menuButton.width, 200.0f);
    EXPECT_EQ(game->menuButton.height, 120.0f);
    EXPECT_EQ(game->menuButton.padding, 10.0f);
    EXPECT_EQ(game->menuButton.alignment, 4);
    EXPECT_EQ(game->menuButton.font, &game->largeFont);
    ASSERT_GE(game->cameraCount, 4u);
    for (uint32_t i = 0; i < MONITOR_COUNT; ++i) {
        EXPECT_EQ(game->monitors[i].camera, i);
        ASSERT_EQ(game->monitors[i].reachableCount, 1u);
        EXPECT_EQ(game->monitors[i].reachable[0], i);
    }
    EXPECT_EQ(memcmp(game->keypadCode, "3859", 4), 0);
    EXPECT_EQ(game->typedCount, 0u);
    EXPECT_EQ(game->playTime, 0.0f);
    EXPECT_EQ(game->heldItem, nullptr);
    EXPECT_EQ(game->worldCount, game->entityCount);

    // With two cameras, the monitors beyond them show camera 0.
    rewriteEntities([](EntityList*) {}, 2);
    ASSERT_TRUE(load()) << game->loadFailure;
    ASSERT_EQ(game->cameraCount, 2u);
    const uint32_t cameras[MONITOR_COUNT] = {0, 1, 0, 0};
    for (uint32_t i = 0; i < MONITOR_COUNT; ++i) EXPECT_EQ(game->monitors[i].camera, cameras[i]) << i;
}

TEST_F(Loading, ATexturePathIsUploadedOnceAndOnlyLevelTexturesRepeat) {
    ASSERT_TRUE(load()) << game->loadFailure;
    TextureList level = textureList("data/meshes/textures");
    std::set<std::string> levelPaths(level.paths, level.paths + level.count);
    ASSERT_LT(levelPaths.size(), level.count) << "the data has no level meshes sharing a texture";
    ASSERT_EQ(game->levelMeshCount, level.count);
    for (uint32_t i = 0; i < level.count; ++i)
        for (uint32_t j = 0; j < i; ++j)
            if (strcmp(level.paths[i], level.paths[j]) == 0) {
                EXPECT_EQ(game->levelMeshes[i].texture, game->levelMeshes[j].texture) << level.paths[i];
            }
    releaseTextureList(&level);

    // Every path the game loads, each once.
    std::set<std::string> allPaths = levelPaths;
    std::set<std::string> objectOnly;
    for (uint32_t i = 0; i < game->interactableCount; ++i) {
        TextureList list = textureList(std::string("data/meshes/") + game->interactables[i].name + "_textures");
        for (uint32_t k = 0; k < list.count; ++k) {
            allPaths.insert(list.paths[k]);
            if (!levelPaths.count(list.paths[k])) objectOnly.insert(list.paths[k]);
        }
        releaseTextureList(&list);
    }
    ASSERT_FALSE(objectOnly.empty()) << "the data has no texture that only an interactable uses";
    allPaths.insert("data/textures/white.png");
    allPaths.insert("data/blackpixel.bmp");
    std::multiset<std::string> uploaded;
    for (size_t i = loadStart; i < recorder.calls.size(); ++i)
        if (recorder.calls[i].name == "uploadTextureInRenderer") uploaded.insert(texturePath(recorder.calls[i].result));
    EXPECT_EQ(uploaded, std::multiset<std::string>(allPaths.begin(), allPaths.end()));

    // Wrap mode 1 for each level texture, once; for nothing else.
    std::multiset<std::string> repeated;
    for (size_t i = loadStart; i < recorder.calls.size(); ++i) {
        const RecordedCall& call = recorder.calls[i];
        if (call.name != "setTextureWrapModeInRenderer") continue;
        EXPECT_EQ(call.integers.at(1), 1u);
        repeated.insert(texturePath(call.integers.at(0)));
    }
    EXPECT_EQ(repeated, std::multiset<std::string>(levelPaths.begin(), levelPaths.end()));
}

TEST_F(Loading, AnEntityColourReplacesTheVertexColoursUnlessItIsMinusOne) {
    ASSERT_TRUE(load()) << game->loadFailure;
    EntityList list = {};
    char reason[256];
    ASSERT_TRUE(readEntityList(at("data/meshes/entities").c_str(), &list, reason)) << reason;
    ASSERT_EQ(list.entityCount, game->entityCount);
    bool sawColoured = false, sawOwn = false;
    for (uint32_t i = 0; i < list.entityCount; ++i) {
        const EntityRecord& record = list.entities[i];
        const bool own = record.color.x == -1.0f && record.color.y == -1.0f && record.color.z == -1.0f;
        Mesh file = {};
        ASSERT_TRUE(loadGlb(&file, at(record.modelPath).c_str(), record.partName[0] ? record.partName : nullptr));
        const RecordedCall* upload = nullptr;
        for (size_t c = loadStart; c < recorder.calls.size(); ++c)
            if (recorder.calls[c].name == "createVertexInputBufferInRenderer" &&
                recorder.calls[c].result == game->entities[i].gpu.vertexInput)
                upload = &recorder.calls[c];
        ASSERT_NE(upload, nullptr) << record.name;
        const int32_t format = file.vertexFormat;
        const int32_t stride = vertexFormatSlots(format), colour = vertexAttributeOffset(format, VERTEX_ATTRIBUTE_COLOR);
        ASSERT_GE(colour, 0);
        const uint32_t vertices = meshVertexCount(&file);
        ASSERT_EQ(upload->values.size(), static_cast<size_t>(vertices) * stride) << record.name;
        bool fileHasOtherColours = false;
        for (uint32_t v = 0; v < vertices; ++v) {
            const float* sent = upload->values.data() + static_cast<size_t>(v) * stride + colour;
            const float* stored = file.vertices + static_cast<size_t>(v) * stride + colour;
            const float want[3] = {own ? stored[0] : record.color.x, own ? stored[1] : record.color.y,
                                   own ? stored[2] : record.color.z};
            for (int k = 0; k < 3; ++k) EXPECT_EQ(sent[k], want[k]) << record.name << " vertex " << v;
            if (stored[0] != record.color.x || stored[1] != record.color.y || stored[2] != record.color.z)
                fileHasOtherColours = true;
        }
        if (own) sawOwn = true;
        if (!own && fileHasOtherColours) sawColoured = true;
        releaseMesh(&file);
    }
    releaseEntityList(&list);
    EXPECT_TRUE(sawOwn) << "no entity keeps its model's colours";
    EXPECT_TRUE(sawColoured) << "no entity colour differs from its model's";
}

TEST_F(Loading, MissingOrDamagedFilesEndTheLoadWithFalse) {
    struct Case {
        const char* what;
        std::function<void(Loading*)> damage;
        const char* reason; // a part of loadFailure
    };
    const Case cases[] = {
        {"missing title and default fonts",
         [](Loading* t) {
             t->removeFile("data/PatuaOne-Regular.ttf");
             t->removeFile(DEFAULT_FONT_PATH);
         },
         "PatuaOne-Regular.ttf"},
        {"missing language file", [](Loading* t) { t->removeFile("data/en"); }, "data/en"},
        {"cut language file",
         [](Loading* t) {
             std::vector<unsigned char> bytes = fileBytes(t->at("data/en"));
             bytes.resize(11);
             t->writeFile("data/en", bytes);
         },
         "data/en"},
        {"language file with a character set beyond its end",
         [](Loading* t) {
             std::vector<unsigned char> bytes = fileBytes(t->at("data/en"));
             bytes[0] = bytes[1] = bytes[2] = 0xFF, bytes[3] = 0x7F;
             t->writeFile("data/en", bytes);
         },
         "data/en"},
        {"missing shader", [](Loading* t) { t->removeFile("data/shaders/PostProcess/onlyBright.glsl"); },
         "onlyBright.glsl"},
        {"missing texture list of an object", [](Loading* t) { t->removeFile("data/meshes/cabinet_textures"); },
         "cabinet_textures"},
        {"missing entity model",
         [](Loading* t) {
             t->rewriteEntities([](EntityList* list) {
                 replaceText(&list->entities[0].modelPath, "data/meshes/objects/Missing.glb");
             });
         },
         "Missing.glb"},
        {"missing part of an entity model",
         [](Loading* t) {
             t->rewriteEntities([](EntityList* list) {
                 replaceText(&list->entities[0].partName, "NoSuchPart");
             });
         },
         "NoSuchPart"},
        {"no security camera", [](Loading* t) { t->rewriteEntities([](EntityList*) {}, 0); }, "no security camera"},
        {"truncated level texture",
         [](Loading* t) {
             TextureList level = t->textureList("data/meshes/textures");
             std::string png;
             for (uint32_t i = 0; i < level.count && png.empty(); ++i)
                 if (strstr(level.paths[i], ".png")) png = level.paths[i];
             releaseTextureList(&level);
             ASSERT_FALSE(png.empty());
             t->cutInHalf(png);
         },
         ".png"},
        {"truncated white texture", [](Loading* t) { t->cutInHalf("data/textures/white.png"); }, "white.png"},
        {"level texture that is not an image",
         [](Loading* t) {
             TextureList level = t->textureList("data/meshes/textures");
             std::string bmp;
             for (uint32_t i = 0; i < level.count && bmp.empty(); ++i)
                 if (strstr(level.paths[i], ".bmp")) bmp = level.paths[i];
             releaseTextureList(&level);
             ASSERT_FALSE(bmp.empty());
             t->writeFile(bmp, std::vector<unsigned char>(64, 'x'));
         },
         ".bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        freshCopy();
        c.damage(this);
        if (HasFatalFailure()) return;
        EXPECT_FALSE(load());
        ASSERT_NE(game, nullptr);
        EXPECT_NE(strstr(game->loadFailure, c.reason), nullptr) << game->loadFailure;
        release();
    }
}

TEST_F(Loading, WithoutTheTitleFontTheTextsUseTheDefaultFont) {
    removeFile("data/PatuaOne-Regular.ttf");
    ASSERT_TRUE(load()) << game->loadFailure;
    EXPECT_NE(game->largeFont.face, nullptr);
    EXPECT_NE(game->smallFont.face, nullptr);
}

TEST_F(Loading, ARefusedLanguageFileLeavesNoTextsBehind) {
    std::vector<unsigned char> bytes = fileBytes(at("data/en"));
    ASSERT_GT(bytes.size(), 12u);
    bytes[8] = bytes[9] = bytes[10] = 0xF0, bytes[11] = 0x7F; // string table far past the end
    writeFile("data/en", bytes);
    EXPECT_FALSE(load());
    EXPECT_FALSE(game->languageLoaded);
    EXPECT_EQ(game->language.data, nullptr);
    EXPECT_EQ(languageText(&game->language, 0), nullptr);
    EXPECT_NE(game->language.failure[0], 0);
    // Nothing of the world was asked of the backend.
    for (size_t i = loadStart; i < recorder.calls.size(); ++i)
        EXPECT_NE(recorder.calls[i].name, "loadShaderFromSourceInRenderer");
}

} // namespace
