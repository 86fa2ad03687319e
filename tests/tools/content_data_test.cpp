// The data folder the builder wrote (build/native/data), checked with the engine's
// own readers: every file the game opens exists and loads, lists match their files,
// every model part named by an entity exists, every text the game shows is there in
// both languages with its characters in the file's set, faces are wound the way their
// normals point, and the shader sources follow the backends' conventions.
#include "engine/assets/asset_refusal.h"
#include "engine/assets/gltf_mesh.h"
#include "engine/assets/image_readers.h"
#include "engine/assets/mesh.h"
#include "engine/platform/files.h"
#include "engine/platform/module_directory.h"
#include "engine/text/language_file.h"
#include "engine/text/name_ids.h"
#include "game/feedback.h"
#include "game/shader_programs.h"
#include "tools/content/content.h"
#include "tools/content/puzzle/puzzle_world.h"
#include "tools/content/bc_encoder.h"
#include "tools/content/text_raster.h"
#include "tools/content/textures.h"
#include "tools/content/texts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#ifndef QUARLO_DATA_ROOT
#error "QUARLO_DATA_ROOT names the folder that holds data/"
#endif

namespace {

struct Bytes {
    char* data = nullptr;
    uint32_t size = 0;
    explicit Bytes(const char* path) { data = readFileSized(path, &size); }
    ~Bytes() { delete[] data; }
    bool ok() const { return data != nullptr; }
};

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override { setModuleDirectory(QUARLO_DATA_ROOT); }
};

// Parses a texture list; false on a malformed one.
bool readTextureList(const char* path, std::vector<std::string>* paths) {
    Bytes b(path);
    if (!b.ok() || b.size < 4) return false;
    const uint8_t* p = (const uint8_t*)b.data;
    uint32_t count;
    memcpy(&count, p, 4);
    uint64_t at = 4;
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t length;
        if (b.size - at < 8) return false;
        memcpy(&length, p + at, 8);
        at += 8;
        if (length > b.size - at) return false;
        paths->push_back(std::string((const char*)p + at, (size_t)length));
        at += length;
    }
    return at == b.size;
}

bool fileExists(const char* path) {
    enterModuleDirectory();
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    fclose(f);
    return true;
}

// Winding against stored normals, over a format-0 mesh.
int windingDisagreements(const Mesh* mesh) {
    int bad = 0;
    for (uint32_t t = 0; t + 2 < mesh->indexCount; t += 3) {
        const float* v[3];
        for (int k = 0; k < 3; ++k) v[k] = mesh->vertices + (size_t)mesh->indices[t + k] * 11;
        Vec3 a = vec3(v[0][0], v[0][1], v[0][2]), b = vec3(v[1][0], v[1][1], v[1][2]), c = vec3(v[2][0], v[2][1], v[2][2]);
        Vec3 face = cross3(sub3(b, a), sub3(c, a));
        if (length3(face) < 1e-10f) continue;
        Vec3 n = vec3(v[0][8] + v[1][8] + v[2][8], v[0][9] + v[1][9] + v[2][9], v[0][10] + v[1][10] + v[2][10]);
        if (dot3(face, n) <= 0) ++bad;
    }
    return bad;
}

void expectSoundFormat0Mesh(const Mesh* mesh, const char* what) {
    ASSERT_EQ(mesh->vertexSlotCount % 11, 0u) << what;
    EXPECT_GT(mesh->indexCount, 0u) << what;
    EXPECT_EQ(mesh->indexCount % 3, 0u) << what;
    uint32_t vertices = mesh->vertexSlotCount / 11;
    for (uint32_t i = 0; i < mesh->indexCount; ++i) ASSERT_LT(mesh->indices[i], vertices) << what;
    for (uint32_t v = 0; v < vertices; ++v) {
        const float* f = mesh->vertices + (size_t)v * 11;
        float n = sqrtf(f[8] * f[8] + f[9] * f[9] + f[10] * f[10]);
        ASSERT_NEAR(n, 1.0f, 1e-3f) << what << " vertex " << v << " has no unit normal";
        for (int k = 0; k < 11; ++k) ASSERT_TRUE(isfinite(f[k])) << what;
        for (int k = 5; k < 8; ++k) ASSERT_GE(f[k], 0.0f) << what << " colour";
    }
    EXPECT_EQ(windingDisagreements(mesh), 0) << what << " has faces wound against their normals";
}

TEST_F(DataFolder, LevelMeshesLoadAndMatchTheirTextureList) {
    std::vector<std::string> textures;
    ASSERT_TRUE(readTextureList("data/meshes/textures", &textures));
    ASSERT_GT(textures.size(), 10u);
    for (size_t i = 0; i < textures.size(); ++i) {
        char path[64];
        snprintf(path, sizeof(path), "data/meshes/%u.dmesh", (unsigned)i);
        Mesh mesh = {};
        ASSERT_TRUE(loadMesh(&mesh, path)) << assetRefusal();
        expectSoundFormat0Mesh(&mesh, path);
        releaseMesh(&mesh);
        EXPECT_TRUE(fileExists(textures[i].c_str())) << textures[i];
    }
    char beyond[64];
    snprintf(beyond, sizeof(beyond), "data/meshes/%u.dmesh", (unsigned)textures.size());
    EXPECT_FALSE(fileExists(beyond)) << "a level mesh without a texture entry";
}

TEST_F(DataFolder, InteractablesHaveTheirPartsAndTextures) {
    Bytes b("data/meshes/interactibleNames");
    ASSERT_TRUE(b.ok());
    const uint8_t* p = (const uint8_t*)b.data;
    uint32_t count;
    memcpy(&count, p, 4);
    uint64_t at = 4;
    std::set<std::string> names;
    uint32_t required = 0;
    for (uint32_t i = 0; i < count; ++i) {
        std::string fields[2];
        for (int f = 0; f < 2; ++f) {
            uint64_t length;
            ASSERT_GE(b.size - at, 8u);
            memcpy(&length, p + at, 8);
            at += 8;
            ASSERT_LE(length, b.size - at);
            fields[f] = std::string((const char*)p + at, (size_t)length);
            at += length;
        }
        ASSERT_GE(b.size - at, 16u);
        uint32_t flag;
        memcpy(&flag, p + at, 4);
        float offset[3];
        memcpy(offset, p + at + 4, 12);
        at += 16;
        required += flag != 0;
        EXPECT_TRUE(names.insert(fields[0]).second) << "two objects named " << fields[0];
        EXPECT_GT(fabsf(offset[0]) + fabsf(offset[1]) + fabsf(offset[2]), 0.3f) << fields[0] << " barely moves";
        std::vector<std::string> textures;
        std::string list = "data/meshes/" + fields[0] + "_textures";
        ASSERT_TRUE(readTextureList(list.c_str(), &textures)) << list;
        ASSERT_FALSE(textures.empty()) << list;
        for (size_t k = 0; k <= textures.size(); ++k) {
            std::string mesh = "data/meshes/" + fields[0] + std::to_string(k) + ".dmesh";
            if (k == textures.size()) {
                EXPECT_FALSE(fileExists(mesh.c_str())) << mesh << " has no texture entry";
                break;
            }
            Mesh m = {};
            ASSERT_TRUE(loadMesh(&m, mesh.c_str())) << assetRefusal();
            expectSoundFormat0Mesh(&m, mesh.c_str());
            releaseMesh(&m);
            EXPECT_TRUE(fileExists(textures[k].c_str())) << textures[k];
        }
        // Labels: every object has a name-table key, so no raw name shows.
        EXPECT_GE(lookupNameId(fields[0].c_str()), 0) << fields[0] << " has no text";
    }
    EXPECT_EQ(at, b.size);
    for (const char* door : {"redDoor", "vestiaireDoor", "warehouseDoor", "deskDoor", "corridorDoor", "exitDoor"})
        EXPECT_TRUE(names.count(door)) << door;
    EXPECT_GE(required, 1u);
}

// The entities file read as the game reads it (the puzzle world's loader), each model
// loaded with loadGlb and the entity's part name.
TEST_F(DataFolder, EntityModelsAndTheirPartsLoad) {
    static PuzzleWorld world;
    ASSERT_TRUE(loadPuzzleWorld(&world, QUARLO_DATA_ROOT)) << world.failure;
    expectSoundFormat0Mesh(&world.cameraModel, "Cam.glb");
    std::set<std::string> pickable;
    bool filtered = false, coloured = false;
    for (const PuzzleEntity& e : world.entities) {
        expectSoundFormat0Mesh(&e.mesh, e.name);
        EXPECT_GE(e.id, 0) << e.name << " has no text";
        if (e.pickable) pickable.insert(e.name);
        filtered = filtered || e.partName[0];
        coloured = coloured || e.colour.x >= 0;
        if (e.pickable) {
            // The inventory preview shows the item whole: from (0, 2.3, 2) towards
            // (0, 0, 1.1) with 45 degrees, about 1 unit either side of the centre.
            Vec3 size = mul3(sub3(e.bounds.hi, e.bounds.lo), e.previewScale);
            EXPECT_LT(fmaxf(size.x, fmaxf(size.y, size.z)), 1.6f) << e.name << " overflows its preview";
            EXPECT_GT(fmaxf(size.x, fmaxf(size.y, size.z)), 0.6f) << e.name << " is tiny in its preview";
        }
    }
    EXPECT_TRUE(filtered) << "no entity takes a single part of a model";
    EXPECT_TRUE(coloured) << "no entity paints its model";
    for (const char* item : {"redKey", "crowbar", "accessCard", "paperNote"}) EXPECT_TRUE(pickable.count(item)) << item;
    EXPECT_GE(world.cameras.size(), 6u);
    for (const PuzzleCamera& c : world.cameras) {
        EXPECT_NEAR(length3(c.direction), 1.0f, 1e-4f) << c.name;
        EXPECT_GT(c.fovDegrees, 20.0f);
        EXPECT_LT(c.fovDegrees, 90.0f);
    }
    releasePuzzleWorld(&world);
}

TEST_F(DataFolder, TexturesAreInTheFormatsTheGameReads) {
    // PNG, BMP (24-bit) and DDS (BC1 or BC3) by their headers; powers of two.
    static PuzzleWorld world;
    ASSERT_TRUE(loadPuzzleWorld(&world, QUARLO_DATA_ROOT)) << world.failure;
    std::vector<std::string> all;
    readTextureList("data/meshes/textures", &all);
    for (const PuzzleInteractable& it : world.interactables)
        readTextureList(("data/meshes/" + std::string(it.name) + "_textures").c_str(), &all);
    releasePuzzleWorld(&world);
    all.push_back("data/textures/white.png");
    all.push_back("data/blackpixel.bmp");
    std::set<std::string> seen;
    int png = 0, bmp = 0, dds = 0;
    for (const std::string& path : all) {
        if (!seen.insert(path).second) continue;
        Bytes b(path.c_str());
        ASSERT_TRUE(b.ok()) << path;
        ASSERT_GE(b.size, 58u) << path;
        const uint8_t* p = (const uint8_t*)b.data;
        uint32_t w = 0, h = 0;
        if (path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0) {
            ASSERT_EQ(memcmp(p, "\x89PNG\r\n\x1a\n", 8), 0) << path;
            w = (uint32_t)p[16] << 24 | p[17] << 16 | p[18] << 8 | p[19];
            h = (uint32_t)p[20] << 24 | p[21] << 16 | p[22] << 8 | p[23];
            EXPECT_EQ(p[24], 8) << path << " bit depth";
            EXPECT_TRUE(p[25] == 2 || p[25] == 6) << path << " colour type";
            ++png;
        } else if (path.compare(path.size() - 4, 4, ".bmp") == 0) {
            ASSERT_EQ(p[0], 'B');
            memcpy(&w, p + 18, 4);
            memcpy(&h, p + 22, 4);
            EXPECT_EQ(p[28], 24) << path;
            uint32_t dataSize;
            memcpy(&dataSize, p + 34, 4);
            EXPECT_EQ(dataSize, b.size - 54) << path;
            ++bmp;
        } else if (path.compare(path.size() - 4, 4, ".dds") == 0) {
            ASSERT_EQ(memcmp(p, "DDS ", 4), 0);
            memcpy(&h, p + 12, 4);
            memcpy(&w, p + 16, 4);
            EXPECT_TRUE(memcmp(p + 84, "DXT1", 4) == 0 || memcmp(p + 84, "DXT5", 4) == 0) << path;
            ++dds;
        } else {
            ADD_FAILURE() << path << " has no extension the game reads";
        }
        EXPECT_TRUE(w && (w & (w - 1)) == 0 && h && (h & (h - 1)) == 0) << path << " is " << w << " x " << h;
    }
    EXPECT_GT(png, 0);
    EXPECT_GT(bmp, 0);
    EXPECT_GT(dds, 0);
}

// Every texture of the table through the engine's readers (what loadTexture hands the
// backend): the format and size it reports, and pixels that are the generator's picture
// bottom-up (exactly for PNG and BMP, within block compression error for DDS).
TEST_F(DataFolder, TexturesReadBackThroughTheEngineAsGenerated) {
    ASSERT_TRUE(initTextRaster());
    uint32_t count;
    const TextureSpec* table = textureTable(&count);
    for (uint32_t i = 0; i < count; ++i) {
        const TextureSpec* spec = &table[i];
        Image image = makeImage(spec->width, spec->height);
        spec->generate(&image);
        TextureDescription description = {};
        uint16_t levels = 0;
        uint64_t size = 0;
        unsigned char* pixels = readTextureImage(spec->path, &description, &levels, &size);
        ASSERT_NE(pixels, nullptr) << spec->path << ": " << assetRefusal();
        EXPECT_EQ(description.width, spec->width) << spec->path;
        EXPECT_EQ(description.height, spec->height) << spec->path;
        uint32_t w = spec->width, h = spec->height;
        int worst = 0;
        switch (spec->format) {
        case TEXTURE_PNG_RGB:
        case TEXTURE_PNG_RGBA:
        case TEXTURE_BMP: {
            bool bmp = spec->format == TEXTURE_BMP, alpha = spec->format == TEXTURE_PNG_RGBA;
            EXPECT_EQ(description.pixelFormat, bmp ? PIXEL_FORMAT_BGR8 : alpha ? PIXEL_FORMAT_RGBA8 : PIXEL_FORMAT_RGB8);
            uint32_t channels = alpha ? 4 : 3, row = bmp ? (w * 3 + 3) / 4 * 4 : w * channels;
            ASSERT_EQ(size, (uint64_t)row * h) << spec->path;
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x) {
                    const uint8_t* want = imagePixel(&image, x, h - 1 - y);
                    const unsigned char* got = pixels + (size_t)y * row + (size_t)x * channels;
                    for (uint32_t k = 0; k < 3; ++k) {
                        int d = abs((int)got[bmp ? 2 - k : k] - (int)want[k]);
                        worst = d > worst ? d : worst;
                    }
                }
            EXPECT_EQ(worst, 0) << spec->path;
            break;
        }
        case TEXTURE_DDS_BC1:
        case TEXTURE_DDS_BC3: {
            bool bc1 = spec->format == TEXTURE_DDS_BC1;
            EXPECT_EQ(description.pixelFormat, bc1 ? PIXEL_FORMAT_BC1 : PIXEL_FORMAT_BC3);
            uint32_t expectedLevels = 1;
            for (uint32_t s = w > h ? w : h; s > 1; s /= 2) ++expectedLevels;
            EXPECT_EQ(levels, expectedLevels) << spec->path;
            // The reader turns each block and the block rows over; decoding the top
            // level's blocks in order then gives the picture bottom-up.
            uint32_t across = (w + 3) / 4, blockBytes = bc1 ? 8 : 16;
            long total = 0;
            for (uint32_t by = 0; by < (h + 3) / 4; ++by)
                for (uint32_t bx = 0; bx < across; ++bx) {
                    uint8_t decoded[64];
                    const unsigned char* block = pixels + ((size_t)by * across + bx) * blockBytes;
                    if (bc1) decodeBc1Block(block, decoded);
                    else decodeBc3Block(block, decoded);
                    for (int t = 0; t < 16; ++t) {
                        uint32_t x = bx * 4 + t % 4, y = by * 4 + t / 4;
                        const uint8_t* want = imagePixel(&image, x, h - 1 - y);
                        for (int k = 0; k < 3; ++k) total += abs((int)decoded[4 * t + k] - (int)want[k]);
                    }
                }
            double mean = (double)total / (3.0 * w * h);
            EXPECT_LT(mean, 8.0) << spec->path << ": mean error " << mean;
            break;
        }
        }
        releaseImagePixels(pixels);
    }
}

TEST_F(DataFolder, BlackPixelAndWhiteTexture) {
    Bytes black("data/blackpixel.bmp");
    ASSERT_TRUE(black.ok());
    ASSERT_EQ(black.size, 58u);
    const uint8_t* p = (const uint8_t*)black.data;
    EXPECT_EQ(p[18], 1);
    EXPECT_EQ(p[22], 1);
    EXPECT_EQ(p[54] | p[55] | p[56], 0);
    EXPECT_TRUE(fileExists("data/textures/white.png"));
}

std::vector<uint32_t> decodeUtf8(const char* text) {
    std::vector<uint32_t> out;
    for (const unsigned char* p = (const unsigned char*)text; *p;) {
        uint32_t c = *p;
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        c &= extra ? (0x3F >> extra) : 0x7F;
        ++p;
        for (int i = 0; i < extra && *p; ++i, ++p) c = (c << 6) | (*p & 0x3F);
        out.push_back(c);
    }
    return out;
}

TEST_F(DataFolder, EveryTextIsThereInBothLanguagesWithItsCharacters) {
    for (int language = 0; language < CONTENT_LANGUAGE_COUNT; ++language) {
        std::string path = std::string("data/") + languageCode(static_cast<uint32_t>(language));
        Bytes b(path.c_str());
        ASSERT_TRUE(b.ok()) << path;
        LanguageFile file = {};
        ASSERT_TRUE(readLanguageFile(&file, (const uint8_t*)b.data, b.size, path.c_str())) << file.failure;
        std::set<uint32_t> characters;
        for (uint32_t i = 0; i < file.characterCount; ++i) characters.insert(languageCharacter(&file, i));
        for (int id = 0; id < TEXT_COUNT; ++id) {
            const char* text = languageText(&file, id);
            ASSERT_NE(text, nullptr) << path << " has no text " << id;
            EXPECT_STREQ(text, gameText(language, id));
            for (uint32_t c : decodeUtf8(text)) EXPECT_TRUE(characters.count(c)) << path << " lacks U+" << std::hex << c;
            // printf formats: only the counter takes arguments, two unsigned numbers.
            int conversions = 0;
            for (const char* q = text; *q; ++q)
                if (*q == '%') {
                    ASSERT_TRUE(q[1] == '%' || q[1] == 'u') << path << " text " << id << ": " << text;
                    conversions += q[1] == 'u';
                    ++q;
                }
            EXPECT_EQ(conversions, id == TEXT_ID_PROGRESS ? 2 : 0) << path << " text " << id;
        }
        EXPECT_NE(strstr(languageText(&file, TEXT_ID_PAPER_NOTE), "3859"), nullptr) << "the note gives the code";
        releaseLanguageFile(&file);
    }
    // French texts use their accents.
    EXPECT_NE(strstr(gameText(1, 5), "\xc3\xa9"), nullptr);
}

// The pause screen's line and every feedback text are in both language files, and the
// French ones are translated, not copies of the English.
TEST_F(DataFolder, FeedbackTextsAndThePauseLineAreInBothLanguages) {
    ASSERT_EQ(CONTENT_LANGUAGE_COUNT, 2);
    Bytes englishBytes("data/en"), frenchBytes("data/fr");
    ASSERT_TRUE(englishBytes.ok() && frenchBytes.ok());
    LanguageFile english = {}, french = {};
    ASSERT_TRUE(readLanguageFile(&english, (const uint8_t*)englishBytes.data, englishBytes.size, "data/en"))
        << english.failure;
    ASSERT_TRUE(readLanguageFile(&french, (const uint8_t*)frenchBytes.data, frenchBytes.size, "data/fr"))
        << french.failure;
    for (int32_t id = TEXT_ID_FIRST_FEEDBACK; id < TEXT_ID_FEEDBACK_END; ++id) {
        const char* en = languageText(&english, id);
        const char* fr = languageText(&french, id);
        ASSERT_NE(en, nullptr) << "no English text " << id;
        ASSERT_NE(fr, nullptr) << "no French text " << id;
        EXPECT_GT(strlen(en), 3u) << id;
        EXPECT_STRNE(en, fr) << "text " << id << " is not translated";
    }
    EXPECT_NE(strstr(languageText(&english, TEXT_ID_PAUSE_RESUME), "Escape"), nullptr);
    EXPECT_NE(strstr(languageText(&french, TEXT_ID_PAUSE_RESUME), "\xc3\x89" "chap"), nullptr);
    releaseLanguageFile(&english);
    releaseLanguageFile(&french);
}

// French typography: a no-break space before "!", "?", ":" and ";", and the
// typographic apostrophe, never the typewriter one.
TEST_F(DataFolder, FrenchTextsFollowFrenchTypography) {
    const int french = 1;
    ASSERT_STREQ(languageCode(static_cast<uint32_t>(french)), "fr");
    for (int id = 0; id < TEXT_COUNT; ++id) {
        std::vector<uint32_t> text = decodeUtf8(gameText(french, id));
        for (size_t i = 0; i < text.size(); ++i) {
            EXPECT_NE(text[i], (uint32_t)'\'') << "text " << id << " has a straight apostrophe: " << gameText(french, id);
            bool highPunctuation = text[i] == '!' || text[i] == '?' || text[i] == ':' || text[i] == ';';
            if (highPunctuation) {
                EXPECT_TRUE(i > 0 && text[i - 1] == 0xA0) << "text " << id << " lacks a no-break space before "
                                                          << (char)text[i] << ": " << gameText(french, id);
            }
        }
    }
}

// Both fonts the game draws with have a glyph for every character of every text.
TEST_F(DataFolder, FontsCoverEveryCharacterOfTheTexts) {
    FT_Library library;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    for (const char* font : {"data/PatuaOne-Regular.ttf", "data/corvex/fonts/Rubik-Regular.ttf"}) {
        Bytes b(font);
        ASSERT_TRUE(b.ok()) << font;
        FT_Face face;
        ASSERT_EQ(FT_New_Memory_Face(library, (const FT_Byte*)b.data, (FT_Long)b.size, 0, &face), 0) << font;
        for (int language = 0; language < CONTENT_LANGUAGE_COUNT; ++language)
            for (int id = 0; id < TEXT_COUNT; ++id)
                for (uint32_t c : decodeUtf8(gameText(language, id)))
                    EXPECT_NE(FT_Get_Char_Index(face, c), 0u) << font << " has no U+" << std::hex << c;
        // The characters the game adds to every set.
        for (uint32_t c : {45u, 64u, 120u, 43u, 47u, 95u}) EXPECT_NE(FT_Get_Char_Index(face, c), 0u) << font;
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
}

// Every key of the game's name table names a text both languages have, and the
// building's extra objects take exactly the ids between the game's first forty texts
// and the feedback texts.
TEST_F(DataFolder, EveryNameKeyHasItsTextInBothLanguages) {
    NameIds game;
    fillNameIds(&game);
    std::set<int> extraIds;
    for (uint32_t i = 0; i < game.count; ++i) {
        const NameIdEntry& entry = game.entries[i];
        ASSERT_GE(entry.id, 0) << entry.key;
        ASSERT_LT(entry.id, TEXT_COUNT) << entry.key;
        for (int language = 0; language < CONTENT_LANGUAGE_COUNT; ++language) {
            const char* text = gameText(language, entry.id);
            ASSERT_NE(text, nullptr) << entry.key;
            EXPECT_NE(text[0], 0) << entry.key << " in " << languageCode(static_cast<uint32_t>(language));
        }
        EXPECT_EQ(lookupNameId(entry.key), entry.id) << entry.key;
        if (entry.id >= TEXT_FIRST_EXTRA) extraIds.insert(entry.id);
    }
    EXPECT_EQ(extraIds.size(), (size_t)(TEXT_FIRST_FEEDBACK - TEXT_FIRST_EXTRA));
    EXPECT_EQ(lookupNameId("notAnObject"), -1);
}

TEST_F(DataFolder, ShaderSourcesFollowTheBackendConventions) {
    for (const ShaderProgramSpec& spec : kShaderProgramSpecs) {
        const char* program = spec.path;
        std::string glsl = std::string("data/shaders/") + program + ".glsl";
        enterModuleDirectory();
        char* text = readTextFile(glsl.c_str());
        ASSERT_NE(text, nullptr) << glsl;
        // The backend puts its define after the first line holding '#': that must be
        // the version line.
        EXPECT_EQ(strncmp(text, "#version 130\n", 13), 0) << glsl;
        EXPECT_NE(strstr(text, "#ifdef VERTEX_SHADER_SOURCE"), nullptr) << glsl;
        EXPECT_NE(strstr(text, "#ifdef FRAGMENT_SHADER_SOURCE"), nullptr) << glsl;
        EXPECT_NE(strstr(text, "out vec4 outColor;"), nullptr) << glsl;
        EXPECT_NE(strstr(text, "inVertex"), nullptr) << glsl;
        delete[] text;
        std::string hlsl = std::string("data/shaders/") + program + ".hlsl";
        text = readTextFile(hlsl.c_str());
        ASSERT_NE(text, nullptr) << hlsl;
        EXPECT_NE(strstr(text, "VSMain"), nullptr) << hlsl;
        EXPECT_NE(strstr(text, "PSMain"), nullptr) << hlsl;
        EXPECT_NE(strstr(text, "register(b0)"), nullptr) << hlsl;
        // Outside what the compiler here accepts.
        EXPECT_EQ(strstr(text, "discard"), nullptr) << hlsl;
        EXPECT_EQ(strstr(text, "clip("), nullptr) << hlsl;
        delete[] text;
    }
}

TEST_F(DataFolder, FontsAndTheirLicences) {
    for (const char* path : {"data/PatuaOne-Regular.ttf", "data/corvex/fonts/Rubik-Regular.ttf"}) {
        Bytes b(path);
        ASSERT_TRUE(b.ok()) << path;
        ASSERT_GT(b.size, 10000u);
        uint32_t tag;
        memcpy(&tag, b.data, 4);
        EXPECT_EQ(tag, 0x00000100u) << path << " is not a TrueType file";
    }
    EXPECT_TRUE(fileExists("data/PatuaOne-Regular.LICENSE.txt"));
    EXPECT_TRUE(fileExists("data/corvex/fonts/Rubik-Regular.LICENSE.txt"));
}

} // namespace
