// The program's own directory, the base of every relative data path.
#pragma once

#include <stdint.h>

// UTF-8, forward slashes, trailing slash; length counts the terminator.
struct ModuleDirectory {
    char path[2048];
    uint32_t length;
};

extern ModuleDirectory gModuleDirectory;

// Sets the directory from a UTF-8 path (backslashes become forward slashes, a trailing
// slash is added when missing) and normalises it. Native programs and tests call this;
// the Windows program fills it from its module file name at start-up.
void setModuleDirectory(const char* utf8Directory);

// In-place clean-up of ".." segments, on the UTF-16 form, scanning after a drive
// prefix: "C:/games/x/../bin/" -> "C:/games/bin/", "C:/a/b/.." -> "C:/a";
// ".." that would climb above the start stays ("C:/../a/"), "..b" is a name.
void normaliseModuleDirectory(ModuleDirectory* directory);
