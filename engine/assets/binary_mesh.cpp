#include "engine/assets/binary_mesh.h"

#include "backend/vertex_formats.h"
#include "engine/assets/asset_refusal.h"
#include "engine/assets/bytes.h"
#include "engine/assets/dyn_array.h"
#include "engine/platform/files.h"
#include "engine/platform/module_directory.h"

#include <stdio.h>
#include <string.h>

namespace {

const uint32_t kStreamHeaderSize = 10;
const uint32_t kImageHeaderSize = 20;

// Refuses an index that names no vertex (a ray test or a draw would read past the
// vertices), then grows both blocks for the counts and copies; a refusal or a failed
// growth leaves the contents.
bool fillMesh(Mesh* mesh, const unsigned char* vertexData, uint32_t slotCount, uint32_t vertexCount,
              const unsigned char* indexData, uint32_t indexCount, const char* path) {
    // The largest index first, in a loop without an exit that the compiler can widen;
    // only a file that fails goes through the indices again to name the first culprit.
    uint32_t largest = 0;
    for (uint32_t i = 0; i < indexCount; ++i) {
        uint32_t index = readU32(indexData + 4 * static_cast<size_t>(i));
        largest = index > largest ? index : largest;
    }
    if (indexCount && largest >= vertexCount) {
        for (uint32_t i = 0; i < indexCount; ++i) {
            uint32_t index = readU32(indexData + 4 * static_cast<size_t>(i));
            if (index >= vertexCount)
                return refuseAsset("%s: index %u is %u, at or past the %u vertices", path, i, index, vertexCount);
        }
    }
    void* vertexBlock = mesh->vertices;
    void* indexBlock = mesh->indices;
    if (!growBlock(&vertexBlock, &mesh->vertexSlotCapacity, slotCount, sizeof(float)))
        return refuseAsset("%s: not enough memory for %u vertex slots", path, slotCount);
    mesh->vertices = static_cast<float*>(vertexBlock);
    if (!growBlock(&indexBlock, &mesh->indexCapacity, indexCount, sizeof(uint32_t)))
        return refuseAsset("%s: not enough memory for %u indices", path, indexCount);
    mesh->indices = static_cast<uint32_t*>(indexBlock);
    // Both layouts store little-endian 32-bit slots, which is the machine's own order.
    if (slotCount) memcpy(mesh->vertices, vertexData, 4 * static_cast<size_t>(slotCount));
    if (indexCount) memcpy(mesh->indices, indexData, 4 * static_cast<size_t>(indexCount));
    mesh->vertexSlotCount = slotCount;
    mesh->indexCount = indexCount;
    return true;
}

// Whether `count` 32-bit values starting at `offset` fit in the file.
bool arrayInside(int64_t offset, uint64_t count, uint32_t size) {
    return offset >= 0 && count <= (static_cast<uint64_t>(size) / 4) &&
           rangeInside(static_cast<uint64_t>(offset), count * 4, size);
}

FILE* openForWriting(const char* path) {
    enterModuleDirectory();
    return fopen(path, "wb");
}

bool writeBlocks(FILE* file, const unsigned char* header, size_t headerSize, const Mesh* mesh, uint32_t slotCount) {
    bool ok = fwrite(header, 1, headerSize, file) == headerSize;
    if (ok && slotCount) ok = fwrite(mesh->vertices, 4, slotCount, file) == slotCount;
    if (ok && mesh->indexCount) ok = fwrite(mesh->indices, 4, mesh->indexCount, file) == mesh->indexCount;
    return fclose(file) == 0 && ok;
}

} // namespace

bool readStreamMesh(Mesh* mesh, const char* path) {
    clearAssetRefusal();
    uint32_t size = 0;
    char* file = readFileSized(path, &size);
    if (!file) return refuseAsset("%s: cannot be opened", path);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(file);
    bool ok = false;
    if (size < kStreamHeaderSize) {
        refuseAsset("%s: %u bytes, shorter than the 10-byte header", path, size);
    } else {
        uint16_t format = readU16(bytes);
        uint32_t vertexCount = readU32(bytes + 2);
        uint32_t indexCount = readU32(bytes + 6);
        uint64_t slotCount = static_cast<uint64_t>(vertexCount) * static_cast<uint32_t>(vertexFormatSlots(format));
        uint64_t vertexBytes = slotCount * 4;
        if (!isVertexFormat(format)) {
            refuseAsset("%s: unknown vertex format %u", path, format);
        } else if (slotCount > 0xFFFFFFFFu || !arrayInside(kStreamHeaderSize, slotCount, size)) {
            refuseAsset("%s: %u vertices of format %u reach past the end of the file (%u bytes)", path, vertexCount,
                        format, size);
        } else if (!arrayInside(kStreamHeaderSize + static_cast<int64_t>(vertexBytes), indexCount, size)) {
            refuseAsset("%s: %u indices reach past the end of the file (%u bytes)", path, indexCount, size);
        } else if (fillMesh(mesh, bytes + kStreamHeaderSize, static_cast<uint32_t>(slotCount), vertexCount,
                            bytes + kStreamHeaderSize + vertexBytes, indexCount, path)) {
            mesh->vertexFormat = format;
            ok = true;
        }
    }
    delete[] file;
    return ok;
}

bool readImageMesh(Mesh* mesh, const char* path) {
    clearAssetRefusal();
    uint32_t size = 0;
    char* file = readFileSized(path, &size);
    if (!file) return refuseAsset("%s: cannot be opened", path);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(file);
    bool ok = false;
    if (size == 0) {
        refuseAsset("%s: empty file", path);
    } else if (size < kImageHeaderSize) {
        refuseAsset("%s: %u bytes, shorter than the 20-byte header", path, size);
    } else {
        uint32_t format = readU32(bytes);
        uint32_t vertexCount = readU32(bytes + 4);
        uint32_t indexCount = readU32(bytes + 8);
        // Offsets count from the header field that holds them and may be negative.
        int32_t vertexOffset = readI32(bytes + 12);
        int32_t indexOffset = readI32(bytes + 16);
        int64_t vertexStart = 12 + static_cast<int64_t>(vertexOffset);
        int64_t indexStart = 16 + static_cast<int64_t>(indexOffset);
        int32_t formatId = format > 0x7FFFFFFFu ? -1 : static_cast<int32_t>(format);
        uint64_t slotCount = static_cast<uint64_t>(vertexCount) * static_cast<uint32_t>(vertexFormatSlots(formatId));
        if (!isVertexFormat(formatId)) {
            refuseAsset("%s: unknown vertex format %u", path, format);
        } else if (slotCount && formatId != mesh->vertexFormat) {
            refuseAsset("%s: holds vertex format %d but the mesh is prepared in format %d", path, formatId,
                        mesh->vertexFormat);
        } else if (slotCount && vertexOffset == 0) {
            refuseAsset("%s: %u vertices but no vertex data offset", path, vertexCount);
        } else if (indexCount && indexOffset == 0) {
            refuseAsset("%s: %u indices but no index data offset", path, indexCount);
        } else if (slotCount && (slotCount > 0xFFFFFFFFu || !arrayInside(vertexStart, slotCount, size))) {
            refuseAsset("%s: %u vertices at offset %lld reach outside the file (%u bytes)", path, vertexCount,
                        static_cast<long long>(vertexStart), size);
        } else if (indexCount && !arrayInside(indexStart, indexCount, size)) {
            refuseAsset("%s: %u indices at offset %lld reach outside the file (%u bytes)", path, indexCount,
                        static_cast<long long>(indexStart), size);
        } else {
            ok = fillMesh(mesh, slotCount ? bytes + vertexStart : nullptr, static_cast<uint32_t>(slotCount),
                          slotCount ? vertexCount : 0, indexCount ? bytes + indexStart : nullptr, indexCount, path);
        }
    }
    delete[] file;
    return ok;
}

bool writeStreamMesh(const char* path, const Mesh* mesh) {
    if (!isVertexFormat(mesh->vertexFormat)) return false;
    uint32_t vertexCount = meshVertexCount(mesh);
    uint32_t slotCount = vertexCount * static_cast<uint32_t>(vertexFormatSlots(mesh->vertexFormat));
    unsigned char header[kStreamHeaderSize];
    writeU16(header, static_cast<uint16_t>(mesh->vertexFormat));
    writeU32(header + 2, vertexCount);
    writeU32(header + 6, mesh->indexCount);
    FILE* file = openForWriting(path);
    if (!file) return false;
    return writeBlocks(file, header, sizeof(header), mesh, slotCount);
}

bool writeImageMesh(const char* path, const Mesh* mesh) {
    if (!isVertexFormat(mesh->vertexFormat)) return false;
    uint32_t vertexCount = meshVertexCount(mesh);
    uint32_t slotCount = vertexCount * static_cast<uint32_t>(vertexFormatSlots(mesh->vertexFormat));
    uint64_t indexStart = kImageHeaderSize + 4 * static_cast<uint64_t>(slotCount);
    if (indexStart - 16 > 0x7FFFFFFFu) return false; // the offset field is a signed 32-bit number
    unsigned char header[kImageHeaderSize];
    writeU32(header, static_cast<uint32_t>(mesh->vertexFormat));
    writeU32(header + 4, vertexCount);
    writeU32(header + 8, mesh->indexCount);
    writeU32(header + 12, slotCount ? kImageHeaderSize - 12 : 0);
    writeU32(header + 16, mesh->indexCount ? static_cast<uint32_t>(indexStart - 16) : 0);
    FILE* file = openForWriting(path);
    if (!file) return false;
    return writeBlocks(file, header, sizeof(header), mesh, slotCount);
}
