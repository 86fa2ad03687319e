#include "app/backend_library.h"
#include "app/module_path.h"
#include "engine/program/program_state.h"
#include "engine/platform/module_directory.h"
#include "engine/platform/utf.h"

#include <gtest/gtest.h>

#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

void** slots(RendererApi* api) { return reinterpret_cast<void**>(api); }

TEST(BackendBinding, EverySlotHoldsTheExportOfItsName) {
    HMODULE library = LoadLibraryA("TestRecordingBackend.dll");
    ASSERT_NE(library, nullptr);
    RendererApi api = {};
    bindRendererApi(library, &api);
    for (int i = 0; i < RENDERER_ENTRY_POINT_COUNT; ++i) {
        void* expected = reinterpret_cast<void*>(GetProcAddress(library, kRendererEntryPointNames[i]));
        ASSERT_NE(expected, nullptr) << kRendererEntryPointNames[i];
        EXPECT_EQ(slots(&api)[i], expected) << kRendererEntryPointNames[i];
    }
    EXPECT_TRUE(hasCalledEntryPoints(&api));
    FreeLibrary(library);
}

TEST(BackendBinding, MissingNamesLeaveNullSlots) {
    HMODULE library = LoadLibraryA("TestPartialBackend.dll");
    ASSERT_NE(library, nullptr);
    RendererApi api;
    memset(&api, 0xAB, sizeof(api)); // every slot is overwritten, found or not
    bindRendererApi(library, &api);
    EXPECT_NE(api.initRenderer, nullptr);
    EXPECT_NE(api.beginFrameInRenderer, nullptr);
    EXPECT_EQ(api.cleanupRenderer, nullptr);
    EXPECT_EQ(api.cleanupShaderInRenderer, nullptr);
    int bound = 0;
    for (int i = 0; i < RENDERER_ENTRY_POINT_COUNT; ++i) bound += slots(&api)[i] != nullptr;
    EXPECT_EQ(bound, 2);
    EXPECT_FALSE(hasCalledEntryPoints(&api));
    FreeLibrary(library);
}

TEST(BackendBinding, RebindingReachesOnlyTheNewLibrary) {
    HMODULE first = LoadLibraryA("TestRecordingBackend.dll");
    HMODULE second = LoadLibraryA("TestPartialBackend.dll");
    ASSERT_TRUE(first && second);
    RendererApi api = {};
    bindRendererApi(first, &api);
    bindRendererApi(second, &api);
    for (int i = 0; i < RENDERER_ENTRY_POINT_COUNT; ++i) {
        void* stale = reinterpret_cast<void*>(GetProcAddress(first, kRendererEntryPointNames[i]));
        EXPECT_NE(slots(&api)[i], stale) << kRendererEntryPointNames[i];
    }
    FreeLibrary(second);
    FreeLibrary(first);
}

void testResize(int32_t, int32_t) {}
intptr_t testProcedure(void*, uint32_t, uintptr_t, intptr_t) { return 0; }

TEST(BackendBinding, AttachStoresTheResizeHandlerAndRegistersTheProcedure) {
    BackendLibrary library = {LoadLibraryA("TestRecordingBackend.dll"), false};
    ASSERT_NE(library.module, nullptr);
    static RendererState state;
    RendererApi api = {};
    attachBackend(&library, &api, &state, testResize, testProcedure);
    EXPECT_EQ(state.resizeCallback, &testResize);
    EXPECT_NE(api.initRenderer, nullptr);
    unloadBackendLibrary(&library);
    EXPECT_EQ(library.module, nullptr);
}

TEST(BackendBinding, ForcedPathThatDoesNotExistLoadsNothing) {
    BackendLibrary library;
    EXPECT_FALSE(loadBackendLibrary(&library, "Z:/no/such/backend.dll"));
    EXPECT_EQ(library.module, nullptr);
    EXPECT_FALSE(library.mayFallBack);
    EXPECT_TRUE(loadBackendLibrary(&library, "TestRecordingBackend.dll"));
    EXPECT_FALSE(library.mayFallBack);
    unloadBackendLibrary(&library);
}

// The forced path is UTF-8 from the command line; the library behind it loads whatever
// the ANSI code page, and an empty path names nothing.
TEST(BackendBinding, ForcedPathOutsideAsciiLoads) {
    fixModuleDirectory(GetModuleHandleW(nullptr));
    const std::string folder = std::string(gModuleDirectory.path) + "backend-caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC";
    const std::string path = folder + "/back.dll";
    WideText wideFolder, widePath, wideSource;
    makeWideText(&wideFolder, folder.c_str());
    makeWideText(&widePath, path.c_str());
    makeWideText(&wideSource, (std::string(gModuleDirectory.path) + "TestRecordingBackend.dll").c_str());
    CreateDirectoryW(reinterpret_cast<LPCWSTR>(wideFolder.text), nullptr);
    ASSERT_TRUE(CopyFileW(reinterpret_cast<LPCWSTR>(wideSource.text), reinterpret_cast<LPCWSTR>(widePath.text), FALSE));

    BackendLibrary library;
    EXPECT_TRUE(loadBackendLibrary(&library, path.c_str()));
    ASSERT_NE(library.module, nullptr);
    EXPECT_FALSE(library.mayFallBack);
    EXPECT_NE(GetProcAddress(library.module, "initRenderer"), nullptr);
    wchar_t loaded[MAX_PATH] = {};
    GetModuleFileNameW(library.module, loaded, MAX_PATH);
    EXPECT_NE(wcsstr(loaded, L"backend-caf\u00e9 \u65e5\u672c"), nullptr);
    unloadBackendLibrary(&library);

    EXPECT_FALSE(loadBackendLibrary(&library, ""));
    EXPECT_EQ(library.module, nullptr);

    DeleteFileW(reinterpret_cast<LPCWSTR>(widePath.text));
    RemoveDirectoryW(reinterpret_cast<LPCWSTR>(wideFolder.text));
    releaseWideText(&wideFolder);
    releaseWideText(&widePath);
    releaseWideText(&wideSource);
}

} // namespace
