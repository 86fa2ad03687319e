#include "game/texture_table.h"

#include "engine/assets/dyn_array.h"

#include <stdlib.h>
#include <string.h>

int compareTexturePaths(const char* a, const char* b) {
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    while (*x && *x == *y) ++x, ++y;
    return static_cast<int>(*x) - static_cast<int>(*y);
}

namespace {
// The first entry not below path.
uint32_t lowerBound(const TextureTable* table, const char* path) {
    uint32_t low = 0, high = table->count;
    while (low < high) {
        uint32_t middle = low + (high - low) / 2;
        if (compareTexturePaths(table->entries[middle].path, path) < 0) low = middle + 1;
        else high = middle;
    }
    return low;
}
} // namespace

Texture* findTexture(const TextureTable* table, const char* path) {
    uint32_t at = lowerBound(table, path);
    if (at < table->count && compareTexturePaths(table->entries[at].path, path) == 0) return table->entries[at].texture;
    return nullptr;
}

Texture* findOrLoadTexture(TextureTable* table, const char* path, bool* isNew) {
    *isNew = false;
    uint32_t at = lowerBound(table, path);
    if (at < table->count && compareTexturePaths(table->entries[at].path, path) == 0) return table->entries[at].texture;

    void* block = table->entries;
    if (!growBlock(&block, &table->capacity, table->count + 1, sizeof(TextureTableEntry))) return nullptr;
    table->entries = static_cast<TextureTableEntry*>(block);
    size_t length = strlen(path);
    char* copy = static_cast<char*>(malloc(length + 1));
    Texture* texture = static_cast<Texture*>(malloc(sizeof(Texture)));
    if (!copy || !texture) {
        free(copy);
        free(texture);
        return nullptr;
    }
    memcpy(copy, path, length + 1);
    *texture = emptyTexture();
    loadTexture(texture, path);
    memmove(table->entries + at + 1, table->entries + at, (table->count - at) * sizeof(TextureTableEntry));
    table->entries[at] = TextureTableEntry{copy, texture};
    ++table->count;
    *isNew = true;
    return texture;
}
