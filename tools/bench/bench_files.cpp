#include "tools/bench/bench_files.h"

#include <dirent.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>

namespace {

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool endsWith(const std::string& name, const char* extension) {
    size_t n = strlen(extension);
    return name.size() >= n && strcasecmp(name.c_str() + name.size() - n, extension) == 0;
}

void collect(const std::string& folder, const std::vector<const char*>& extensions, std::vector<std::string>* out) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::string path = folder + "/" + entry->d_name;
        if (isFolder(path)) {
            collect(path, extensions, out);
            continue;
        }
        for (const char* extension : extensions)
            if (endsWith(path, extension)) {
                out->push_back(path);
                break;
            }
    }
    closedir(dir);
}

} // namespace

void benchFailure(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    fprintf(stderr, "bench: ");
    vfprintf(stderr, format, arguments);
    fprintf(stderr, "\n");
    va_end(arguments);
    exit(1);
}

std::string requiredFolder(const char* variable, const char* fallback) {
    const char* value = getenv(variable);
    std::string folder = value && value[0] ? value : fallback;
    if (!isFolder(folder)) benchFailure("%s is not a folder (set %s)", folder.c_str(), variable);
    return folder;
}

std::vector<std::string> filesWithExtension(const std::string& folder, const std::vector<const char*>& extensions) {
    std::vector<std::string> files;
    collect(folder, extensions, &files);
    std::sort(files.begin(), files.end());
    return files;
}

std::string workFolder() {
    const char* value = getenv("QUARLO_BENCH_WORK");
    std::string folder = value && value[0] ? value : "build/bench/generated";
    if (!isFolder(folder) && mkdir(folder.c_str(), 0755) != 0)
        benchFailure("cannot create %s (set QUARLO_BENCH_WORK)", folder.c_str());
    return folder;
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return false;
    bytes->clear();
    uint8_t chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0) bytes->insert(bytes->end(), chunk, chunk + got);
    bool ok = !ferror(file);
    fclose(file);
    return ok;
}

uint64_t checksum(const void* bytes, size_t size, uint64_t seed) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    uint64_t hash = seed;
    for (size_t i = 0; i < size; ++i) {
        hash ^= p[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

uint64_t setBitCount(const void* bytes, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    uint64_t count = 0;
    for (size_t i = 0; i < size; ++i) count += static_cast<uint64_t>(__builtin_popcount(p[i]));
    return count;
}

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
