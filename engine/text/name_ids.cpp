#include "engine/text/name_ids.h"

#include <stdlib.h>

namespace {

const NameIdEntry kNames[NAME_ID_COUNT] = {
    {"start", 0},
    {"restart", 1},
    {"continueText", 2},
    {"returnToCollection", 3},
    {"timeText", 4},
    {"redKey", 5},
    {"crowbar", 6},
    {"digicode", 7},
    {"paperNote", 8},
    {"redDoor", 9},
    {"vestiaireDoor", 13},
    {"accessCard", 14},
    {"exitDoor", 15},
    {"warehouseDoor", 16},
    {"DigicodeCase", 17},
    {"DigicodeButton1", 18},
    {"DigicodeButton2", 19},
    {"DigicodeButton3", 20},
    {"DigicodeButton4", 21},
    {"DigicodeButton5", 22},
    {"DigicodeButton6", 23},
    {"DigicodeButton7", 24},
    {"DigicodeButton8", 25},
    {"DigicodeButton9", 26},
    {"DigicodeButton0", 27},
    {"DigicodeButtonStar", 28},
    {"DigicodeButtonPound", 29},
    {"deskDoor", 30},
    {"corridorDoor", 31},
    // The building's other objects, so that their labels are translated too.
    {"locker1", 40},
    {"locker2", 41},
    {"locker3", 42},
    {"locker4", 43},
    {"drawer1", 44},
    {"drawer2", 45},
    {"drawer3", 46},
    {"cabinet", 47},
    {"crate", 48},
    {"barrel", 49},
    {"plant", 50},
};

int compareKeys(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (*a == 0 || *b == 0) return *a ? 1 : *b ? -1 : 0; // a prefix first
        signed char x = static_cast<signed char>(*a);
        signed char y = static_cast<signed char>(*b);
        if (x != y) return x < y ? -1 : 1;
    }
}

int compareEntries(const void* a, const void* b) {
    return compareKeys(static_cast<const NameIdEntry*>(a)->key, static_cast<const NameIdEntry*>(b)->key);
}

} // namespace

void fillNameIds(NameIds* names) {
    for (uint32_t i = 0; i < NAME_ID_COUNT; ++i) names->entries[i] = kNames[i];
    names->count = NAME_ID_COUNT;
    qsort(names->entries, names->count, sizeof(NameIdEntry), compareEntries);
}

int32_t lookUpNameId(const NameIds* names, const char* name) {
    if (!name) return -1;
    uint32_t low = 0;
    uint32_t high = names->count;
    while (low < high) {
        uint32_t middle = low + (high - low) / 2;
        int order = compareKeys(names->entries[middle].key, name);
        if (order == 0) return names->entries[middle].id;
        if (order < 0) low = middle + 1;
        else high = middle;
    }
    return -1;
}
