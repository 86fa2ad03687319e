#include "tools/bench/bench_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One benchmark entry as Google Benchmark writes it.
std::string entry(const char* name, const char* aggregate, double cpuTime, const char* unit, bool error = false,
                  double itemsPerSecond = 0) {
    std::string e = std::string("{\"name\": \"") + name + (aggregate[0] ? std::string("_") + aggregate : "") +
                    "\", \"run_name\": \"" + name + "\", \"run_type\": \"" + (aggregate[0] ? "aggregate" : "iteration") +
                    "\", \"repetitions\": " + (aggregate[0] ? "5" : "1") + ", \"cpu_time\": " + std::to_string(cpuTime) +
                    ", \"real_time\": 1, \"time_unit\": \"" + unit + "\"";
    if (aggregate[0]) e += std::string(", \"aggregate_name\": \"") + aggregate + "\"";
    if (error) e += ", \"error_occurred\": true, \"error_message\": \"refused\"";
    if (itemsPerSecond > 0) e += ", \"items_per_second\": " + std::to_string(itemsPerSecond);
    return e + "}";
}

std::string results(const std::vector<std::string>& entries) {
    std::string text = "{\"context\": {}, \"benchmarks\": [";
    for (size_t i = 0; i < entries.size(); ++i) text += (i ? ", " : "") + entries[i];
    return text + "]}";
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        out.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

TEST(BenchTable, MediansGiveRatiosAgainstTheGoalsInAFixedOrder) {
    // Interleaved runs arrive in any order; only medians (or single runs) count.
    std::string meshes = results({
        entry("PNG: tiny|stb_image", "median", 2.0, "ms"),
        entry("glTF/GLB: models|quarlo", "mean", 999, "us"),
        entry("glTF/GLB: models|quarlo", "median", 300, "us"),
        entry("glTF/GLB: models|assimp", "median", 1.2, "ms"),
        entry("PNG: tiny|quarlo", "median", 2500, "us"),
        entry("PNG: tiny|libpng simplified", "median", 2500000, "ns"),
        entry("layout: texts|quarlo", "", 250, "us", false, 4.0e6),
        entry(".dmesh: level|quarlo", "median", 3, "ms"),
        entry(".dmesh: level|read+memcpy", "median", 1, "ms"),
    });
    BenchTable table;
    ASSERT_TRUE(makeBenchTable({meshes}, "", &table));
    std::vector<std::string> rows = lines(table.markdown);
    ASSERT_EQ(rows.size(), 2u + 5u);
    // glTF first, then .dmesh, PNG (its peers by name), layout.
    EXPECT_EQ(rows[2], "| glTF/GLB: models | 300.0 µs | assimp | 1.20 ms | 0.25 | ≤ 0.33 (3 × faster) | met |");
    EXPECT_EQ(rows[3], "| .dmesh: level | 3.00 ms | read+memcpy | 1.00 ms | 3.00 | ≤ 2 (half the limit) | not met |");
    EXPECT_EQ(rows[4], "| PNG: tiny | 2.50 ms | libpng simplified | 2.50 ms | 1.00 |  |  |");
    EXPECT_EQ(rows[5], "| PNG: tiny | 2.50 ms | stb_image | 2.00 ms | 1.25 | ≤ 1 (as fast) | not met |");
    EXPECT_EQ(rows[6], "| layout: texts | 250.0 µs (4.00 M glyphs/s) | | | | | |");
    EXPECT_EQ(table.goalsMissed, 2);
    EXPECT_TRUE(table.problems.empty());
}

TEST(BenchTable, FailedRunsAreReportedAndLeftOutOfTheTable) {
    std::string text = results({
        entry("atlas: set|quarlo", "median", 5, "ms", true),
        entry("atlas: set|stb_truetype", "median", 1, "ms"),
        entry("no side here", "median", 1, "ms"),
    });
    BenchTable table;
    ASSERT_TRUE(makeBenchTable({text}, "", &table));
    EXPECT_EQ(lines(table.markdown).size(), 2u); // the header alone
    EXPECT_EQ(table.goalsMissed, 0);
    ASSERT_EQ(table.problems.size(), 2u);
    EXPECT_EQ(table.problems[0], "atlas: set|quarlo failed");
    EXPECT_FALSE(makeBenchTable({"not json"}, "", &table));
    EXPECT_FALSE(makeBenchTable({"{\"context\": {}}"}, "", &table));
}

TEST(BenchTable, StartUpRowsAgainstThreeSeconds) {
    std::string startup = "startup|default start|2080.9\n"
                          "startup|OpenGL, forced|3100\n"
                          "startup|Direct3D 12, forced|-1\n"
                          "startup|Direct3D 12 (the library exports no interface)|absent\n"
                          "something else\n";
    BenchTable table;
    ASSERT_TRUE(makeBenchTable({}, startup, &table));
    std::vector<std::string> rows = lines(table.markdown);
    ASSERT_EQ(rows.size(), 2u + 4u);
    EXPECT_EQ(rows[2], "| start-up to the first frame: default start | 2.08 s | | | | ≤ 3 s | met |");
    EXPECT_EQ(rows[3], "| start-up to the first frame: OpenGL, forced | 3.10 s | | | | ≤ 3 s | not met |");
    EXPECT_EQ(rows[4], "| start-up to the first frame: Direct3D 12, forced | no frame | | | | ≤ 3 s | not met |");
    EXPECT_EQ(rows[5], "| start-up to the first frame: Direct3D 12 (the library exports no interface) | absent | | | | | |");
    EXPECT_EQ(table.goalsMissed, 2);
}

} // namespace
