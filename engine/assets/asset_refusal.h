// Why the last asset read was refused, as one line naming the file and the fault
// ("a.dmesh: index data (12 bytes at 40) reaches past the end of the file (48 bytes)").
// The readers keep their boolean results; a tool or a log asks here for the reason.
// The program is single-threaded, so one buffer serves.
#pragma once

#include <stdarg.h>

// Empty text when the last read was not refused.
const char* assetRefusal();
void clearAssetRefusal();

// Records the reason (printf-style) and returns false, so readers can write
// `return refuseAsset("%s: ...", path, ...);`.
bool refuseAsset(const char* format, ...)
#if defined(__clang__)
    __attribute__((format(printf, 1, 2)))
#elif defined(__GNUC__)
    __attribute__((format(gnu_printf, 1, 2))) // C99 formats, also under MinGW
#endif
    ;

// The same with the arguments already gathered.
bool refuseAssetV(const char* format, va_list arguments);
