// Reads the JSON that the benchmark programs write (medians of interleaved
// repetitions) and the start-up probe's lines, and prints one Markdown table: each
// pair's times and the ratio engine time / peer time (lower is better), against the
// goal where there is one.
//   quarlo_bench_table [--startup FILE] results.json ...
// Benchmark names are "row|side", the engine's side being "quarlo". Start-up lines are
// "startup|label|milliseconds" (milliseconds -1: no frame came; "absent": a backend
// library that exports no interface).
#include <rapidjson/document.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Goal {
    const char* rowPrefix;
    const char* peer;
    double ratio; // the engine's time over the peer's, at most
    const char* text;
};

const Goal kGoals[] = {
    {"glTF/GLB", "assimp", 1.0 / 3.0, "<= 0.33 (3 x faster)"},
    {"PNG", "stb_image", 1.0, "<= 1 (as fast)"},
    {".dmesh", "read+memcpy", 2.0, "<= 2 (half the limit)"},
    {"atlas", "stb_truetype", 1.0, "<= 1 (as fast)"},
};
const double kStartupGoalMs = 3000.0;

struct Measure {
    std::string row;
    std::string side;
    double microseconds; // median CPU time of one iteration
    double itemsPerSecond;
};

std::vector<Measure> gMeasures;

// The table's order of kinds; rows of one kind by name. (The JSON lists runs in the
// random order they were interleaved in.)
const char* const kKindOrder[] = {"glTF/GLB", ".dmesh", "PNG", "BMP", "DDS", "atlas", "layout"};

int kindRank(const std::string& row) {
    int rank = 0;
    for (const char* kind : kKindOrder) {
        if (row.compare(0, strlen(kind), kind) == 0) return rank;
        ++rank;
    }
    return rank;
}

bool rowBefore(const Measure& a, const Measure& b) {
    int x = kindRank(a.row), y = kindRank(b.row);
    if (x != y) return x < y;
    if (a.row != b.row) return a.row < b.row;
    return a.side < b.side;
}

double toMicroseconds(double value, const char* unit) {
    if (strcmp(unit, "ns") == 0) return value / 1000.0;
    if (strcmp(unit, "ms") == 0) return value * 1000.0;
    if (strcmp(unit, "s") == 0) return value * 1e6;
    return value;
}

bool readResults(const char* path) {
    FILE* file = fopen(path, "rb");
    if (!file) return false;
    std::string text;
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0) text.append(chunk, got);
    fclose(file);
    rapidjson::Document document;
    document.Parse(text.c_str());
    if (document.HasParseError() || !document.IsObject() || !document.HasMember("benchmarks") ||
        !document["benchmarks"].IsArray())
        return false;
    for (const rapidjson::Value& b : document["benchmarks"].GetArray()) {
        if (!b.IsObject() || !b.HasMember("run_name") || !b["run_name"].IsString()) continue;
        // Repeated runs give aggregates; a single run is its own median.
        if (b.HasMember("aggregate_name")) {
            if (!b["aggregate_name"].IsString() || strcmp(b["aggregate_name"].GetString(), "median") != 0) continue;
        } else if (b.HasMember("repetitions") && b["repetitions"].IsInt() && b["repetitions"].GetInt() > 1) {
            continue;
        }
        if (b.HasMember("error_occurred") && b["error_occurred"].IsBool() && b["error_occurred"].GetBool()) {
            fprintf(stderr, "bench table: %s failed\n", b["run_name"].GetString());
            continue;
        }
        std::string name = b["run_name"].GetString();
        size_t bar = name.rfind('|');
        if (bar == std::string::npos || !b.HasMember("cpu_time") || !b.HasMember("time_unit")) continue;
        Measure m;
        m.row = name.substr(0, bar);
        m.side = name.substr(bar + 1);
        m.microseconds = toMicroseconds(b["cpu_time"].GetDouble(), b["time_unit"].GetString());
        m.itemsPerSecond = b.HasMember("items_per_second") ? b["items_per_second"].GetDouble() : 0.0;
        gMeasures.push_back(m);
    }
    return true;
}

std::string formatTime(double microseconds) {
    char text[64];
    if (microseconds >= 1e6) snprintf(text, sizeof(text), "%.2f s", microseconds / 1e6);
    else if (microseconds >= 1e3) snprintf(text, sizeof(text), "%.2f ms", microseconds / 1e3);
    else snprintf(text, sizeof(text), "%.1f µs", microseconds);
    return text;
}

const Goal* goalFor(const std::string& row, const std::string& peer) {
    for (const Goal& goal : kGoals)
        if (row.compare(0, strlen(goal.rowPrefix), goal.rowPrefix) == 0 && peer == goal.peer) return &goal;
    return nullptr;
}

int printStartup(const char* path) {
    FILE* file = fopen(path, "r");
    if (!file) {
        fprintf(stderr, "bench table: cannot read %s\n", path);
        return 1;
    }
    char line[512];
    int missed = 0;
    while (fgets(line, sizeof(line), file)) {
        char* fields[3] = {};
        int n = 0;
        for (char* p = strtok(line, "|\n"); p && n < 3; p = strtok(nullptr, "|\n")) fields[n++] = p;
        if (n != 3 || strcmp(fields[0], "startup") != 0) continue;
        if (strcmp(fields[2], "absent") == 0) {
            printf("| start-up to the first frame: %s | absent | | | | |\n", fields[1]);
            continue;
        }
        double ms = atof(fields[2]);
        if (ms < 0) {
            printf("| start-up to the first frame: %s | no frame | | | ≤ %.0f s | not met |\n", fields[1],
                   kStartupGoalMs / 1000.0);
            ++missed;
        } else {
            printf("| start-up to the first frame: %s | %s | | | ≤ %.0f s | %s |\n", fields[1],
                   formatTime(ms * 1000.0).c_str(), kStartupGoalMs / 1000.0, ms <= kStartupGoalMs ? "met" : "not met");
            if (ms > kStartupGoalMs) ++missed;
        }
    }
    fclose(file);
    return missed;
}

} // namespace

int main(int argc, char** argv) {
    const char* startup = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--startup") == 0 && i + 1 < argc) {
            startup = argv[++i];
            continue;
        }
        if (!readResults(argv[i])) {
            fprintf(stderr, "bench table: %s is not a benchmark result\n", argv[i]);
            return 1;
        }
    }
    std::stable_sort(gMeasures.begin(), gMeasures.end(), rowBefore);
    printf("| benchmark | engine | peer | peer time | engine / peer | goal | |\n");
    printf("| --- | --- | --- | --- | --- | --- | --- |\n");
    int missed = 0;
    for (const Measure& ours : gMeasures) {
        if (ours.side != "quarlo") continue;
        bool hasPeer = false;
        for (const Measure& peer : gMeasures) {
            if (peer.row != ours.row || peer.side == "quarlo") continue;
            hasPeer = true;
            double ratio = ours.microseconds / peer.microseconds;
            const Goal* goal = goalFor(ours.row, peer.side);
            const char* verdict = !goal ? "" : ratio <= goal->ratio ? "met" : "not met";
            if (goal && ratio > goal->ratio) ++missed;
            printf("| %s | %s | %s | %s | %.2f | %s | %s |\n", ours.row.c_str(), formatTime(ours.microseconds).c_str(),
                   peer.side.c_str(), formatTime(peer.microseconds).c_str(), ratio, goal ? goal->text : "",
                   verdict);
        }
        if (!hasPeer) {
            char rate[64] = "";
            if (ours.itemsPerSecond > 0) snprintf(rate, sizeof(rate), "%.2f M glyphs/s", ours.itemsPerSecond / 1e6);
            printf("| %s | %s (%s) | | | | | |\n", ours.row.c_str(), formatTime(ours.microseconds).c_str(), rate);
        }
    }
    if (startup) missed += printStartup(startup);
    printf("\nGoals not met: %d\n", missed);
    return 0;
}
