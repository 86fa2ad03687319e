#include "engine/platform/module_directory.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {
std::string normalised(const char* text) {
    ModuleDirectory directory = {};
    strcpy(directory.path, text);
    directory.length = static_cast<uint32_t>(strlen(text) + 1);
    normaliseModuleDirectory(&directory);
    EXPECT_EQ(directory.length, strlen(directory.path) + 1);
    return directory.path;
}
} // namespace

TEST(ModuleDirectory, DotDotRemovesThePreviousSegment) {
    EXPECT_EQ(normalised("C:/games/x/../bin/"), "C:/games/bin/");
    EXPECT_EQ(normalised("C:/a/b/c/../../d/"), "C:/a/d/");
}

TEST(ModuleDirectory, TrailingDotDotCutsAtThePreviousSlash) { EXPECT_EQ(normalised("C:/a/b/.."), "C:/a"); }

TEST(ModuleDirectory, DotDotThatWouldClimbAboveTheStartStays) {
    EXPECT_EQ(normalised("C:/../a/"), "C:/../a/");
    EXPECT_EQ(normalised("C:/../../a/"), "C:/../../a/");
    EXPECT_EQ(normalised("C:/a/../../b/"), "C:/../b/");
}

TEST(ModuleDirectory, NamesStartingWithDotsAreOrdinary) {
    EXPECT_EQ(normalised("C:/a/..b/"), "C:/a/..b/");
    EXPECT_EQ(normalised("C:/a/./b/"), "C:/a/./b/");
}

TEST(ModuleDirectory, ShortAndNonAsciiPaths) {
    EXPECT_EQ(normalised("C"), "C");
    EXPECT_EQ(normalised("C:/jeux/d\xC3\xA9mo/../Quarlo/"), "C:/jeux/Quarlo/");
    EXPECT_EQ(normalised("C:/d\xC3\xA9mo/x/../"), "C:/d\xC3\xA9mo/");
}

TEST(ModuleDirectory, SetFromAWindowsStylePath) {
    setModuleDirectory("Z:\\home\\quarlo\\bin");
    EXPECT_STREQ(gModuleDirectory.path, "Z:/home/quarlo/bin/");
    EXPECT_EQ(gModuleDirectory.length, strlen("Z:/home/quarlo/bin/") + 1);
    gModuleDirectory = ModuleDirectory{};
}
