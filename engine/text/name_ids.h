// The table from menu and scene object names to text ids of the language file.
#pragma once

#include <stdint.h>

// Texts the frame drawing uses by number; every other id has a name in the table.
enum TextId : int32_t {
    TEXT_ID_MENU_BUTTON = 10, // label of the pause and end screens' button
    TEXT_ID_END = 11,         // the end screen's title
    TEXT_ID_PROGRESS = 12,    // format with two unsigned numbers: done, required
    TEXT_ID_PAPER_NOTE = 32,  // what the paper note says
    TEXT_ID_FIRST_HINT = 33,  // hint step n shows text 33 + n
};

enum { NAME_ID_COUNT = 40 };

struct NameIdEntry {
    const char* key;
    int32_t id;
};

// Sorted by key, bytes compared as signed 8-bit values, a prefix first.
struct NameIds {
    NameIdEntry entries[NAME_ID_COUNT];
    uint32_t count;
};

void fillNameIds(NameIds* names);

// The id of a name, or -1 when the name is not a key (the caller then shows the name).
int32_t lookUpNameId(const NameIds* names, const char* name);
