#include "app/module_path.h"
#include "engine/platform/files.h"
#include "engine/platform/module_directory.h"
#include "engine/platform/utf.h"

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string.h>

namespace {

void writeFile(const wchar_t* path, const char* bytes, DWORD size) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes, size, &written, nullptr);
    CloseHandle(file);
}

TEST(Win32Files, ModuleDirectoryIsTheProgramsFolderWithForwardSlashes) {
    fixModuleDirectory(GetModuleHandleW(nullptr));
    std::string directory = gModuleDirectory.path;
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '/');
    EXPECT_EQ(directory.find('\\'), std::string::npos);
    EXPECT_EQ(gModuleDirectory.length, directory.size() + 1);
    // The test program itself lives there.
    EXPECT_NE(fileSize("app_win32_tests.exe"), 0u);
}

TEST(Win32Files, ReadsRelativeToTheModuleDirectoryWhateverTheCurrentDirectory) {
    fixModuleDirectory(GetModuleHandleW(nullptr));
    WideText wide;
    std::string path = std::string(gModuleDirectory.path) + "quarlo-\xC3\xA9t\xC3\xA9.txt";
    makeWideText(&wide, path.c_str());
    writeFile(reinterpret_cast<const wchar_t*>(wide.text), "hello", 5);
    SetCurrentDirectoryW(L"C:\\");
    EXPECT_EQ(fileSize("quarlo-\xC3\xA9t\xC3\xA9.txt"), 5u);
    char exact[5];
    EXPECT_EQ(readFile("quarlo-\xC3\xA9t\xC3\xA9.txt", exact, 5), exact);
    EXPECT_EQ(memcmp(exact, "hello", 5), 0);
    // One byte short: the file goes whole into a new array, the caller's stays untouched.
    char small[4] = {'x', 'x', 'x', 'x'};
    char* fresh = readFile("quarlo-\xC3\xA9t\xC3\xA9.txt", small, 4);
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, small);
    EXPECT_EQ(memcmp(fresh, "hello", 5), 0);
    EXPECT_EQ(memcmp(small, "xxxx", 4), 0);
    delete[] fresh;
    // No buffer at all behaves the same.
    char* allocated = readFile("quarlo-\xC3\xA9t\xC3\xA9.txt", nullptr, 0);
    ASSERT_NE(allocated, nullptr);
    EXPECT_EQ(memcmp(allocated, "hello", 5), 0);
    delete[] allocated;
    char* text = readTextFile("quarlo-\xC3\xA9t\xC3\xA9.txt");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "hello");
    delete[] text;
    DeleteFileW(reinterpret_cast<const wchar_t*>(wide.text));
    releaseWideText(&wide);
    EXPECT_EQ(fileSize("quarlo-\xC3\xA9t\xC3\xA9.txt"), 0u);
    EXPECT_EQ(readTextFile("quarlo-\xC3\xA9t\xC3\xA9.txt"), nullptr);
}

TEST(Win32Files, EmptyTextFileIsOneTerminator) {
    fixModuleDirectory(GetModuleHandleW(nullptr));
    std::string path = std::string(gModuleDirectory.path) + "quarlo-empty.txt";
    WideText wide;
    makeWideText(&wide, path.c_str());
    writeFile(reinterpret_cast<const wchar_t*>(wide.text), "", 0);
    char* text = readTextFile("quarlo-empty.txt");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text[0], 0);
    delete[] text;
    DeleteFileW(reinterpret_cast<const wchar_t*>(wide.text));
    releaseWideText(&wide);
}

// Only disk files are read: a folder (a glTF buffer uri of ".") and a device such as NUL
// or CON, which has no size and may never end, count as files that cannot be opened, and
// a caller's buffer is left as it was.
TEST(Win32Files, FoldersAndDevicesCannotBeRead) {
    fixModuleDirectory(GetModuleHandleW(nullptr));
    std::string folder = std::string(gModuleDirectory.path) + "quarlo-folder";
    WideText wide;
    makeWideText(&wide, folder.c_str());
    CreateDirectoryW(reinterpret_cast<const wchar_t*>(wide.text), nullptr);
    for (const char* path : {"quarlo-folder", ".", "NUL", "CON"}) {
        SCOPED_TRACE(path);
        uint32_t size = 7;
        EXPECT_EQ(fileSize(path), 0u);
        EXPECT_EQ(readTextFile(path), nullptr);
        EXPECT_EQ(readFileSized(path, &size), nullptr);
        char buffer[4] = {1, 2, 3, 4};
        EXPECT_EQ(readFile(path, buffer, sizeof buffer), nullptr);
        EXPECT_EQ(buffer[0], 1);
    }
    RemoveDirectoryW(reinterpret_cast<const wchar_t*>(wide.text));
    releaseWideText(&wide);
}

} // namespace
