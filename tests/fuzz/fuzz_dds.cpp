// DDS files: the uncompressed layouts and BC1, BC2, BC3 with their mip levels.
#include "tests/fuzz/image_checks.h"
#include "tests/fuzz/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setMemoryFile("image.dds", data, size);
    readAndCheckTexture("image.dds");
    clearMemoryFiles();
    return 0;
}
