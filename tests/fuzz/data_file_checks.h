// The strings of the game's data files, checked as the loader uses them (C strings).
#pragma once

#include "tests/fuzz/fuzz_checks.h"

#include <string.h>

inline void checkDataString(const char* text) {
    FUZZ_CHECK(text != nullptr);
    touchBytes(text, strlen(text) + 1);
}
