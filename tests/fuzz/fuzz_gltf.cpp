// ".gltf" models: the input is the JSON text, a NUL byte, then the buffer file, which
// any URI the text names opens to. Built as loadMesh builds them, into an empty mesh
// in format 0.
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/memory_files.h"

#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t* nul = static_cast<const uint8_t*>(memchr(data, 0, size));
    size_t textSize = nul ? size_t(nul - data) : size;
    setMemoryFile("models/model.gltf", data, textSize);
    if (nul) setOtherFiles(nul + 1, size - textSize - 1);
    Mesh mesh = {};
    if (loadMesh(&mesh, "models/model.gltf")) {
        checkAcceptedMesh(&mesh);
    } else {
        FUZZ_CHECK(mesh.vertexSlotCount == 0 && mesh.indexCount == 0 && mesh.vertexFormat == 0);
        FUZZ_CHECK(refusalNames("models/model.gltf"));
    }
    releaseMesh(&mesh);
    clearMemoryFiles();
    return 0;
}
