#include "game/scene_layout.h"
#include "game/picking.h"
#include "game/scene_files.h"

#include <gtest/gtest.h>

namespace {

Vec3 corner(const PanelPlacement& panel, float u, float v) {
    Mat4 model = panelModelMatrix(&panel);
    return transformPoint(&model, Vec3{u, v, 0});
}

// The wall of monitors is wider than the chair's first view: each panel's middle is
// in sight, its outer corners are reached by looking around.
TEST(MonitorPanels, EveryPanelsMiddleIsInsideTheChairsView) {
    PanelPlacement panels[MONITOR_COUNT];
    placeMonitorPanels(panels);
    PlayerView player;
    resetPlayerView(&player);
    Mat4 pv;
    multiplyMatrix4(&pv, &player.projection, &player.view);
    for (int i = 0; i < MONITOR_COUNT; ++i) {
        Vec3 p = corner(panels[i], 0.5f, 0.5f);
        Vec4 clip = transformVector4(&pv, Vec4{p.x, p.y, p.z, 1});
        ASSERT_GT(clip.w, 0.0f) << "panel " << i << " behind the chair";
        EXPECT_LE(fabsf(clip.x / clip.w), 0.8f) << "panel " << i;
        EXPECT_LE(fabsf(clip.y / clip.w), 0.8f) << "panel " << i;
        // Between 0.5 and 2 units from the eye.
        float distance = length3(sub3(p, player.position));
        EXPECT_GT(distance, 0.5f);
        EXPECT_LT(distance, 2.0f);
    }
}

TEST(MonitorPanels, LeftPairLeftOfRightPairAndUpperAboveLower) {
    PanelPlacement panels[MONITOR_COUNT];
    placeMonitorPanels(panels);
    Vec3 centre[MONITOR_COUNT];
    for (int i = 0; i < MONITOR_COUNT; ++i) centre[i] = corner(panels[i], 0.5f, 0.5f);
    // Looking along +x, left is +y.
    EXPECT_GT(centre[0].y, centre[2].y);
    EXPECT_GT(centre[1].y, centre[3].y);
    EXPECT_GT(centre[0].z, centre[1].z);
    EXPECT_GT(centre[2].z, centre[3].z);
    // Each panel faces the chair: its normal points back towards -x.
    for (int i = 0; i < MONITOR_COUNT; ++i) {
        Vec3 normal = {0, 0, 1};
        rotateByQuaternion(&panels[i].rotation, &normal);
        EXPECT_LT(normal.x, -0.8f) << i;
    }
    // The side pairs are turned towards the middle.
    Vec3 leftNormal = {0, 0, 1}, rightNormal = {0, 0, 1};
    rotateByQuaternion(&panels[0].rotation, &leftNormal);
    rotateByQuaternion(&panels[2].rotation, &rightNormal);
    EXPECT_LT(leftNormal.y, 0.0f);
    EXPECT_GT(rightNormal.y, 0.0f);
}

TEST(PickingRays, UnprojectingTheCentreLooksAlongTheView) {
    PlayerView player;
    resetPlayerView(&player);
    Ray ray = unprojectRay(&player.view, &player.projection, player.position, 0.0f, 0.0f);
    EXPECT_NEAR(ray.direction.x, player.forward.x, 1e-5f);
    EXPECT_NEAR(ray.direction.y, player.forward.y, 1e-5f);
    EXPECT_NEAR(ray.direction.z, player.forward.z, 1e-5f);
    // The top edge of the view is 45 degrees above the centre.
    Ray top = unprojectRay(&player.view, &player.projection, player.position, 0.0f, 1.0f);
    EXPECT_NEAR(dot3(top.direction, player.forward), cosf(45.0f * DEGREES_TO_RADIANS), 1e-4f);
}

TEST(DataAngles, TurnAboutYFirstThenXThenZ) {
    Quat q = rotationFromDataAngles(Vec3{90, 90, 0});
    // Rz(90) * Rx(90): +y goes to +z under Rx, and +z stays under Rz.
    Vec3 v = {0, 1, 0};
    rotateByQuaternion(&q, &v);
    EXPECT_NEAR(v.z, 1.0f, 1e-5f);
    Quat onlyY = rotationFromDataAngles(Vec3{90, 0, 90});
    Vec3 w = {0, 0, 1};
    rotateByQuaternion(&onlyY, &w); // Ry(90): +z to +x, then Rz(90): +x to +y
    EXPECT_NEAR(w.y, 1.0f, 1e-5f);
}

TEST(SecurityCameras, EyeBelowThePositionLookingAlongTheDirection) {
    CameraRecord record = {nullptr, {1, 2, 3}, {0, 1, 0}, 60.0f};
    SecurityCamera camera = {};
    setUpSecurityCamera(&camera, &record);
    EXPECT_FLOAT_EQ(camera.eye.z, 2.8f);
    Vec3 ahead = transformPoint(&camera.view, Vec3{1, 7, 2.8f});
    EXPECT_NEAR(ahead.x, 0.0f, 1e-5f);
    EXPECT_NEAR(ahead.z, -5.0f, 1e-5f);
    EXPECT_NEAR(matrixAt(&camera.projection, 1, 1), 1.0f / tanf(30.0f * DEGREES_TO_RADIANS), 1e-4f);
}

} // namespace

#include "game/rendering.h"

TEST(CounterFormat, OnlyTwoUnsignedNumbersAreFormatted) {
    EXPECT_TRUE(isTwoUnsignedFormat("Unlocked: %u / %u"));
    EXPECT_TRUE(isTwoUnsignedFormat("%02u%% done of %u"));
    EXPECT_FALSE(isTwoUnsignedFormat("%u"));
    EXPECT_FALSE(isTwoUnsignedFormat("%u %u %u"));
    EXPECT_FALSE(isTwoUnsignedFormat("%s / %u"));
    EXPECT_FALSE(isTwoUnsignedFormat("%u / %n"));
    EXPECT_FALSE(isTwoUnsignedFormat("%100000u / %u"));
    EXPECT_FALSE(isTwoUnsignedFormat("%u / %"));
}
