#include "engine/text/language.h"
#include "engine/text/language_file.h"
#include "engine/text/name_ids.h"
#include "text_test_support.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <vector>

namespace {

std::vector<uint16_t> wide(const char* name) {
    std::vector<uint16_t> units(16, 0);
    for (size_t i = 0; name[i] && i < 15; ++i) units[i] = static_cast<uint8_t>(name[i]);
    return units;
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* in = fopen(path.c_str(), "rb");
    if (!in) return bytes;
    int c;
    while ((c = fgetc(in)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    fclose(in);
    return bytes;
}

void putI32(std::vector<uint8_t>* bytes, size_t at, int32_t value) {
    if (bytes->size() < at + 4) bytes->resize(at + 4, 0);
    uint32_t u = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<uint8_t>(u >> (8 * i));
}

TEST(LanguageChoice, TheLocalesLanguageWhenKnownElseEnglish) {
    EXPECT_EQ(languageFromLocaleName(wide("fr-CA").data()), LANGUAGE_FRENCH);
    EXPECT_EQ(languageFromLocaleName(wide("fr-FR").data()), LANGUAGE_FRENCH);
    EXPECT_EQ(languageFromLocaleName(wide("de-DE").data()), LANGUAGE_ENGLISH);
    EXPECT_EQ(languageFromLocaleName(wide("en-GB").data()), LANGUAGE_ENGLISH);
    EXPECT_EQ(languageFromLocaleName(wide("").data()), LANGUAGE_ENGLISH);
    EXPECT_EQ(languageFromLocaleName(wide("f").data()), LANGUAGE_ENGLISH);
    // Only the low byte of each character is compared.
    std::vector<uint16_t> high = wide("fr");
    high[0] |= 0x0100;
    EXPECT_EQ(languageFromLocaleName(high.data()), LANGUAGE_FRENCH);
    EXPECT_STREQ(languageCode(LANGUAGE_FRENCH), "fr");
    EXPECT_STREQ(languageCode(7), "en");
}

TEST(NameIdTable, NamesGiveTheirTextIds) {
    NameIds names;
    fillNameIds(&names);
    EXPECT_EQ(lookUpNameId(&names, "DigicodeButton5"), 22);
    EXPECT_EQ(lookUpNameId(&names, "DigicodeButton0"), 27);
    EXPECT_EQ(lookUpNameId(&names, "DigicodeButtonPound"), 29);
    EXPECT_EQ(lookUpNameId(&names, "start"), 0);
    EXPECT_EQ(lookUpNameId(&names, "corridorDoor"), 31);
    EXPECT_EQ(lookUpNameId(&names, "vestiaireDoor"), 13);
    EXPECT_EQ(lookUpNameId(&names, "lamp"), -1);
    EXPECT_EQ(lookUpNameId(&names, "DigicodeButton"), -1); // a prefix of keys is not a key
    EXPECT_EQ(lookUpNameId(&names, ""), -1);
    EXPECT_EQ(lookUpNameId(&names, nullptr), -1);
    EXPECT_EQ(lookUpNameId(&names, "locker3"), 42);
    EXPECT_EQ(lookUpNameId(&names, "plant"), 50);
    // Every key is found and no id is given twice; 10, 11, 12, 32 and the hints
    // 33 to 39 have no name.
    bool seen[51] = {};
    for (uint32_t i = 0; i < names.count; ++i) {
        int32_t id = names.entries[i].id;
        ASSERT_GE(id, 0);
        ASSERT_LT(id, 51);
        EXPECT_FALSE(seen[id]) << id;
        seen[id] = true;
        EXPECT_EQ(lookUpNameId(&names, names.entries[i].key), id);
        if (i > 0) {
            EXPECT_LT(strcmp(names.entries[i - 1].key, names.entries[i].key), 0);
        }
    }
    EXPECT_FALSE(seen[10] || seen[11] || seen[12] || seen[32]);
    for (int hint = 33; hint <= 39; ++hint) EXPECT_FALSE(seen[hint]) << hint;
}

class LanguageFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory = makeFontModuleDirectory("language");
        ASSERT_FALSE(directory.empty());
    }
    void TearDown() override { releaseLanguageFile(&file); }
    std::string directory;
    LanguageFile file = {};
};

TEST_F(LanguageFileTest, WrittenTextsReadBackWithTheirCharacterSet) {
    const char* texts[5] = {"Jouer", nullptr, "", "%u/%u objets trouvés", "Œuvre\n€"};
    std::string path = directory + "data/fr";
    ASSERT_TRUE(writeLanguageFile(path.c_str(), texts, 5));
    ASSERT_TRUE(loadLanguage(&file, LANGUAGE_FRENCH)) << file.failure;
    EXPECT_STREQ(file.failure, "");
    EXPECT_EQ(file.textCount, 5u);
    EXPECT_STREQ(languageText(&file, 0), "Jouer");
    EXPECT_EQ(languageText(&file, 1), nullptr);
    EXPECT_EQ(languageText(&file, 2), nullptr);
    EXPECT_STREQ(languageText(&file, 3), "%u/%u objets trouvés");
    EXPECT_STREQ(languageText(&file, 4), "Œuvre\n€");
    EXPECT_EQ(languageText(&file, 5), nullptr);
    EXPECT_EQ(languageText(&file, -1), nullptr);

    // The set: every code point once, sorted, then the 21 fixed ones, 95 last.
    const uint32_t distinct[] = {10, ' ', '%', '/', 'J', 'b', 'e', 'j', 'o', 'r', 's', 't', 'u', 'v', 0xE9, 0x152, 0x20AC};
    const uint32_t distinctCount = sizeof(distinct) / sizeof(distinct[0]);
    ASSERT_EQ(file.characterCount, distinctCount + 21);
    for (uint32_t i = 0; i < distinctCount; ++i) EXPECT_EQ(languageCharacter(&file, i), distinct[i]) << i;
    EXPECT_EQ(languageCharacter(&file, distinctCount), 45u);
    EXPECT_EQ(languageCharacter(&file, distinctCount + 1), 48u);
    EXPECT_EQ(languageCharacter(&file, distinctCount + 11), 64u);
    EXPECT_EQ(languageCharacter(&file, file.characterCount - 1), 95u);
    EXPECT_GE(file.capacity, file.size + 84);
}

TEST_F(LanguageFileTest, TheWriterRefusesMalformedUtf8AndAMissingFileIsReported) {
    const char* overlong[1] = {"\xC0\xAF"};
    const char* surrogate[1] = {"\xED\xA0\x80"};
    const char* cut[1] = {"ab\xE2\x82"};
    std::string path = directory + "data/en";
    EXPECT_FALSE(writeLanguageFile(path.c_str(), overlong, 1));
    EXPECT_FALSE(writeLanguageFile(path.c_str(), surrogate, 1));
    EXPECT_FALSE(writeLanguageFile(path.c_str(), cut, 1));
    EXPECT_FALSE(loadLanguage(&file, LANGUAGE_ENGLISH));
    EXPECT_NE(strstr(file.failure, "data/en"), nullptr);
    const char* fine[1] = {"ok"};
    EXPECT_FALSE(writeLanguageFile((directory + "no/such/dir/en").c_str(), fine, 1));
}

TEST_F(LanguageFileTest, HostileFilesAreRefusedWithAReason) {
    const char* texts[2] = {"one", "two"};
    std::string path = directory + "data/en";
    ASSERT_TRUE(writeLanguageFile(path.c_str(), texts, 2));
    const std::vector<uint8_t> good = readBytes(path);
    ASSERT_TRUE(readLanguageFile(&file, good.data(), static_cast<uint32_t>(good.size()), "good"));

    struct Case {
        const char* what;
        size_t at;
        int32_t value;
    };
    const Case cases[] = {
        {"character set beyond the end", 0, static_cast<int32_t>(good.size()) + 4},
        {"character set in the header", 0, 4},
        {"negative character set offset", 0, -8},
        {"count past the end", 4, 0x40000000},
        {"character set before the end", 4, 1},
        {"string table before the file", 8, -100},
        {"string table past the character set", 8, 0x7FFFFFF0},
        {"text before the file", 12, -1000},
        {"text beyond the end", 16, 0x10000},
        {"text inside the header", 12, -10},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        putI32(&bytes, c.at, c.value);
        EXPECT_FALSE(readLanguageFile(&file, bytes.data(), static_cast<uint32_t>(bytes.size()), "hostile")) << c.what;
        EXPECT_NE(file.failure[0], 0) << c.what;
        EXPECT_EQ(file.textCount, 0u);
        EXPECT_EQ(languageText(&file, 0), nullptr) << c.what;
        // Nothing of the refused bytes is kept.
        EXPECT_EQ(file.data, nullptr) << c.what;
        EXPECT_EQ(file.capacity, 0u) << c.what;
        EXPECT_EQ(file.characterCount, 0u) << c.what;
    }
    EXPECT_FALSE(readLanguageFile(&file, good.data(), 11, "short"));
    EXPECT_NE(strstr(file.failure, "short"), nullptr);

    // A text without a terminator before the file ends: no character set, the last
    // text runs to the last byte.
    std::vector<uint8_t> open;
    putI32(&open, 0, 0);
    putI32(&open, 4, 0);
    putI32(&open, 8, 4);
    putI32(&open, 12, 4);
    open.push_back('a');
    open.push_back('b');
    EXPECT_FALSE(readLanguageFile(&file, open.data(), static_cast<uint32_t>(open.size()), "open"));
    EXPECT_NE(strstr(file.failure, "terminator"), nullptr);
    open.push_back(0);
    ASSERT_TRUE(readLanguageFile(&file, open.data(), static_cast<uint32_t>(open.size()), "closed")) << file.failure;
    EXPECT_STREQ(languageText(&file, 0), "ab");
    // Without a set of its own the file still gets the 21 fixed characters.
    EXPECT_EQ(file.characterCount, 21u);
    EXPECT_EQ(languageCharacter(&file, 20), 95u);
}

// A set as large as the limit reads; one character more is refused before any of it
// reaches the atlases.
TEST_F(LanguageFileTest, AnOversizedCharacterSetIsRefused) {
    for (uint32_t count : {static_cast<uint32_t>(LANGUAGE_MAX_CHARACTERS), LANGUAGE_MAX_CHARACTERS + 1u}) {
        // Header (set at 20, its count, table at 12), one table entry pointing at the
        // text "a" at 16, then the set, which ends the file.
        std::vector<uint8_t> bytes;
        putI32(&bytes, 0, 20);
        putI32(&bytes, 4, static_cast<int32_t>(count));
        putI32(&bytes, 8, 4);
        putI32(&bytes, 12, 4);
        putI32(&bytes, 16, 'a');
        for (uint32_t i = 0; i < count; ++i) putI32(&bytes, 20 + 4 * i, static_cast<int32_t>(0x4E00 + i));
        bool read = readLanguageFile(&file, bytes.data(), static_cast<uint32_t>(bytes.size()), "large");
        if (count <= LANGUAGE_MAX_CHARACTERS) {
            ASSERT_TRUE(read) << file.failure;
            EXPECT_STREQ(languageText(&file, 0), "a");
            EXPECT_EQ(file.characterCount, count + LANGUAGE_ADDED_CODE_POINTS);
        } else {
            EXPECT_FALSE(read);
            EXPECT_NE(strstr(file.failure, "too large"), nullptr) << file.failure;
            EXPECT_EQ(file.data, nullptr);
        }
    }
}

TEST_F(LanguageFileTest, TheCharacterSetIsQueuedInBothAtlases) {
    const char* texts[1] = {"Zut"};
    ASSERT_TRUE(writeLanguageFile((directory + "data/en").c_str(), texts, 1));
    ASSERT_TRUE(loadLanguage(&file, LANGUAGE_ENGLISH));
    FontAtlas large = emptyFontAtlas(), small = emptyFontAtlas();
    large.pixelSize = 36;
    small.pixelSize = 20;
    queueLanguageGlyphs(&file, &large, &small);
    // Z u t, then the 21 fixed characters.
    EXPECT_EQ(large.pendingCount, 3u + 21u);
    EXPECT_EQ(small.pendingCount, 3u + 21u);
    EXPECT_EQ(large.pending[0], static_cast<uint32_t>('Z'));
    EXPECT_EQ(small.pending[small.pendingCount - 1], 95u);
    releaseFontAtlas(&large);
    releaseFontAtlas(&small);
}

} // namespace
