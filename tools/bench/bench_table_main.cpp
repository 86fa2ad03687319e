// quarlo_bench_table [--startup FILE] results.json ...
// Prints the table of ratios (tools/bench/bench_table.h) and the number of goals not met.
#include "tools/bench/bench_table.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

bool readText(const char* path, std::string* text) {
    FILE* file = fopen(path, "rb");
    if (!file) return false;
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0) text->append(chunk, got);
    fclose(file);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::string startup;
    std::vector<std::string> results;
    for (int i = 1; i < argc; ++i) {
        bool isStartup = strcmp(argv[i], "--startup") == 0 && i + 1 < argc;
        const char* path = isStartup ? argv[++i] : argv[i];
        std::string text;
        if (!readText(path, &text)) {
            fprintf(stderr, "bench table: cannot read %s\n", path);
            return 1;
        }
        if (isStartup) startup += text;
        else results.push_back(text);
    }
    BenchTable table;
    if (!makeBenchTable(results, startup, &table)) {
        fprintf(stderr, "bench table: a file is not a benchmark result\n");
        return 1;
    }
    for (const std::string& problem : table.problems) fprintf(stderr, "bench table: %s\n", problem.c_str());
    printf("%s\nGoals not met: %d\n", table.markdown.c_str(), table.goalsMissed);
    return 0;
}
