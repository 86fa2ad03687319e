// quarlo_content: writes the game's data folder.
//   quarlo_content <output root> <shader source folder>
// The files land in <output root>/data/; running it twice gives the same bytes.
#include "tools/content/content.h"
#include "tools/content/text_raster.h"

#include <stdio.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s <output root> <shader source folder>\n", argv[0]);
        return 2;
    }
    if (!initTextRaster()) {
        fprintf(stderr, "content builder: cannot open the fonts %s and %s\n", kTitleFontSource, kBodyFontSource);
        return 1;
    }
    static Content content;
    buildContent(&content);
    bool ok = writeContent(&content, argv[1], argv[2]);
    shutdownTextRaster();
    return ok ? 0 : 1;
}
