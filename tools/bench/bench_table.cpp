#include "tools/bench/bench_table.h"

#include <rapidjson/document.h>
#include <stdarg.h>
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
    {"glTF/GLB", "assimp", 1.0 / 3.0, "≤ 0.33 (3 × faster)"},
    {"PNG", "stb_image", 1.0, "≤ 1 (as fast)"},
    {".dmesh", "read+memcpy", 2.0, "≤ 2 (half the limit)"},
    {"atlas", "stb_truetype", 1.0, "≤ 1 (as fast)"},
};
const double kStartupGoalMs = 3000.0;

struct Measure {
    std::string row;
    std::string side;
    double microseconds; // median CPU time of one iteration
    double itemsPerSecond;
};

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

bool readResults(const std::string& text, std::vector<Measure>* measures, std::vector<std::string>* problems) {
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
        std::string name = b["run_name"].GetString();
        if (b.HasMember("error_occurred") && b["error_occurred"].IsBool() && b["error_occurred"].GetBool()) {
            problems->push_back(name + " failed");
            continue;
        }
        size_t bar = name.rfind('|');
        if (bar == std::string::npos || !b.HasMember("cpu_time") || !b["cpu_time"].IsNumber() ||
            !b.HasMember("time_unit") || !b["time_unit"].IsString()) {
            problems->push_back(name + ": no engine or peer side, or no time");
            continue;
        }
        Measure m;
        m.row = name.substr(0, bar);
        m.side = name.substr(bar + 1);
        m.microseconds = toMicroseconds(b["cpu_time"].GetDouble(), b["time_unit"].GetString());
        m.itemsPerSecond =
            b.HasMember("items_per_second") && b["items_per_second"].IsNumber() ? b["items_per_second"].GetDouble() : 0.0;
        measures->push_back(m);
    }
    return true;
}

void appendLine(std::string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void appendLine(std::string* out, const char* format, ...) {
    char line[1024];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(line, sizeof(line), format, arguments);
    va_end(arguments);
    out->append(line);
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

int appendStartup(const std::string& lines, std::string* out) {
    int missed = 0;
    size_t at = 0;
    while (at < lines.size()) {
        size_t end = lines.find('\n', at);
        if (end == std::string::npos) end = lines.size();
        std::string line = lines.substr(at, end - at);
        at = end + 1;
        size_t first = line.find('|'), last = line.rfind('|');
        if (first == std::string::npos || last == first || line.compare(0, first, "startup") != 0) continue;
        std::string label = line.substr(first + 1, last - first - 1);
        std::string value = line.substr(last + 1);
        const char* goal = "≤ 3 s";
        if (value == "absent") {
            appendLine(out, "| start-up to the first frame: %s | absent | | | | | |\n", label.c_str());
            continue;
        }
        double ms = atof(value.c_str());
        if (ms < 0) {
            appendLine(out, "| start-up to the first frame: %s | no frame | | | | %s | not met |\n", label.c_str(), goal);
            ++missed;
            continue;
        }
        bool met = ms <= kStartupGoalMs;
        appendLine(out, "| start-up to the first frame: %s | %s | | | | %s | %s |\n", label.c_str(),
                   formatTime(ms * 1000.0).c_str(), goal, met ? "met" : "not met");
        if (!met) ++missed;
    }
    return missed;
}

} // namespace

bool makeBenchTable(const std::vector<std::string>& jsonTexts, const std::string& startupLines, BenchTable* out) {
    out->markdown.clear();
    out->goalsMissed = 0;
    out->problems.clear();
    std::vector<Measure> measures;
    for (const std::string& text : jsonTexts)
        if (!readResults(text, &measures, &out->problems)) return false;
    std::stable_sort(measures.begin(), measures.end(), rowBefore);
    std::string* md = &out->markdown;
    md->append("| benchmark | engine | peer | peer time | engine / peer | goal | |\n");
    md->append("| --- | --- | --- | --- | --- | --- | --- |\n");
    for (const Measure& ours : measures) {
        if (ours.side != "quarlo") continue;
        bool hasPeer = false;
        for (const Measure& peer : measures) {
            if (peer.row != ours.row || peer.side == "quarlo") continue;
            hasPeer = true;
            double ratio = ours.microseconds / peer.microseconds;
            const Goal* goal = goalFor(ours.row, peer.side);
            bool met = !goal || ratio <= goal->ratio;
            if (!met) ++out->goalsMissed;
            appendLine(md, "| %s | %s | %s | %s | %.2f | %s | %s |\n", ours.row.c_str(),
                       formatTime(ours.microseconds).c_str(), peer.side.c_str(), formatTime(peer.microseconds).c_str(),
                       ratio, goal ? goal->text : "", !goal ? "" : met ? "met" : "not met");
        }
        if (!hasPeer) {
            char rate[64] = "";
            if (ours.itemsPerSecond > 0)
                snprintf(rate, sizeof(rate), " (%.2f M glyphs/s)", ours.itemsPerSecond / 1e6);
            appendLine(md, "| %s | %s%s | | | | | |\n", ours.row.c_str(), formatTime(ours.microseconds).c_str(), rate);
        }
    }
    out->goalsMissed += appendStartup(startupLines, md);
    return true;
}
