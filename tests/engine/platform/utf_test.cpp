#include "engine/platform/utf.h"

#include <gtest/gtest.h>

#include <string.h>

TEST(Utf, RoundTripsEveryPlane) {
    const char* text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"; // A, e-acute, euro, an emoji
    uint16_t wide[16];
    EXPECT_EQ(utf8ToUtf16(text, wide, 16), 5u);
    EXPECT_EQ(wide[0], 'A');
    EXPECT_EQ(wide[1], 0xE9);
    EXPECT_EQ(wide[2], 0x20AC);
    EXPECT_EQ(wide[3], 0xD83D);
    EXPECT_EQ(wide[4], 0xDE00);
    EXPECT_EQ(wide[5], 0);
    char back[32];
    EXPECT_EQ(utf16ToUtf8(wide, back, sizeof(back)), strlen(text));
    EXPECT_STREQ(back, text);
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
    uint16_t wide[8];
    utf8ToUtf16("\xC3(\xFF", wide, 8); // truncated sequence, then an invalid lead byte
    EXPECT_EQ(wide[0], 0xFFFD);
    EXPECT_EQ(wide[1], '(');
    EXPECT_EQ(wide[2], 0xFFFD);
    const uint16_t lone[] = {0xD800, 'x', 0};
    char out[8];
    utf16ToUtf8(lone, out, sizeof(out));
    EXPECT_STREQ(out, "\xEF\xBF\xBDx");
}

TEST(Utf, OutputThatDoesNotFitIsCutAtACodePointAndTerminated) {
    uint16_t wide[3];
    EXPECT_EQ(utf8ToUtf16("ab\xF0\x9F\x98\x80", wide, 3), 2u);
    EXPECT_EQ(wide[2], 0);
    char narrow[4];
    const uint16_t euro[] = {'a', 0x20AC, 0};
    EXPECT_EQ(utf16ToUtf8(euro, narrow, sizeof(narrow)), 1u);
    EXPECT_STREQ(narrow, "a");
    EXPECT_EQ(utf8ToUtf16("\xE2\x82\xAC", nullptr, 0), 1u);
}

TEST(Utf, LongTextGoesToTheHeap) {
    std::string longText(700, 'x');
    WideText wide;
    makeWideText(&wide, longText.c_str());
    ASSERT_NE(wide.heap, nullptr);
    EXPECT_EQ(wide.text[699], 'x');
    EXPECT_EQ(wide.text[700], 0);
    releaseWideText(&wide);
    makeWideText(&wide, "short");
    EXPECT_EQ(wide.heap, nullptr);
    EXPECT_EQ(wide.text, wide.local);
    releaseWideText(&wide);
}
