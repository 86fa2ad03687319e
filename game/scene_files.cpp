#include "game/scene_files.h"

#include "engine/platform/files.h"
#include "game/data_reader.h"

#include <new>
#include <stdio.h>
#include <string.h>

namespace {

// A count can never exceed what the remaining bytes could hold at the smallest
// record size; checking that first keeps a hostile count from allocating gigabytes.
bool countFits(const DataReader* reader, uint32_t count, uint64_t smallestRecord) {
    return !reader->failed && count <= (reader->size - reader->at) / smallestRecord;
}

Vec3 readVec3(DataReader* reader) {
    Vec3 v;
    v.x = readF32(reader);
    v.y = readF32(reader);
    v.z = readF32(reader);
    return v;
}

// Puts the path in front of a parser's reason.
bool withPath(bool ok, const char* path, char reason[256]) {
    if (!ok) {
        char detail[256];
        snprintf(detail, sizeof(detail), "%s", reason);
        snprintf(reason, 256, "%s: %s", path, detail);
    }
    return ok;
}

// Reads the whole file and parses it; the reason names the file.
template <typename List>
bool readWhole(const char* path, List* out, char reason[256],
               bool (*parse)(const void*, uint64_t, List*, char[256])) {
    uint32_t size = 0;
    char* bytes = readFileSized(path, &size);
    if (!bytes) {
        snprintf(reason, 256, "%s: cannot be opened", path);
        return false;
    }
    bool ok = withPath(parse(bytes, size, out, reason), path, reason);
    delete[] bytes;
    return ok;
}

bool outOfMemory(char reason[256], const char* what) {
    snprintf(reason, 256, "not enough memory for the %s", what);
    return false;
}

bool finish(const DataReader* reader, char reason[256], const char* what) {
    if (reader->failed) {
        snprintf(reason, 256, "%s cut short at byte %llu", what, static_cast<unsigned long long>(reader->at));
        return false;
    }
    if (reader->at != reader->size) {
        snprintf(reason, 256, "%llu unexpected bytes after the %s",
                 static_cast<unsigned long long>(reader->size - reader->at), what);
        return false;
    }
    return true;
}

} // namespace

bool parseTextureList(const void* bytes, uint64_t size, TextureList* out, char reason[256]) {
    *out = TextureList{};
    DataReader reader = makeDataReader(bytes, size);
    uint32_t count = readU32(&reader);
    if (!countFits(&reader, count, 8)) {
        snprintf(reason, 256, "texture count %u does not fit the file", count);
        return false;
    }
    TextureList list = {count, new (std::nothrow) char*[count ? count : 1]()};
    if (!list.paths) return outOfMemory(reason, "texture list");
    for (uint32_t i = 0; i < count && !reader.failed; ++i) list.paths[i] = readString(&reader);
    if (!finish(&reader, reason, "texture list")) {
        releaseTextureList(&list);
        return false;
    }
    *out = list;
    return true;
}

bool parseInteractableList(const void* bytes, uint64_t size, InteractableList* out, char reason[256]) {
    *out = InteractableList{};
    DataReader reader = makeDataReader(bytes, size);
    uint32_t count = readU32(&reader);
    if (!countFits(&reader, count, 8 + 8 + 4 + 12)) {
        snprintf(reason, 256, "interactable count %u does not fit the file", count);
        return false;
    }
    InteractableList list = {count, new (std::nothrow) InteractableRecord[count ? count : 1]()};
    if (!list.records) return outOfMemory(reason, "interactable list");
    for (uint32_t i = 0; i < count && !reader.failed; ++i) {
        InteractableRecord& r = list.records[i];
        r.name = readString(&reader);
        r.openingItem = readString(&reader);
        r.required = readU32(&reader) != 0;
        r.openOffset = readVec3(&reader);
    }
    if (!finish(&reader, reason, "interactable list")) {
        releaseInteractableList(&list);
        return false;
    }
    for (uint32_t i = 0; i < count; ++i)
        if (!list.records[i].name[0]) {
            snprintf(reason, 256, "interactable %u has no name", i);
            releaseInteractableList(&list);
            return false;
        }
    *out = list;
    return true;
}

bool parseEntityList(const void* bytes, uint64_t size, EntityList* out, char reason[256]) {
    *out = EntityList{};
    DataReader reader = makeDataReader(bytes, size);
    uint32_t cameraCount = readU32(&reader);
    uint32_t entityCount = readU32(&reader);
    const uint64_t cameraSize = 8 + 7 * 4;
    const uint64_t entitySize = 3 * 8 + 22 * 4;
    if (!countFits(&reader, cameraCount, cameraSize) || !countFits(&reader, entityCount, entitySize) ||
        uint64_t(cameraCount) * cameraSize + uint64_t(entityCount) * entitySize > reader.size - reader.at) {
        snprintf(reason, 256, "%u cameras and %u entities do not fit the file", cameraCount, entityCount);
        return false;
    }
    EntityList list = {cameraCount, new (std::nothrow) CameraRecord[cameraCount ? cameraCount : 1](), entityCount,
                       new (std::nothrow) EntityRecord[entityCount ? entityCount : 1]()};
    if (!list.cameras || !list.entities) {
        releaseEntityList(&list);
        return outOfMemory(reason, "entities file");
    }
    for (uint32_t i = 0; i < cameraCount && !reader.failed; ++i) {
        CameraRecord& c = list.cameras[i];
        c.name = readString(&reader);
        c.position = readVec3(&reader);
        c.direction = readVec3(&reader);
        c.fieldOfView = readF32(&reader);
    }
    for (uint32_t i = 0; i < entityCount && !reader.failed; ++i) {
        EntityRecord& e = list.entities[i];
        e.name = readString(&reader);
        e.modelPath = readString(&reader);
        e.partName = readString(&reader);
        e.positionA = readVec3(&reader);
        e.scaleA = readVec3(&reader);
        e.color = readVec3(&reader);
        e.rotationA = readVec3(&reader);
        e.positionB = readVec3(&reader);
        e.scaleB = readVec3(&reader);
        e.rotationB = readVec3(&reader);
        e.pickable = readU32(&reader) != 0;
    }
    if (!finish(&reader, reason, "entities file")) {
        releaseEntityList(&list);
        return false;
    }
    *out = list;
    return true;
}

bool readTextureList(const char* path, TextureList* out, char reason[256]) {
    *out = TextureList{};
    return readWhole(path, out, reason, parseTextureList);
}

bool readInteractableList(const char* path, InteractableList* out, char reason[256]) {
    *out = InteractableList{};
    return readWhole(path, out, reason, parseInteractableList);
}

bool readEntityList(const char* path, EntityList* out, char reason[256]) {
    *out = EntityList{};
    return readWhole(path, out, reason, parseEntityList);
}

void releaseTextureList(TextureList* list) {
    for (uint32_t i = 0; list->paths && i < list->count; ++i) delete[] list->paths[i];
    delete[] list->paths;
    *list = TextureList{};
}

void releaseInteractableList(InteractableList* list) {
    for (uint32_t i = 0; list->records && i < list->count; ++i) {
        delete[] list->records[i].name;
        delete[] list->records[i].openingItem;
    }
    delete[] list->records;
    *list = InteractableList{};
}

void releaseEntityList(EntityList* list) {
    for (uint32_t i = 0; list->cameras && i < list->cameraCount; ++i) delete[] list->cameras[i].name;
    for (uint32_t i = 0; list->entities && i < list->entityCount; ++i) {
        delete[] list->entities[i].name;
        delete[] list->entities[i].modelPath;
        delete[] list->entities[i].partName;
    }
    delete[] list->cameras;
    delete[] list->entities;
    *list = EntityList{};
}
