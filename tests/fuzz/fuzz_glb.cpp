// ".glb" containers, through loadMesh (every mesh node) and through loadGlb with the
// first node name the text holds, as the level loader reads an entity's part; both
// append to a mesh in format 0 that already holds a triangle.
#include "engine/assets/gltf_mesh.h"
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/memory_files.h"

namespace {

void readInto(const char* nodeName) {
    Mesh mesh = preparedMesh(0);
    MeshSnapshot before = snapshotMesh(&mesh);
    bool ok = nodeName ? loadGlb(&mesh, "models/model.glb", nodeName) : loadMesh(&mesh, "models/model.glb");
    if (ok) {
        FUZZ_CHECK(meshStartsWith(&mesh, &before));
        checkAcceptedMesh(&mesh);
    } else {
        FUZZ_CHECK(meshMatches(&mesh, &before));
        FUZZ_CHECK(refusalNames("models/model.glb"));
    }
    releaseSnapshot(&before);
    releaseMesh(&mesh);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setMemoryFile("models/model.glb", data, size);
    readInto(nullptr);
    char name[64];
    if (firstNodeName(data, size, name)) readInto(name);
    clearMemoryFiles();
    return 0;
}
