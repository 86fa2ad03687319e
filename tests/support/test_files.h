// Scratch files for reader tests: a fresh directory per test (made the module
// directory, so the readers' relative paths land in it), byte tables written as files.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// Builds a little-endian byte table field by field.
struct ByteTable {
    std::vector<unsigned char> bytes;

    ByteTable& u8(uint32_t v) {
        bytes.push_back(static_cast<unsigned char>(v));
        return *this;
    }
    ByteTable& u16(uint32_t v) { return u8(v).u8(v >> 8); }
    ByteTable& u32(uint32_t v) { return u16(v).u16(v >> 16); }
    ByteTable& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
    ByteTable& f32(float v);
    ByteTable& text(const char* s); // the characters, no terminator
    ByteTable& zeros(size_t n) {
        bytes.insert(bytes.end(), n, 0);
        return *this;
    }
    ByteTable& append(const ByteTable& other) {
        bytes.insert(bytes.end(), other.bytes.begin(), other.bytes.end());
        return *this;
    }
    size_t size() const { return bytes.size(); }
};

// A new empty directory under the system's temporary folder, made the module
// directory (gModuleDirectory); removed again by leaveTestDirectory.
std::string enterTestDirectory(const char* tag);
void leaveTestDirectory(const std::string& directory);

// Writes a file relative to the module directory; false on an I/O error.
bool writeTestFile(const std::string& directory, const char* name, const void* bytes, size_t size);
bool writeTestFile(const std::string& directory, const char* name, const ByteTable& table);
bool writeTestFile(const std::string& directory, const char* name, const std::string& text);
