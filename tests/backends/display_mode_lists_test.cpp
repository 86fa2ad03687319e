#include "backends/window/display_mode_lists.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

class DisplayModeLists : public ::testing::Test {
protected:
    void TearDown() override {
        releaseDisplayLists(&state);
        free(state.monitorLabels);
    }
    RendererState state = {};
};

const DisplayMode kModes[] = {
    {1920, 1080, 32, 60},
    {1920, 1080, 32, 144},
    {1280, 720, 32, 60},
    {1920, 1080, 16, 60},
};
const uint32_t kModeCount = sizeof(kModes) / sizeof(kModes[0]);

TEST_F(DisplayModeLists, ResolutionsAndFrequenciesInEnumerationOrder) {
    ASSERT_TRUE(buildResolutionList(&state, kModes, kModeCount));
    ASSERT_EQ(state.resolutionCount, 2u);
    EXPECT_STREQ(state.resolutionLabels[0], "1920 x 1080");
    EXPECT_STREQ(state.resolutionLabels[1], "1280 x 720");
    EXPECT_EQ(strlen(state.resolutionLabels[0]), 11u);
    EXPECT_EQ(state.resolutions[1].width, 1280u);
    EXPECT_EQ(state.resolutions[1].height, 720u);

    state.currentResolution = 0;
    ASSERT_TRUE(buildFrequencyList(&state, kModes, kModeCount));
    ASSERT_EQ(state.frequencyCount, 2u);
    EXPECT_STREQ(state.frequencyLabels[0], "60");
    EXPECT_STREQ(state.frequencyLabels[1], "144");
    EXPECT_EQ(findFrequency(&state, 144), 1);
    EXPECT_EQ(findFrequency(&state, 75), -1);

    state.currentResolution = 1;
    ASSERT_TRUE(buildFrequencyList(&state, kModes, kModeCount));
    ASSERT_EQ(state.frequencyCount, 1u);
    EXPECT_STREQ(state.frequencyLabels[0], "60");
    EXPECT_EQ(findResolution(&state, 1280, 720), 1);
    EXPECT_EQ(findResolution(&state, 800, 600), -1);
}

TEST_F(DisplayModeLists, RebuildsReplaceTheOldLists) {
    ASSERT_TRUE(buildResolutionList(&state, kModes, kModeCount));
    state.currentResolution = 0;
    ASSERT_TRUE(buildFrequencyList(&state, kModes, kModeCount));
    // The resolution rebuild drops the frequency list of the old selection.
    ASSERT_TRUE(buildResolutionList(&state, kModes + 2, 1));
    EXPECT_EQ(state.resolutionCount, 1u);
    EXPECT_EQ(state.frequencyCount, 0u);
    EXPECT_EQ(state.frequencies, nullptr);
    // A frequency list for a selection that names nothing is empty.
    state.currentResolution = 5;
    ASSERT_TRUE(buildFrequencyList(&state, kModes, kModeCount));
    EXPECT_EQ(state.frequencyCount, 0u);
    // More modes now than at the resolution rebuild: the frequency list still fits.
    DisplayMode many[40];
    for (uint32_t i = 0; i < 40; ++i) many[i] = DisplayMode{1280, 720, 32, 30 + i};
    state.currentResolution = 0;
    ASSERT_TRUE(buildFrequencyList(&state, many, 40));
    EXPECT_EQ(state.frequencyCount, 40u);
    EXPECT_STREQ(state.frequencyLabels[39], "69");
    ASSERT_TRUE(buildResolutionList(&state, nullptr, 0));
    EXPECT_EQ(state.resolutionCount, 0u);
}

TEST_F(DisplayModeLists, ClosestFrequencyForAResolution) {
    const DisplayMode modes[] = {
        {1920, 1080, 32, 144}, {1280, 720, 32, 59}, {1280, 720, 16, 60}, {1280, 720, 32, 75}, {1280, 720, 32, 61},
    };
    const uint32_t count = sizeof(modes) / sizeof(modes[0]);
    // 59 and 61 are equally close to 60; the first listed wins. The 16-bit 60 Hz mode
    // has another depth.
    EXPECT_EQ(chooseModeForResolution(modes, count, 1280, 720, 32, 60), 1);
    EXPECT_EQ(chooseModeForResolution(modes, 4, 1280, 720, 32, 60), 1);
    EXPECT_EQ(chooseModeForResolution(modes, count, 1280, 720, 32, 74), 3);
    EXPECT_EQ(chooseModeForResolution(modes, count, 1280, 720, 32, 75), 3);
    EXPECT_EQ(chooseModeForResolution(modes, count, 1280, 720, 16, 144), 2);
    EXPECT_EQ(chooseModeForResolution(modes, count, 800, 600, 32, 60), -1);
    EXPECT_EQ(chooseModeForResolution(modes, count, 1920, 1080, 32, 0), 0);
    EXPECT_EQ(findMode(modes, count, 1280, 720, 32, 75), 3);
    EXPECT_EQ(findMode(modes, count, 1280, 720, 24, 75), -1);
}

TEST_F(DisplayModeLists, MonitorNamesAndTheCurrentMonitor) {
    state.currentMonitor = 2;
    ASSERT_TRUE(buildMonitorLabels(&state, 3));
    EXPECT_EQ(state.monitorCount, 3u);
    EXPECT_STREQ(state.monitorLabels[0], "1");
    EXPECT_STREQ(state.monitorLabels[2], "3");
    EXPECT_EQ(state.currentMonitor, 2u);
    ASSERT_TRUE(buildMonitorLabels(&state, 2));
    EXPECT_EQ(state.currentMonitor, 0u);
}

TEST_F(DisplayModeLists, TheWindowGoesToTheMonitorShowingMostOfIt) {
    const ScreenRect screens[] = {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}, {-1280, 0, 0, 720}};
    // Straddling the first two, more of it on the second.
    EXPECT_EQ(screenWithLargestOverlap(screens, 3, ScreenRect{1800, 100, 2600, 700}), 1);
    EXPECT_EQ(screenWithLargestOverlap(screens, 3, ScreenRect{1500, 100, 2000, 700}), 0);
    // Equal shares: the first.
    EXPECT_EQ(screenWithLargestOverlap(screens, 3, ScreenRect{1820, 100, 2020, 700}), 0);
    EXPECT_EQ(screenWithLargestOverlap(screens, 3, ScreenRect{-600, 100, -10, 500}), 2);
    // Off every screen: the first still.
    EXPECT_EQ(screenWithLargestOverlap(screens, 3, ScreenRect{5000, 5000, 5100, 5100}), 0);
    EXPECT_EQ(screenWithLargestOverlap(screens, 0, ScreenRect{0, 0, 10, 10}), -1);
}

} // namespace
