#include "engine/program/command_line_options.h"

#include <gtest/gtest.h>

TEST(CommandLine, ForcedBackendTakesTheArgumentAfterTheFlag) {
    char* argv[] = {(char*)"Quarlo.exe", (char*)"-forceRenderBackend", (char*)"C:/a.dll"};
    EXPECT_STREQ(forcedRenderBackend(3, argv), "C:/a.dll");
}

TEST(CommandLine, LastPairWins) {
    char* argv[] = {(char*)"Quarlo.exe", (char*)"-forceRenderBackend", (char*)"A.dll", (char*)"x",
                    (char*)"-forceRenderBackend", (char*)"B.dll"};
    EXPECT_STREQ(forcedRenderBackend(6, argv), "B.dll");
}

TEST(CommandLine, TrailingFlagAndOtherSpellingsAreIgnored) {
    char* trailing[] = {(char*)"Quarlo.exe", (char*)"-forceRenderBackend"};
    EXPECT_EQ(forcedRenderBackend(2, trailing), nullptr);
    char* after[] = {(char*)"Quarlo.exe", (char*)"-forceRenderBackend", (char*)"A.dll", (char*)"-forceRenderBackend"};
    EXPECT_STREQ(forcedRenderBackend(4, after), "A.dll");
    char* otherCase[] = {(char*)"Quarlo.exe", (char*)"-forcerenderbackend", (char*)"A.dll"};
    EXPECT_EQ(forcedRenderBackend(3, otherCase), nullptr);
    EXPECT_EQ(forcedRenderBackend(0, nullptr), nullptr);
}
