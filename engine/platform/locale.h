// The user's locale name, such as "fr-FR" (Win32 GetUserDefaultLocaleName; natively
// the POSIX environment LC_ALL, LC_MESSAGES, then LANG, "fr_CA.UTF-8" read as "fr-CA").
#pragma once

#include <stdint.h>

// Writes at most 16 UTF-16 units including the terminator; an empty name when unknown.
void userLocaleName(uint16_t name[16]);
