// Mesh loading: glTF and GLB to one mesh in world space against assimp (with only the
// post-processing that gives the same result: vertices pre-transformed to world
// space, smooth normals where a file has none, v flipped), and ".dmesh" against the
// limit of one read and one copy of the same file.
#include "backend/vertex_formats.h"
#include "engine/assets/binary_mesh.h"
#include "engine/assets/bytes.h"
#include "engine/assets/mesh.h"
#include "tools/bench/bench_files.h"
#include "tools/bench/generated_assets.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

const unsigned kAssimpSteps = aiProcess_PreTransformVertices | aiProcess_GenSmoothNormals | aiProcess_FlipUVs;

// What both sides made of one file: counts, and the sum of the world-space positions
// (which catches a wrong transform whatever order the meshes come in).
struct MeshSummary {
    bool loaded;
    uint64_t vertices;
    uint64_t indices;
    double positionSum[3];
    double magnitude; // sum of |coordinates|, the scale for comparing the sums
};

MeshSummary quarloSummary(const std::string& path) {
    MeshSummary s = {};
    Mesh mesh = {};
    s.loaded = loadMesh(&mesh, path.c_str());
    if (!s.loaded) return s;
    uint32_t slots = static_cast<uint32_t>(vertexFormatSlots(mesh.vertexFormat));
    s.vertices = meshVertexCount(&mesh);
    s.indices = mesh.indexCount;
    for (uint64_t v = 0; v < s.vertices; ++v)
        for (int c = 0; c < 3; ++c) {
            double x = mesh.vertices[v * slots + c];
            s.positionSum[c] += x;
            s.magnitude += fabs(x);
        }
    releaseMesh(&mesh);
    return s;
}

MeshSummary assimpSummary(Assimp::Importer* importer, const std::string& path, std::string* why) {
    MeshSummary s = {};
    const aiScene* scene = importer->ReadFile(path, kAssimpSteps);
    if (!scene) {
        *why = importer->GetErrorString();
        return s;
    }
    s.loaded = true;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        s.vertices += mesh->mNumVertices;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) s.indices += mesh->mFaces[f].mNumIndices;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v)
            for (int c = 0; c < 3; ++c) {
                double x = mesh->mVertices[v][c];
                s.positionSum[c] += x;
                s.magnitude += fabs(x);
            }
    }
    importer->FreeScene();
    return s;
}

// Why the two summaries differ, or empty when they agree.
std::string difference(const MeshSummary& a, const MeshSummary& b) {
    char text[200];
    if (a.vertices != b.vertices || a.indices != b.indices) {
        snprintf(text, sizeof(text), "%llu vertices / %llu indices against %llu / %llu",
                 static_cast<unsigned long long>(a.vertices), static_cast<unsigned long long>(a.indices),
                 static_cast<unsigned long long>(b.vertices), static_cast<unsigned long long>(b.indices));
        return text;
    }
    if (a.vertices == 0) return "no vertices";
    double tolerance = 1e-4 * (a.magnitude > 1.0 ? a.magnitude : 1.0);
    for (int c = 0; c < 3; ++c)
        if (fabs(a.positionSum[c] - b.positionSum[c]) > tolerance) {
            snprintf(text, sizeof(text), "positions differ: sum of axis %d is %g against %g", c, a.positionSum[c],
                     b.positionSum[c]);
            return text;
        }
    return "";
}

uint64_t totalSize(const std::vector<std::string>& paths) {
    uint64_t total = 0;
    for (const std::string& path : paths) {
        struct stat info;
        if (stat(path.c_str(), &info) == 0) total += static_cast<uint64_t>(info.st_size);
    }
    return total;
}

// ---- glTF and GLB

// Keeps the files both readers accept and agree on. With `required`, a file they do not
// agree on ends the program (the game's own files and the generated one must agree).
std::vector<std::string> agreedModels(const std::vector<std::string>& candidates, bool required) {
    Assimp::Importer importer;
    std::vector<std::string> kept;
    for (const std::string& path : candidates) {
        std::string why;
        MeshSummary ours = quarloSummary(path);
        MeshSummary theirs = assimpSummary(&importer, path, &why);
        if (!ours.loaded) why = "refused by the engine";
        else if (!theirs.loaded) why = "refused by assimp: " + why;
        else why = difference(ours, theirs);
        if (why.empty()) {
            kept.push_back(path);
        } else if (required) {
            benchFailure("%s: the engine and assimp disagree (%s)", path.c_str(), why.c_str());
        } else {
            fprintf(stderr, "bench: left out %s: %s\n", path.c_str(), why.c_str());
        }
    }
    return kept;
}

void quarloModels(benchmark::State& state, const std::vector<std::string>& paths, uint64_t bytes) {
    for (auto _ : state)
        for (const std::string& path : paths) {
            Mesh mesh = {};
            if (!loadMesh(&mesh, path.c_str())) state.SkipWithError("the engine refused a file it read before");
            benchmark::DoNotOptimize(mesh.vertices);
            releaseMesh(&mesh);
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void assimpModels(benchmark::State& state, const std::vector<std::string>& paths, uint64_t bytes) {
    Assimp::Importer importer;
    for (auto _ : state)
        for (const std::string& path : paths) {
            const aiScene* scene = importer.ReadFile(path, kAssimpSteps);
            if (!scene) state.SkipWithError("assimp refused a file it read before");
            benchmark::DoNotOptimize(scene);
            importer.FreeScene();
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void registerModelPair(const std::string& row, const std::vector<std::string>& paths) {
    if (paths.empty()) benchFailure("%s: no file both readers accept", row.c_str());
    uint64_t bytes = totalSize(paths);
    benchmark::RegisterBenchmark((row + "|quarlo").c_str(), quarloModels, paths, bytes)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((row + "|assimp").c_str(), assimpModels, paths, bytes)
        ->Unit(benchmark::kMicrosecond);
}

// ---- .dmesh

struct ImageMeshFile {
    std::string path;
    int32_t format; // the stored format, which the mesh is prepared in
};

bool loadImageMesh(const ImageMeshFile& file, Mesh* mesh) {
    *mesh = Mesh{};
    mesh->vertexFormat = file.format;
    return readImageMesh(mesh, file.path.c_str());
}

// The limit: the file into memory with one read, then one copy of it, into blocks
// that are already there, as a loader that needed no checks, no layout of its own and
// no memory would do.
bool readAndCopy(const std::string& path, uint8_t* block, uint8_t* copy, size_t size) {
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    bool ok = read(fd, block, size) == static_cast<ssize_t>(size);
    close(fd);
    if (ok) memcpy(copy, block, size);
    return ok;
}

// Checks that the engine's mesh holds exactly the file's vertex and index blocks.
void checkImageMesh(const ImageMeshFile& file) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(file.path, &bytes) || bytes.size() < 20) benchFailure("%s: cannot be read", file.path.c_str());
    Mesh mesh;
    if (!loadImageMesh(file, &mesh)) benchFailure("%s: refused by the engine", file.path.c_str());
    int64_t vertexStart = 12 + static_cast<int64_t>(readI32(&bytes[12]));
    int64_t indexStart = 16 + static_cast<int64_t>(readI32(&bytes[16]));
    size_t vertexBytes = 4 * static_cast<size_t>(mesh.vertexSlotCount);
    size_t indexBytes = 4 * static_cast<size_t>(mesh.indexCount);
    bool same = (vertexBytes == 0 || checksum(mesh.vertices, vertexBytes) == checksum(&bytes[vertexStart], vertexBytes)) &&
                (indexBytes == 0 || checksum(mesh.indices, indexBytes) == checksum(&bytes[indexStart], indexBytes)) &&
                vertexBytes + indexBytes + 20 <= bytes.size();
    releaseMesh(&mesh);
    if (!same) benchFailure("%s: the engine's mesh is not the file's blocks", file.path.c_str());
}

void quarloImageMeshes(benchmark::State& state, const std::vector<ImageMeshFile>& files, uint64_t bytes) {
    for (auto _ : state)
        for (const ImageMeshFile& file : files) {
            Mesh mesh;
            if (!loadImageMesh(file, &mesh)) state.SkipWithError("the engine refused a file it read before");
            benchmark::DoNotOptimize(mesh.vertices);
            releaseMesh(&mesh);
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void readCopyImageMeshes(benchmark::State& state, const std::vector<ImageMeshFile>& files, uint64_t bytes) {
    std::vector<std::vector<uint8_t>> blocks, copies;
    for (const ImageMeshFile& file : files) {
        struct stat info;
        size_t size = stat(file.path.c_str(), &info) == 0 ? static_cast<size_t>(info.st_size) : 0;
        blocks.emplace_back(size + 1);
        copies.emplace_back(size + 1);
    }
    for (auto _ : state)
        for (size_t i = 0; i < files.size(); ++i) {
            if (!readAndCopy(files[i].path, blocks[i].data(), copies[i].data(), blocks[i].size() - 1))
                state.SkipWithError("a file could not be read");
            benchmark::DoNotOptimize(copies[i].data());
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// The same into blocks allocated for each file and released after it, as any loader
// has to: what the fresh pages cost is in this figure and not in the limit's.
void readCopyFreshImageMeshes(benchmark::State& state, const std::vector<ImageMeshFile>& files, uint64_t bytes) {
    std::vector<size_t> sizes;
    for (const ImageMeshFile& file : files) {
        struct stat info;
        sizes.push_back(stat(file.path.c_str(), &info) == 0 ? static_cast<size_t>(info.st_size) : 0);
    }
    for (auto _ : state)
        for (size_t i = 0; i < files.size(); ++i) {
            uint8_t* block = static_cast<uint8_t*>(malloc(sizes[i] + 1));
            uint8_t* copy = static_cast<uint8_t*>(malloc(sizes[i] + 1));
            if (!block || !copy || !readAndCopy(files[i].path, block, copy, sizes[i]))
                state.SkipWithError("a file could not be read");
            benchmark::DoNotOptimize(copy);
            free(block);
            free(copy);
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void registerImageMeshPair(const std::string& row, const std::vector<std::string>& paths) {
    if (paths.empty()) benchFailure("%s: no file", row.c_str());
    std::vector<ImageMeshFile> files;
    for (const std::string& path : paths) {
        std::vector<uint8_t> bytes;
        if (!readWholeFile(path, &bytes) || bytes.size() < 4) benchFailure("%s: cannot be read", path.c_str());
        ImageMeshFile file = {path, static_cast<int32_t>(readU32(bytes.data()))};
        checkImageMesh(file);
        files.push_back(file);
    }
    uint64_t bytes = totalSize(paths);
    benchmark::RegisterBenchmark((row + "|quarlo").c_str(), quarloImageMeshes, files, bytes)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((row + "|read+memcpy").c_str(), readCopyImageMeshes, files, bytes)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((row + "|read+memcpy, new blocks").c_str(), readCopyFreshImageMeshes, files, bytes)
        ->Unit(benchmark::kMicrosecond);
}

std::string counted(const char* what, size_t count, const char* unit) {
    return std::string(what) + ", " + std::to_string(count) + " " + unit;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string data = requiredFolder("QUARLO_BENCH_DATA", "build/bench/data");
    std::string models = requiredFolder("QUARLO_BENCH_ASSIMP_MODELS", "/usr/share/assimp/models");

    std::vector<std::string> testModels =
        agreedModels(filesWithExtension(models, {".gltf", ".glb"}), false);
    std::vector<std::string> gameModels = agreedModels(filesWithExtension(data + "/meshes", {".glb"}), true);
    if (gameModels.empty()) benchFailure("%s/meshes holds no .glb file", data.c_str());
    std::vector<std::string> largeModel = agreedModels({generatedLargeGlb()}, true);
    registerModelPair(counted("glTF/GLB: assimp-testmodels", testModels.size(), "files"), testModels);
    registerModelPair(counted("glTF/GLB: the game's models", gameModels.size(), "files"), gameModels);
    registerModelPair("glTF/GLB: generated, 1.0 M triangles", largeModel);

    std::vector<std::string> levelMeshes = filesWithExtension(data + "/meshes", {".dmesh"});
    registerImageMeshPair(counted(".dmesh: the game's meshes", levelMeshes.size(), "files"), levelMeshes);
    registerImageMeshPair(".dmesh: generated, 1.0 M triangles", {generatedLargeDmesh()});

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
