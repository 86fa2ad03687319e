#include "engine/assets/asset_refusal.h"
#include "engine/assets/binary_mesh.h"
#include "engine/assets/gltf_mesh.h"
#include "engine/assets/json_mesh.h"
#include "engine/assets/mesh.h"

#include <string.h>

bool loadMesh(Mesh* mesh, const char* path) {
    clearAssetRefusal();
    // The first name of this list found anywhere in the path decides, so "a.mesh.glb"
    // is a ".mesh" file.
    if (strstr(path, ".json")) return loadJsonMesh(mesh, path);
    if (strstr(path, ".mesh")) return readStreamMesh(mesh, path);
    if (strstr(path, ".dmesh")) return readImageMesh(mesh, path);
    if (strstr(path, ".gltf")) return loadGltf(mesh, path);
    if (strstr(path, ".glb")) return loadGlb(mesh, path, nullptr);
    return refuseAsset("%s: no mesh reader for this name", path);
}
