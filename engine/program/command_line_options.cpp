#include "engine/program/command_line_options.h"

#include <string.h>

const char* forcedRenderBackend(int argc, char** argv) {
    const char* forced = nullptr;
    for (int i = 0; i + 1 < argc; ++i)
        if (argv[i] && strcmp(argv[i], "-forceRenderBackend") == 0) forced = argv[i + 1];
    return forced;
}
