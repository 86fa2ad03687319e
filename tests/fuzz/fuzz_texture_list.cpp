// Texture lists ("data/meshes/textures" and every "data/meshes/<object>_textures").
#include "game/scene_files.h"
#include "tests/fuzz/data_file_checks.h"
#include "tests/fuzz/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setMemoryFile("data/meshes/textures", data, size);
    TextureList list;
    char reason[256];
    if (readTextureList("data/meshes/textures", &list, reason)) {
        for (uint32_t i = 0; i < list.count; ++i) checkDataString(list.paths[i]);
    } else {
        FUZZ_CHECK(list.count == 0 && list.paths == nullptr && memchr(reason, 0, sizeof(reason)) && reason[0]);
    }
    releaseTextureList(&list);
    clearMemoryFiles();
    return 0;
}
