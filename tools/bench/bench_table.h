// The table scripts/bench.sh prints: the benchmark programs' JSON (medians of
// interleaved repetitions) and the start-up probe's lines turned into one Markdown
// table of each pair's times and the ratio engine time / peer time (lower is better),
// against the goal where there is one.
//
// Benchmark names are "row|side", the engine's side being "quarlo". Start-up lines are
// "startup|label|milliseconds" (-1: no frame came; "absent": a backend library that
// exports no interface).
#pragma once

#include <string>
#include <vector>

struct BenchTable {
    std::string markdown;
    int goalsMissed;
    std::vector<std::string> problems; // results that could not be used, and why
};

// False when a text is not benchmark JSON at all.
bool makeBenchTable(const std::vector<std::string>& jsonTexts, const std::string& startupLines, BenchTable* out);
