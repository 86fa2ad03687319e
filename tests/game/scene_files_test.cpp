#include "game/scene_files.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

struct Bytes {
    std::vector<uint8_t> data;
    Bytes& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) data.push_back(uint8_t(v >> (8 * i)));
        return *this;
    }
    Bytes& f32(float f) {
        uint32_t v;
        memcpy(&v, &f, 4);
        return u32(v);
    }
    Bytes& str(const std::string& s) {
        uint64_t n = s.size();
        for (int i = 0; i < 8; ++i) data.push_back(uint8_t(n >> (8 * i)));
        data.insert(data.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& raw(uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) data.push_back(uint8_t(v >> (8 * i)));
        return *this;
    }
};

TEST(TextureListFile, ReadsEveryPath) {
    Bytes b;
    b.u32(2).str("data/textures/wall.png").str("data/textures/floor.dds");
    TextureList list;
    char reason[256] = "";
    ASSERT_TRUE(parseTextureList(b.data.data(), b.data.size(), &list, reason)) << reason;
    ASSERT_EQ(list.count, 2u);
    EXPECT_STREQ(list.paths[0], "data/textures/wall.png");
    EXPECT_STREQ(list.paths[1], "data/textures/floor.dds");
    releaseTextureList(&list);
    EXPECT_EQ(list.paths, nullptr);
}

TEST(TextureListFile, RefusesWhatDoesNotFitItsBytes) {
    char reason[256];
    TextureList list;
    Bytes hostileCount;
    hostileCount.u32(0xFFFFFFFF).str("x");
    EXPECT_FALSE(parseTextureList(hostileCount.data.data(), hostileCount.data.size(), &list, reason));
    EXPECT_NE(strstr(reason, "count"), nullptr) << reason;

    Bytes longString;
    longString.u32(1).raw(1000, 8).data.push_back('a');
    EXPECT_FALSE(parseTextureList(longString.data.data(), longString.data.size(), &list, reason));
    EXPECT_NE(strstr(reason, "cut short"), nullptr) << reason;

    Bytes hugeLength;
    hugeLength.u32(1).raw(0xFFFFFFFFFFFFFFF0ull, 8);
    EXPECT_FALSE(parseTextureList(hugeLength.data.data(), hugeLength.data.size(), &list, reason));

    Bytes trailing;
    trailing.u32(1).str("a.png").u32(7);
    EXPECT_FALSE(parseTextureList(trailing.data.data(), trailing.data.size(), &list, reason));
    EXPECT_NE(strstr(reason, "unexpected"), nullptr) << reason;

    Bytes embeddedNul;
    embeddedNul.u32(1).str(std::string("a\0b", 3));
    EXPECT_FALSE(parseTextureList(embeddedNul.data.data(), embeddedNul.data.size(), &list, reason));

    EXPECT_FALSE(parseTextureList(nullptr, 0, &list, reason));
    EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(list.paths, nullptr);
}

TEST(InteractableListFile, RecordsWithAndWithoutOpeningItem) {
    Bytes b;
    b.u32(2);
    b.str("redDoor").str("redKey").u32(1).f32(0).f32(0).f32(2.5f);
    b.str("locker").str("").u32(0).f32(0.5f).f32(-0.25f).f32(0);
    InteractableList list;
    char reason[256] = "";
    ASSERT_TRUE(parseInteractableList(b.data.data(), b.data.size(), &list, reason)) << reason;
    ASSERT_EQ(list.count, 2u);
    EXPECT_STREQ(list.records[0].name, "redDoor");
    EXPECT_STREQ(list.records[0].openingItem, "redKey");
    EXPECT_TRUE(list.records[0].required);
    EXPECT_FLOAT_EQ(list.records[0].openOffset.z, 2.5f);
    EXPECT_STREQ(list.records[1].openingItem, "");
    EXPECT_FALSE(list.records[1].required);
    EXPECT_FLOAT_EQ(list.records[1].openOffset.y, -0.25f);
    releaseInteractableList(&list);

    Bytes cut;
    cut.u32(1).str("redDoor").str("redKey").u32(1).f32(0);
    EXPECT_FALSE(parseInteractableList(cut.data.data(), cut.data.size(), &list, reason));
    Bytes unnamed;
    unnamed.u32(1).str("").str("").u32(0).f32(0).f32(0).f32(0);
    EXPECT_FALSE(parseInteractableList(unnamed.data.data(), unnamed.data.size(), &list, reason));
}

void appendEntity(Bytes& b, const char* name, const char* part, bool pickable) {
    b.str(name).str("data/meshes/objects/items.glb").str(part);
    for (int i = 0; i < 21; ++i) b.f32(float(i));
    b.u32(pickable);
}

TEST(EntityListFile, CamerasThenEntities) {
    Bytes b;
    b.u32(2).u32(2);
    b.str("CAM 1").f32(1).f32(2).f32(3).f32(1).f32(0).f32(0).f32(60);
    b.str("CAM 2").f32(4).f32(5).f32(6).f32(0).f32(1).f32(0).f32(75);
    appendEntity(b, "redKey", "key", true);
    appendEntity(b, "plant", "", false);
    EntityList list;
    char reason[256] = "";
    ASSERT_TRUE(parseEntityList(b.data.data(), b.data.size(), &list, reason)) << reason;
    ASSERT_EQ(list.cameraCount, 2u);
    EXPECT_STREQ(list.cameras[1].name, "CAM 2");
    EXPECT_FLOAT_EQ(list.cameras[1].position.z, 6.0f);
    EXPECT_FLOAT_EQ(list.cameras[1].fieldOfView, 75.0f);
    ASSERT_EQ(list.entityCount, 2u);
    const EntityRecord& key = list.entities[0];
    EXPECT_STREQ(key.partName, "key");
    EXPECT_FLOAT_EQ(key.positionA.x, 0.0f);
    EXPECT_FLOAT_EQ(key.scaleA.x, 3.0f);
    EXPECT_FLOAT_EQ(key.color.x, 6.0f);
    EXPECT_FLOAT_EQ(key.rotationA.z, 11.0f);
    EXPECT_FLOAT_EQ(key.positionB.x, 12.0f);
    EXPECT_FLOAT_EQ(key.scaleB.y, 16.0f);
    EXPECT_FLOAT_EQ(key.rotationB.z, 20.0f);
    EXPECT_TRUE(key.pickable);
    EXPECT_FALSE(list.entities[1].pickable);
    EXPECT_STREQ(list.entities[1].partName, "");
    releaseEntityList(&list);
}

TEST(EntityListFile, CountsBeyondTheFileAreRefusedBeforeAllocating) {
    Bytes b;
    b.u32(1).u32(0x40000000);
    b.str("CAM 1").f32(1).f32(2).f32(3).f32(1).f32(0).f32(0).f32(60);
    EntityList list;
    char reason[256];
    EXPECT_FALSE(parseEntityList(b.data.data(), b.data.size(), &list, reason));
    EXPECT_EQ(list.cameras, nullptr);
    Bytes cut;
    cut.u32(0).u32(1);
    appendEntity(cut, "redKey", "", true);
    cut.data.resize(cut.data.size() - 3);
    EXPECT_FALSE(parseEntityList(cut.data.data(), cut.data.size(), &list, reason));
}

} // namespace
