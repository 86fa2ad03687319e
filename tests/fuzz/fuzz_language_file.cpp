// Language files ("data/en", "data/fr"), loaded as the game loads its language, then
// every text and every character of the set looked up as the text code does.
#include "engine/text/language.h"
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/memory_files.h"

#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setMemoryFile("data/fr", data, size);
    LanguageFile file = {};
    if (loadLanguage(&file, LANGUAGE_FRENCH)) {
        FUZZ_CHECK(file.failure[0] == 0);
        FUZZ_CHECK(file.characterCount >= LANGUAGE_ADDED_CODE_POINTS);
        FUZZ_CHECK(file.characterCount <= LANGUAGE_MAX_CHARACTERS + LANGUAGE_ADDED_CODE_POINTS);
        for (uint32_t id = 0; id < file.textCount + 2; ++id) {
            const char* text = languageText(&file, static_cast<int32_t>(id));
            if (!text) continue;
            FUZZ_CHECK(id < file.textCount);
            touchBytes(text, strlen(text) + 1);
        }
        uint64_t sum = 0;
        for (uint32_t i = 0; i < file.characterCount; ++i) sum += languageCharacter(&file, i);
        touchBytes(&sum, sizeof(sum));
        FUZZ_CHECK(languageCharacter(&file, file.characterCount - 1) == 95); // the low line ends the set
    } else {
        FUZZ_CHECK(file.failure[0] != 0 && file.data == nullptr && languageText(&file, 0) == nullptr);
    }
    releaseLanguageFile(&file);
    clearMemoryFiles();
    return 0;
}
