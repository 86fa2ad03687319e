// BMP files, read by the BMP reader ("image.bmp") and by the fallback reader that
// widens them to four bytes per pixel (a name without a known extension).
#include "tests/fuzz/image_checks.h"
#include "tests/fuzz/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setOtherFiles(data, size);
    readAndCheckTexture("image.bmp");
    readAndCheckTexture("blackpixel");
    clearMemoryFiles();
    return 0;
}
