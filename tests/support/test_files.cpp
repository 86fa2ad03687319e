#include "tests/support/test_files.h"

#include "engine/platform/module_directory.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

ByteTable& ByteTable::f32(float v) {
    uint32_t bits;
    memcpy(&bits, &v, sizeof(bits));
    return u32(bits);
}

ByteTable& ByteTable::text(const char* s) {
    bytes.insert(bytes.end(), s, s + strlen(s));
    return *this;
}

std::string enterTestDirectory(const char* tag) {
    std::string directory;
#if defined(_WIN32)
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter;
    for (;;) {
        char name[MAX_PATH + 64];
        snprintf(name, sizeof(name), "%squarlo-%s-%lu-%u", base, tag, GetCurrentProcessId(), counter++);
        if (CreateDirectoryA(name, nullptr)) {
            directory = name;
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    }
    for (char& c : directory)
        if (c == '\\') c = '/';
#else
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quarlo-" + tag + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back(0);
    if (!mkdtemp(buffer.data())) return std::string();
    directory = buffer.data();
#endif
    setModuleDirectory(directory.c_str());
    return directory;
}

void leaveTestDirectory(const std::string& directory) {
    gModuleDirectory = ModuleDirectory{};
    if (directory.empty()) return;
#if defined(_WIN32)
    SetCurrentDirectoryA(getenv("SystemRoot") ? getenv("SystemRoot") : "C:/");
    std::string pattern = directory + "/*";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
                DeleteFileA((directory + "/" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(directory.c_str());
#else
    if (chdir("/") != 0) return;
    std::string command = "rm -rf '" + directory + "'";
    if (system(command.c_str()) != 0) fprintf(stderr, "could not remove %s\n", directory.c_str());
#endif
}

bool writeTestFile(const std::string& directory, const char* name, const void* bytes, size_t size) {
    std::string path = directory + "/" + name;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = size == 0 || fwrite(bytes, 1, size, file) == size;
    return fclose(file) == 0 && ok;
}

bool writeTestFile(const std::string& directory, const char* name, const ByteTable& table) {
    return writeTestFile(directory, name, table.bytes.data(), table.bytes.size());
}

bool writeTestFile(const std::string& directory, const char* name, const std::string& text) {
    return writeTestFile(directory, name, text.data(), text.size());
}
