// The entities file ("data/meshes/entities": cameras, then placed entities).
#include "game/scene_files.h"
#include "tests/fuzz/data_file_checks.h"
#include "tests/fuzz/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setMemoryFile("data/meshes/entities", data, size);
    EntityList list;
    char reason[256];
    if (readEntityList("data/meshes/entities", &list, reason)) {
        for (uint32_t i = 0; i < list.cameraCount; ++i) checkDataString(list.cameras[i].name);
        for (uint32_t i = 0; i < list.entityCount; ++i) {
            checkDataString(list.entities[i].name);
            checkDataString(list.entities[i].modelPath);
            checkDataString(list.entities[i].partName);
        }
    } else {
        FUZZ_CHECK(list.cameraCount == 0 && list.entityCount == 0 && list.cameras == nullptr &&
                   list.entities == nullptr && memchr(reason, 0, sizeof(reason)) && reason[0]);
    }
    releaseEntityList(&list);
    clearMemoryFiles();
    return 0;
}
