#include "app/module_path.h"

#include "engine/platform/module_directory.h"
#include "engine/platform/utf.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

void fixModuleDirectory(HINSTANCE__* instance) {
    WCHAR name[513];
    DWORD length = GetModuleFileNameW(instance, name, 512);
    name[length < 512 ? length : 512] = 0;
    WCHAR* lastSeparator = nullptr;
    for (WCHAR* c = name; *c; ++c)
        if (*c == L'\\') lastSeparator = c;
    if (lastSeparator) lastSeparator[1] = 0;
    for (WCHAR* c = name; *c; ++c)
        if (*c == L'\\') *c = L'/';
    size_t bytes = utf16ToUtf8(reinterpret_cast<const uint16_t*>(name), gModuleDirectory.path,
                               sizeof(gModuleDirectory.path));
    gModuleDirectory.length = static_cast<uint32_t>(bytes + 1);
    normaliseModuleDirectory(&gModuleDirectory);
}
