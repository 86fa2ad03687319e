#include "engine/platform/locale.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

void userLocaleName(uint16_t name[16]) {
    name[0] = 0;
    if (GetUserDefaultLocaleName(reinterpret_cast<LPWSTR>(name), 16) == 0) name[0] = 0;
}
