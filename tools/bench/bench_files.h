// What every benchmark program shares: where its input files are, reading them, and
// the checksums that show both sides of a pair produced the same result.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// A folder the benchmarks read, from an environment variable or a default. A folder
// that is not there ends the program with a message naming it and the variable: a
// benchmark never quietly runs on fewer files.
std::string requiredFolder(const char* variable, const char* fallback);

// Files under folder (recursively) whose names end with one of the extensions
// (".png"; compared without regard to case), sorted by path.
std::vector<std::string> filesWithExtension(const std::string& folder, const std::vector<const char*>& extensions);

// The folder for files the benchmarks generate (QUARLO_BENCH_WORK, default
// build/bench/generated beside the data folder), created when missing.
std::string workFolder();

bool readWholeFile(const std::string& path, std::vector<uint8_t>* bytes);

// 64-bit FNV-1a of a block.
uint64_t checksum(const void* bytes, size_t size, uint64_t seed = 14695981039346656037ull);

// The number of set bits of a block: unchanged by any reordering of its bits, such as
// flipping rows or blocks.
uint64_t setBitCount(const void* bytes, size_t size);

// Ends the program with a message (a check of the benchmarks' own inputs failed).
[[noreturn]] void benchFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The last path element, for messages and benchmark names.
std::string baseName(const std::string& path);
