#include "engine/platform/files.h"
#include "engine/platform/module_directory.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileHelpers : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/quarlo-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        setModuleDirectory(directory.c_str());
        ASSERT_EQ(chdir("/"), 0); // the helpers must find files whatever the working directory
    }
    void TearDown() override {
        std::string command = "rm -rf " + directory;
        ASSERT_EQ(system(command.c_str()), 0);
        gModuleDirectory = ModuleDirectory{};
    }
    void write(const char* name, const char* bytes, size_t size) {
        FILE* file = fopen((directory + "/" + name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        fwrite(bytes, 1, size, file);
        fclose(file);
    }
    std::string directory;
};

TEST_F(FileHelpers, SizesAndMissingFiles) {
    write("five", "12345", 5);
    EXPECT_EQ(fileSize("five"), 5u);
    EXPECT_EQ(fileSize("absent"), 0u);
    EXPECT_EQ(readFile("absent", nullptr, 0), nullptr);
    EXPECT_EQ(readTextFile("absent"), nullptr);
}

TEST_F(FileHelpers, ReadFileUsesTheCallersBufferOnlyWhenItIsLargeEnough) {
    write("five", "12345", 5);
    char exact[5];
    EXPECT_EQ(readFile("five", exact, 5), exact);
    EXPECT_EQ(memcmp(exact, "12345", 5), 0);
    char small[4];
    char* fresh = readFile("five", small, 4);
    ASSERT_NE(fresh, small);
    EXPECT_EQ(memcmp(fresh, "12345", 5), 0);
    delete[] fresh;
}

TEST_F(FileHelpers, TextFilesAreTerminated) {
    write("empty", "", 0);
    char* text = readTextFile("empty");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text[0], 0);
    delete[] text;
    uint32_t size = 0;
    char* sized = readFileSized("data/words", &size);
    EXPECT_EQ(sized, nullptr); // no data folder yet
    ASSERT_EQ(system(("mkdir -p " + directory + "/data").c_str()), 0);
    write("data/words", "ab\0cd", 5);
    sized = readFileSized("data/words", &size);
    ASSERT_NE(sized, nullptr);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(sized[5], 0);
    delete[] sized;
}

// Only regular files are read: a directory opens on POSIX and reports a size near 2^63
// (a glTF buffer URI of "." asked for 4 GiB), a FIFO would wait for a writer, a device
// such as /dev/zero never ends. Each is a file that cannot be opened.
TEST_F(FileHelpers, WhatIsNotARegularFileCannotBeOpened) {
    ASSERT_EQ(system(("mkdir -p " + directory + "/folder").c_str()), 0);
    ASSERT_EQ(mkfifo((directory + "/pipe").c_str(), 0600), 0);
    for (const char* path : {".", "folder", "pipe", "/dev/zero"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(fileSize(path), 0u);
        uint32_t size = 123;
        EXPECT_EQ(readFileSized(path, &size), nullptr);
        EXPECT_EQ(size, 0u);
        EXPECT_EQ(readTextFile(path), nullptr);
        char buffer[8];
        EXPECT_EQ(readFile(path, buffer, sizeof(buffer)), nullptr);
    }
    // A link to a regular file is that file.
    write("five", "12345", 5);
    ASSERT_EQ(symlink((directory + "/five").c_str(), (directory + "/link").c_str()), 0);
    EXPECT_EQ(fileSize("link"), 5u);
}

} // namespace
