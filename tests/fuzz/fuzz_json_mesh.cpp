// JSON meshes, read through loadMesh as the game reads them, into a mesh in format 0
// that already holds a triangle.
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setMemoryFile("model.json", data, size);
    Mesh mesh = preparedMesh(0);
    MeshSnapshot before = snapshotMesh(&mesh);
    if (loadMesh(&mesh, "model.json")) {
        checkAcceptedMesh(&mesh);
    } else {
        FUZZ_CHECK(meshMatches(&mesh, &before));
        FUZZ_CHECK(refusalNames("model.json"));
    }
    releaseSnapshot(&before);
    releaseMesh(&mesh);
    clearMemoryFiles();
    return 0;
}
