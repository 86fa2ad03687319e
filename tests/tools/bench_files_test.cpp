#include "tools/bench/bench_files.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

void touch(const std::string& path) {
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    fputs("x", file);
    fclose(file);
}

TEST(BenchFiles, EveryFileOfTheExtensionsBelowAFolderInPathOrder) {
    char pattern[] = "/tmp/quarlo-bench-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string root = pattern;
    ASSERT_EQ(mkdir((root + "/b").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((root + "/b/deeper").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((root + "/.hidden").c_str(), 0755), 0);
    for (const char* name : {"/z.png", "/a.PNG", "/b/deeper/m.glb", "/b/c.png", "/notes.txt", "/png", "/.hidden/h.png",
                             "/b/x.gltf"})
        touch(root + name);
    std::vector<std::string> pngs = filesWithExtension(root, {".png"});
    ASSERT_EQ(pngs.size(), 3u); // case does not matter; hidden folders and a bare "png" are not taken
    EXPECT_EQ(pngs[0], root + "/a.PNG");
    EXPECT_EQ(pngs[1], root + "/b/c.png");
    EXPECT_EQ(pngs[2], root + "/z.png");
    std::vector<std::string> models = filesWithExtension(root, {".gltf", ".glb"});
    ASSERT_EQ(models.size(), 2u);
    EXPECT_EQ(baseName(models[0]), "m.glb");
    EXPECT_EQ(baseName(models[1]), "x.gltf");
    EXPECT_TRUE(filesWithExtension(root + "/missing", {".png"}).empty());

    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readWholeFile(root + "/b/c.png", &bytes));
    EXPECT_EQ(bytes, std::vector<uint8_t>{'x'});
    EXPECT_FALSE(readWholeFile(root + "/none.png", &bytes));
    std::string command = "rm -rf " + root;
    ASSERT_EQ(system(command.c_str()), 0);
}

TEST(BenchFiles, ChecksumsTellBlocksApartAndBitCountsIgnoreOrder) {
    // FNV-1a 64 of "a", and of nothing (the offset basis).
    EXPECT_EQ(checksum("a", 1), 0xaf63dc4c8601ec8cull);
    EXPECT_EQ(checksum("", 0), 14695981039346656037ull);
    const uint8_t rows[6] = {1, 2, 3, 4, 5, 6};
    const uint8_t flipped[6] = {4, 5, 6, 1, 2, 3};
    EXPECT_NE(checksum(rows, 6), checksum(flipped, 6));
    EXPECT_EQ(setBitCount(rows, 6), setBitCount(flipped, 6));
    EXPECT_EQ(setBitCount(rows, 6), 1u + 1 + 2 + 1 + 2 + 2);
    const uint8_t another[6] = {1, 2, 3, 4, 5, 7};
    EXPECT_NE(setBitCount(rows, 6), setBitCount(another, 6));
}

TEST(BenchFiles, AMissingInputFolderEndsTheProgramNamingIt) {
    setenv("QUARLO_BENCH_TEST_FOLDER", "/nonexistent/quarlo-bench", 1);
    EXPECT_EXIT(requiredFolder("QUARLO_BENCH_TEST_FOLDER", "."), ::testing::ExitedWithCode(1),
                "/nonexistent/quarlo-bench is not a folder \\(set QUARLO_BENCH_TEST_FOLDER\\)");
    unsetenv("QUARLO_BENCH_TEST_FOLDER");
    EXPECT_EQ(requiredFolder("QUARLO_BENCH_TEST_FOLDER", "/tmp"), "/tmp");
}

} // namespace
