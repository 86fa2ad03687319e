#include "app/command_line.h"
#include "engine/program/command_line_options.h"

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string.h>

namespace {

void freeArguments(char** arguments, int argc) {
    for (int i = 0; i < argc; ++i) delete[] arguments[i];
    delete[] arguments;
}

// UTF-16 in, UTF-8 out: two-, three- and four-byte sequences (a surrogate pair),
// inside quotes with spaces and bare, as the shell splits them.
TEST(CommandLine, ArgumentsOutsideAsciiBecomeUtf8) {
    int argc = -1;
    char** argv = commandLineArgumentsOf(
        L"\"C:\\Jeux\\Quarlo \u00e9t\u00e9\\Quarlo.exe\" -forceRenderBackend \"Z:/tmp/caf\u00e9 \u65e5\u672c/back.dll\" "
        L"\U0001F600x \u00df",
        &argc);
    ASSERT_EQ(argc, 5);
    EXPECT_STREQ(argv[0], "C:\\Jeux\\Quarlo \xC3\xA9t\xC3\xA9\\Quarlo.exe");
    EXPECT_STREQ(argv[1], "-forceRenderBackend");
    EXPECT_STREQ(argv[2], "Z:/tmp/caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC/back.dll");
    EXPECT_STREQ(argv[3], "\xF0\x9F\x98\x80x");
    EXPECT_STREQ(argv[4], "\xC3\x9F");
    EXPECT_EQ(argv[5], nullptr);
    // The forced backend is read from the converted arguments.
    EXPECT_STREQ(forcedRenderBackend(argc, argv), "Z:/tmp/caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC/back.dll");
    freeArguments(argv, argc);
}

// Each argument has a buffer of its own, exactly its UTF-8 size; an empty quoted
// argument is an empty string, not a missing one.
TEST(CommandLine, EmptyAndLongArgumentsKeepTheirPlace) {
    wchar_t line[3000] = L"Quarlo.exe \"\" ";
    size_t at = wcslen(line);
    for (int i = 0; i < 2000; ++i) line[at++] = i % 2 ? L'\u00e9' : L'a';
    line[at] = 0;
    int argc = 0;
    char** argv = commandLineArgumentsOf(line, &argc);
    ASSERT_EQ(argc, 3);
    EXPECT_STREQ(argv[1], "");
    ASSERT_EQ(strlen(argv[2]), 3000u);
    for (int i = 0; i < 2000; ++i) {
        if (i % 2) {
            EXPECT_EQ(static_cast<unsigned char>(argv[2][i / 2 * 3 + 1]), 0xC3u) << i;
            EXPECT_EQ(static_cast<unsigned char>(argv[2][i / 2 * 3 + 2]), 0xA9u) << i;
        } else {
            EXPECT_EQ(argv[2][i / 2 * 3], 'a') << i;
        }
    }
    freeArguments(argv, argc);
}

// A lone surrogate cannot be encoded; the argument is still there and terminated.
TEST(CommandLine, UnpairedSurrogateKeepsTheArgument) {
    int argc = 0;
    char** argv = commandLineArgumentsOf(L"Quarlo.exe a\xD800z next", &argc);
    ASSERT_EQ(argc, 3);
    ASSERT_NE(argv[1], nullptr);
    EXPECT_EQ(argv[1][0], 'a');
    EXPECT_STREQ(argv[2], "next");
    freeArguments(argv, argc);
}

// The process's own command line: the first argument names this program.
TEST(CommandLine, TheProcessCommandLineStartsWithTheProgram) {
    int argc = 0;
    char** argv = commandLineArguments(&argc);
    ASSERT_GE(argc, 1);
    EXPECT_NE(strstr(argv[0], "app_win32_tests"), nullptr) << argv[0];
    EXPECT_EQ(argv[argc], nullptr);
    freeArguments(argv, argc);
}

} // namespace
