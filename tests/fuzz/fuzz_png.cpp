// PNG files through libpng, as loadTexture reads them.
#include "tests/fuzz/image_checks.h"
#include "tests/fuzz/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setMemoryFile("image.png", data, size);
    readAndCheckTexture("image.png");
    clearMemoryFiles();
    return 0;
}
