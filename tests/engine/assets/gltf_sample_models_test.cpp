// Every glTF and GLB file of Debian's assimp-testmodels, which nobody here wrote: each
// is either loaded or refused with a reason, and where assimp reads the same file the
// vertex and index counts and the world-space positions agree with it.
#include "backend/vertex_formats.h"
#include "engine/assets/asset_refusal.h"
#include "engine/assets/bytes.h"
#include "engine/assets/gltf_mesh.h"
#include "engine/platform/files.h"

#include <assimp/cimport.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <ftw.h>
#include <math.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gFiles;

int collect(const char* path, const struct stat*, int type, struct FTW*) {
    if (type != FTW_F) return 0;
    size_t n = strlen(path);
    if ((n > 5 && strcmp(path + n - 5, ".gltf") == 0) || (n > 4 && strcmp(path + n - 4, ".glb") == 0))
        gFiles.push_back(path);
    return 0;
}

bool isGlb(const std::string& path) { return path.size() > 4 && path.compare(path.size() - 4, 4, ".glb") == 0; }

// Our own reading of the document, for the node order and names.
bool readDocument(const std::string& path, GltfDocument* document) {
    uint32_t size = 0;
    char* file = readFileSized(path.c_str(), &size);
    if (!file) return false;
    char uri[GLTF_URI_CAPACITY];
    uint32_t length = 0;
    int ok = 0;
    if (!isGlb(path)) {
        ok = parseGltfDocumentText(file, size, uri, &length, document);
    } else if (size >= 20) {
        uint32_t json = readU32(reinterpret_cast<const unsigned char*>(file) + 12);
        if (json <= size - 20) ok = parseGltfDocumentText(file + 20, json, nullptr, &length, document);
    }
    delete[] file;
    return ok == 1;
}

struct PlacedNode {
    const aiNode* node;
    aiMatrix4x4 world;
};

void flatten(const aiNode* node, const aiMatrix4x4& parent, std::multimap<std::string, PlacedNode>* out) {
    aiMatrix4x4 world = parent * node->mTransformation;
    out->insert({node->mName.C_Str(), PlacedNode{node, world}});
    for (unsigned i = 0; i < node->mNumChildren; ++i) flatten(node->mChildren[i], world, out);
}

bool near(float ours, float theirs) {
    if (isnan(theirs)) return isnan(ours);
    if (isinf(theirs)) return ours == theirs;
    return fabsf(ours - theirs) <= 1e-4f * std::max(1.0f, fabsf(theirs));
}

// What assimp makes of the same selection: the first primitive of the first mesh node
// (".gltf"), or every primitive of every mesh node in node order (".glb"). Empty
// `why` when comparable.
struct Expected {
    std::string why;
    std::vector<aiVector3D> positions;
    std::vector<uint32_t> indices;
    bool compareIndices = true;
};

Expected expectedFromAssimp(const std::string& path, const GltfDocument& document, const aiScene* scene) {
    Expected e;
    std::multimap<std::string, PlacedNode> nodes;
    flatten(scene->mRootNode, aiMatrix4x4(), &nodes);
    bool glb = isGlb(path);
    for (uint32_t k = 0; k < document.nodes.count; ++k) {
        const GltfNode& node = document.nodes.elements[k];
        if (node.mesh < 0) continue;
        std::string name = node.name ? node.name : "nodes[" + std::to_string(k) + "]";
        if (nodes.count(name) != 1) {
            e.why = "node '" + name + "' is " + (nodes.count(name) ? "not unique" : "outside assimp's scene");
            return e;
        }
        const PlacedNode& placed = nodes.find(name)->second;
        const GltfMesh& mesh = document.meshes.elements[node.mesh];
        uint32_t primitives = glb ? mesh.primitives.count : std::min(1u, mesh.primitives.count);
        if (placed.node->mNumMeshes < primitives) {
            e.why = "assimp kept fewer primitives of node '" + name + "'";
            return e;
        }
        for (uint32_t p = 0; p < primitives; ++p) {
            const aiMesh* m = scene->mMeshes[placed.node->mMeshes[p]];
            int32_t mode = mesh.primitives.elements[p].mode;
            if ((mode != -1 && mode != 4) || m->mPrimitiveTypes != aiPrimitiveType_TRIANGLE) e.compareIndices = false;
            uint32_t base = static_cast<uint32_t>(e.positions.size());
            for (unsigned f = 0; f < m->mNumFaces; ++f)
                for (unsigned i = 0; i < m->mFaces[f].mNumIndices; ++i)
                    e.indices.push_back((glb ? base : 0) + m->mFaces[f].mIndices[i]);
            for (unsigned v = 0; v < m->mNumVertices; ++v) e.positions.push_back(placed.world * m->mVertices[v]);
        }
        if (!glb) break;
    }
    return e;
}

TEST(GltfSampleModels, EveryFileLoadsOrIsRefusedAndMatchesAssimp) {
    gFiles.clear();
    nftw(QUARLO_SAMPLE_MODELS_DIR "/glTF", collect, 16, FTW_PHYS);
    nftw(QUARLO_SAMPLE_MODELS_DIR "/glTF2", collect, 16, FTW_PHYS);
    ASSERT_FALSE(gFiles.empty()) << "missing fixture: no glTF files under " QUARLO_SAMPLE_MODELS_DIR " (assimp-testmodels)";
    std::sort(gFiles.begin(), gFiles.end());

    int loaded = 0, refused = 0, compared = 0;
    for (const std::string& path : gFiles) {
        SCOPED_TRACE(path);
        Mesh mesh = {}; // format 0
        bool ok = isGlb(path) ? loadGlb(&mesh, path.c_str(), nullptr) : loadGltf(&mesh, path.c_str());
        if (!ok) {
            ++refused;
            EXPECT_EQ(mesh.vertexSlotCount, 0u);
            EXPECT_EQ(mesh.indexCount, 0u);
            EXPECT_NE(assetRefusal()[0], 0);
            printf("refused   %s\n          %s\n", path.c_str(), assetRefusal());
            releaseMesh(&mesh);
            continue;
        }
        ++loaded;
        uint32_t vertexCount = meshVertexCount(&mesh);
        EXPECT_EQ(mesh.vertexSlotCount, vertexCount * 11);
        for (uint32_t i = 0; i < mesh.indexCount; ++i) ASSERT_LT(mesh.indices[i], vertexCount) << "index " << i;

        GltfDocument document = {};
        ASSERT_TRUE(readDocument(path, &document));
        const aiScene* scene = aiImportFile(path.c_str(), 0);
        std::string why;
        if (!scene) {
            why = std::string("assimp refuses it: ") + aiGetErrorString();
        } else {
            Expected e = expectedFromAssimp(path, document, scene);
            why = e.why;
            if (why.empty()) {
                ++compared;
                ASSERT_EQ(vertexCount, e.positions.size());
                int mismatches = 0;
                for (uint32_t v = 0; v < vertexCount && mismatches < 5; ++v) {
                    const float* p = mesh.vertices + v * 11;
                    if (near(p[0], e.positions[v].x) && near(p[1], e.positions[v].y) && near(p[2], e.positions[v].z))
                        continue;
                    ++mismatches;
                    ADD_FAILURE() << "vertex " << v << ": (" << p[0] << ", " << p[1] << ", " << p[2] << ") against ("
                                  << e.positions[v].x << ", " << e.positions[v].y << ", " << e.positions[v].z << ")";
                }
                if (e.compareIndices) {
                    ASSERT_EQ(mesh.indexCount, e.indices.size());
                    EXPECT_TRUE(std::equal(e.indices.begin(), e.indices.end(), mesh.indices));
                } else {
                    why = "positions only: assimp turns points, lines, strips and fans into other faces";
                }
            }
            aiReleaseImport(scene);
        }
        printf("loaded    %s: %u vertices, %u indices%s%s\n", path.c_str(), vertexCount, mesh.indexCount,
               why.empty() ? ", same as assimp" : "\n          not compared with assimp: ",
               why.empty() ? "" : why.c_str());
        releaseGltfDocument(&document);
        releaseMesh(&mesh);
    }
    printf("%d files: %d loaded, %d refused, %d compared with assimp\n", static_cast<int>(gFiles.size()), loaded,
           refused, compared);
    // The set holds a dozen and more well-formed models; a reader that refused them all
    // or compared none would pass the loop above.
    EXPECT_GE(compared, 15);
}

} // namespace
