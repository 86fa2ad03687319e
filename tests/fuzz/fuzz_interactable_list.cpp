// The interactable list ("data/meshes/interactibleNames").
#include "game/scene_files.h"
#include "tests/fuzz/data_file_checks.h"
#include "tests/fuzz/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setMemoryFile("data/meshes/interactibleNames", data, size);
    InteractableList list;
    char reason[256];
    if (readInteractableList("data/meshes/interactibleNames", &list, reason)) {
        for (uint32_t i = 0; i < list.count; ++i) {
            checkDataString(list.records[i].name);
            FUZZ_CHECK(list.records[i].name[0] != 0);
            checkDataString(list.records[i].openingItem);
        }
    } else {
        FUZZ_CHECK(list.count == 0 && list.records == nullptr && memchr(reason, 0, sizeof(reason)) && reason[0]);
    }
    releaseInteractableList(&list);
    clearMemoryFiles();
    return 0;
}
