#include "engine/assets/asset_refusal.h"

#include <stdarg.h>
#include <stdio.h>

namespace {
char gRefusal[512];
}

const char* assetRefusal() { return gRefusal; }

void clearAssetRefusal() { gRefusal[0] = 0; }

bool refuseAssetV(const char* format, va_list arguments) {
    vsnprintf(gRefusal, sizeof(gRefusal), format, arguments);
    return false;
}

bool refuseAsset(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    refuseAssetV(format, arguments);
    va_end(arguments);
    return false;
}
