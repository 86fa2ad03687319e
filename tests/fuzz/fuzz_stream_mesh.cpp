// ".mesh" files (a header and the two arrays, read field by field), through loadMesh.
// The reader replaces the contents and takes the file's vertex format.
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setMemoryFile("model.mesh", data, size);
    Mesh mesh = preparedMesh(0);
    MeshSnapshot before = snapshotMesh(&mesh);
    if (loadMesh(&mesh, "model.mesh")) {
        FUZZ_CHECK(size >= 10 && mesh.vertexFormat == (data[0] | data[1] << 8));
        checkAcceptedMesh(&mesh);
    } else {
        FUZZ_CHECK(meshMatches(&mesh, &before));
        FUZZ_CHECK(refusalNames("model.mesh"));
    }
    releaseSnapshot(&before);
    releaseMesh(&mesh);
    clearMemoryFiles();
    return 0;
}
