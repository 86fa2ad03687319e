// glTF mesh building in every vertex format: the first byte picks the format (the
// game's 0, 3 and 8, the packed colour of 6, and every other), the rest is a ".glb"
// container, built with loadGlb into an empty mesh of that format.
#include "backend/vertex_formats.h"
#include "engine/assets/gltf_mesh.h"
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    int32_t format = data[0] % VERTEX_FORMAT_COUNT;
    setMemoryFile("model.glb", data + 1, size - 1);
    Mesh mesh = {};
    mesh.vertexFormat = format;
    if (loadGlb(&mesh, "model.glb", nullptr)) {
        FUZZ_CHECK(mesh.vertexFormat == format);
        checkAcceptedMesh(&mesh);
    } else {
        FUZZ_CHECK(mesh.vertexSlotCount == 0 && mesh.indexCount == 0 && mesh.vertexFormat == format);
        FUZZ_CHECK(refusalNames("model.glb"));
    }
    releaseMesh(&mesh);
    clearMemoryFiles();
    return 0;
}
