// The nearest-hit choice and the level kept for it, on hand-built meshes: walls as
// squares facing -x, rays along +x.
#include "game/nearest_pick.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

// Appends a square facing -x, centred at (x, y, z) with half-size h, to a format-0 mesh.
void addSquare(Mesh* mesh, float x, float y, float z, float h) {
    uint32_t first = meshVertexCount(mesh);
    const float corners[4][2] = {{-h, -h}, {-h, h}, {h, -h}, {h, h}};
    for (const auto& c : corners) appendVertexPosition(mesh, x, y + c[0], z + c[1]);
    uint32_t at = mesh->indexCount;
    ASSERT_TRUE(setMeshIndexCount(mesh, at + 6));
    const uint32_t indices[6] = {0, 2, 1, 1, 2, 3};
    for (int i = 0; i < 6; ++i) mesh->indices[at + i] = first + indices[i];
}

Ray alongX(float y, float z) { return Ray{Vec3{0, y, z}, Vec3{1, 0, 0}}; }

TEST(LevelPick, FindsTheNearestWallAcrossMeshesAndChunks) {
    LevelPick level = {};
    Mesh first = {}, second = {};
    // 40 squares in a row along y: more than one chunk of triangles.
    for (int i = 0; i < 40; ++i) addSquare(&first, 10, static_cast<float>(i), 0, 0.4f);
    addSquare(&second, 5, 38, 0, 0.4f);
    ASSERT_TRUE(appendLevelPick(&level, &first));
    ASSERT_TRUE(appendLevelPick(&level, &second));
    EXPECT_GT(level.chunks.count, 2u);

    for (float y : {0.0f, 25.0f, 37.0f}) { // in the first, a middle and the last chunk
        Ray ray = alongX(y, 0.3f);
        EXPECT_FLOAT_EQ(levelPickDistance(&level, &ray, 1000), 10.0f) << y;
    }
    Ray ray = alongX(38, 0); // the second mesh's square, in front of the first's
    EXPECT_FLOAT_EQ(levelPickDistance(&level, &ray, 1000), 5.0f);
    ray = alongX(38.5f, 0); // between two squares
    EXPECT_FLOAT_EQ(levelPickDistance(&level, &ray, 1000), 1000.0f);
    ray = alongX(3, 0); // a wall beyond the limit is no hit
    EXPECT_FLOAT_EQ(levelPickDistance(&level, &ray, 8), 8.0f);

    releaseMesh(&first);
    releaseMesh(&second);
    releaseLevelPick(&level);
}

TEST(LevelPick, RefusesAnIndexPastTheVerticesAndKeepsWhatItHad) {
    LevelPick level = {};
    Mesh good = {}, bad = {};
    addSquare(&good, 10, 0, 0, 1);
    addSquare(&bad, 5, 0, 0, 1);
    bad.indices[4] = 4; // four vertices: 0 to 3
    ASSERT_TRUE(appendLevelPick(&level, &good));
    uint32_t positions = level.positions.count, indices = level.indices.count, chunks = level.chunks.count;
    EXPECT_FALSE(appendLevelPick(&level, &bad));
    EXPECT_EQ(level.positions.count, positions);
    EXPECT_EQ(level.indices.count, indices);
    EXPECT_EQ(level.chunks.count, chunks);
    Ray ray = alongX(0, 0);
    EXPECT_FLOAT_EQ(levelPickDistance(&level, &ray, 1000), 10.0f);
    releaseMesh(&good);
    releaseMesh(&bad);
    releaseLevelPick(&level);
}

TEST(NearestPick, TheNearestWinsACameraWinsATieAndTheLevelHides) {
    Mesh square = {};
    addSquare(&square, 0, 0, 0, 0.5f);
    const Quat none = identityQuaternion();
    PickCandidate candidates[3] = {
        {PICK_INTERACTABLE, 0, &square, Vec3{8, 0, 0}, Vec3{1, 1, 1}, none, nullptr},
        {PICK_ENTITY, 4, &square, Vec3{6, 0, 0}, Vec3{1, 1, 1}, none, nullptr},
        {PICK_CAMERA, 2, &square, Vec3{6, 0, 0}, Vec3{1, 1, 1}, none, nullptr},
    };
    Ray ray = alongX(0, 0);
    PickResult hit = nearestPick(&ray, candidates, 2, nullptr);
    EXPECT_EQ(hit.kind, PICK_ENTITY);
    EXPECT_EQ(hit.index, 4u);
    EXPECT_FLOAT_EQ(hit.distance, 6.0f);
    hit = nearestPick(&ray, candidates, 3, nullptr); // the camera model at the entity's depth
    EXPECT_EQ(hit.kind, PICK_CAMERA);
    EXPECT_EQ(hit.index, 2u);

    LevelPick level = {};
    Mesh wall = {};
    addSquare(&wall, 7, 0, 0, 1);
    ASSERT_TRUE(appendLevelPick(&level, &wall));
    EXPECT_EQ(nearestPick(&ray, candidates, 3, &level).kind, PICK_CAMERA); // the wall is behind it
    hit = nearestPick(&ray, candidates, 1, &level);                         // the wall is in front
    EXPECT_EQ(hit.kind, PICK_LEVEL);
    EXPECT_FLOAT_EQ(hit.distance, 7.0f);
    ray = alongX(3, 0); // past everything
    EXPECT_EQ(nearestPick(&ray, candidates, 3, &level).kind, PICK_NONE);

    releaseMesh(&square);
    releaseMesh(&wall);
    releaseLevelPick(&level);
}

TEST(NearestPick, ABoundsRejectAgreesWithTheFullTestForAPlacedMesh) {
    Mesh square = {};
    addSquare(&square, 0, 0, 0, 0.5f);
    PickBox local = meshPickBox(&square);
    // Turned 90 degrees about z (facing -y), stretched along its width, placed at (6, 2, 1).
    Quat turn = quaternionFromAxisAngle(Vec3{0, 0, 1}, 90);
    PickCandidate plain = {PICK_ENTITY, 0, &square, Vec3{6, 2, 1}, Vec3{1, 3, 1}, turn, nullptr};
    PickCandidate boxed = plain;
    boxed.bounds = &local;
    for (float x = 4.0f; x <= 8.0f; x += 0.25f)
        for (float z = 0.25f; z <= 1.75f; z += 0.25f) {
            Ray ray = {Vec3{x, -5, z}, Vec3{0, 1, 0}};
            PickResult a = nearestPick(&ray, &plain, 1, nullptr), b = nearestPick(&ray, &boxed, 1, nullptr);
            EXPECT_EQ(a.kind, b.kind) << x << " " << z;
            if (a.kind == PICK_ENTITY) {
                EXPECT_FLOAT_EQ(b.distance, 7.0f) << x << " " << z;
            }
        }
    // The stretched square spans x 4.5 to 7.5 at y = 2.
    Ray inside = {Vec3{7.25f, -5, 1}, Vec3{0, 1, 0}}, outside = {Vec3{7.75f, -5, 1}, Vec3{0, 1, 0}};
    EXPECT_EQ(nearestPick(&inside, &boxed, 1, nullptr).kind, PICK_ENTITY);
    EXPECT_EQ(nearestPick(&outside, &boxed, 1, nullptr).kind, PICK_NONE);
    releaseMesh(&square);
}

} // namespace
