#include "tools/bench/generated_assets.h"

#include "engine/assets/binary_mesh.h"
#include "tools/bench/bench_files.h"
#include "tools/content/glb_writer.h"

#include <math.h>
#include <png.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <vector>

namespace {

const int kParts = 4;
const int kGridQuads = 354; // 4 parts x 2 x 354^2 triangles = 1,002,528

bool exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && info.st_size > 0;
}

// A rippled sheet of kGridQuads^2 quads, each part lifted and tinted apart so the
// merged mesh is not one plane repeated.
void buildPart(MeshBuilder* b, int part) {
    const int n = kGridQuads;
    const float size = 10.0f;
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x) {
            float u = static_cast<float>(x) / n, v = static_cast<float>(y) / n;
            float z = 0.25f * sinf(u * 12.0f + part) * cosf(v * 9.0f) + part * 2.0f;
            addVertex(b, Vec3{u * size - 5.0f, v * size - 5.0f, z}, Vec2f{u, v},
                      Vec3{0.5f + 0.1f * part, 0.5f, 0.6f - 0.1f * part}, Vec3{0.0f, 0.0f, 1.0f});
        }
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            uint32_t i = static_cast<uint32_t>(y * (n + 1) + x);
            addTriangle(b, i, i + 1, i + n + 2);
            addTriangle(b, i, i + n + 2, i + n + 1);
        }
}

} // namespace

std::string generatedLargeGlb() {
    std::string path = workFolder() + "/million-triangles.glb";
    if (exists(path)) return path;
    MeshBuilder parts[kParts];
    GlbNode nodes[kParts];
    static const char* const kNames[kParts] = {"sheet0", "sheet1", "sheet2", "sheet3"};
    for (int p = 0; p < kParts; ++p) {
        buildPart(&parts[p], p);
        nodes[p] = GlbNode{kNames[p], &parts[p], false, {1, 1, 1, 1}};
    }
    if (!writeGlb(path.c_str(), nodes, kParts)) benchFailure("cannot write %s", path.c_str());
    return path;
}

std::string generatedLargeDmesh() {
    std::string path = workFolder() + "/million-triangles.dmesh";
    if (exists(path)) return path;
    MeshBuilder all;
    for (int p = 0; p < kParts; ++p) {
        MeshBuilder part;
        buildPart(&part, p);
        appendBuilder(&all, &part);
    }
    Mesh mesh = {};
    mesh.vertexFormat = 0;
    mesh.vertices = all.vertices.data();
    mesh.vertexSlotCount = static_cast<uint32_t>(all.vertices.size());
    mesh.indices = all.indices.data();
    mesh.indexCount = static_cast<uint32_t>(all.indices.size());
    if (!writeImageMesh(path.c_str(), &mesh)) benchFailure("cannot write %s", path.c_str());
    return path;
}

std::string generatedLargePng() {
    std::string path = workFolder() + "/large-4096.png";
    if (exists(path)) return path;
    const uint32_t size = 4096;
    std::vector<uint8_t> pixels(static_cast<size_t>(size) * size * 3);
    // Smooth bands with a little deterministic grain: compresses like a photograph or
    // a painted texture rather than a flat colour.
    uint32_t seed = 12345;
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x) {
            seed = seed * 1664525u + 1013904223u;
            int grain = static_cast<int>(seed >> 29) - 4;
            uint8_t* p = &pixels[(static_cast<size_t>(y) * size + x) * 3];
            float fx = x / 4096.0f, fy = y / 4096.0f;
            int r = static_cast<int>(128 + 100 * sinf(fx * 20.0f + fy * 3.0f)) + grain;
            int g = static_cast<int>(128 + 100 * sinf(fy * 17.0f)) + grain;
            int b = static_cast<int>(128 + 100 * cosf((fx + fy) * 11.0f)) + grain;
            p[0] = static_cast<uint8_t>(r < 0 ? 0 : r > 255 ? 255 : r);
            p[1] = static_cast<uint8_t>(g < 0 ? 0 : g > 255 ? 255 : g);
            p[2] = static_cast<uint8_t>(b < 0 ? 0 : b > 255 ? 255 : b);
        }
    png_image image;
    memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = size;
    image.height = size;
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr))
        benchFailure("cannot write %s: %s", path.c_str(), image.message);
    return path;
}
