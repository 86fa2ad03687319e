// ".dmesh" memory images, through loadMesh. The caller prepares the mesh in the format
// the file holds (the level loader prepares format 0), so the mesh is prepared in the
// stored format when that is one, else in format 0.
#include "backend/vertex_formats.h"
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setMemoryFile("level.dmesh", data, size);
    int32_t stored = size >= 4 ? int32_t(data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24) : 0;
    Mesh mesh = preparedMesh(isVertexFormat(stored) ? stored : 0);
    int32_t format = mesh.vertexFormat;
    MeshSnapshot before = snapshotMesh(&mesh);
    if (loadMesh(&mesh, "level.dmesh")) {
        FUZZ_CHECK(mesh.vertexFormat == format);
        checkAcceptedMesh(&mesh);
    } else {
        FUZZ_CHECK(meshMatches(&mesh, &before));
        FUZZ_CHECK(refusalNames("level.dmesh"));
    }
    releaseSnapshot(&before);
    releaseMesh(&mesh);
    clearMemoryFiles();
    return 0;
}
