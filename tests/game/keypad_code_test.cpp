// The keypad rule the game and the solver share.
#include "game/keypad_code.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

TEST(KeypadCode, ButtonsEighteenToTwentySixTypeOneToNineAndTwentySevenZero) {
    for (int32_t id = 18; id <= 26; ++id) EXPECT_EQ(keypadDigit(id), '1' + (id - 18)) << id;
    EXPECT_EQ(keypadDigit(27), '0');
    // Star and Pound (the next ids), the entities before, and ids no file could give.
    for (int32_t id : {-1, 0, 17, 28, 29, INT32_MIN, INT32_MAX}) EXPECT_EQ(keypadDigit(id), 0) << id;
}

TEST(KeypadCode, FourDigitsAreComparedThenClearedWhateverTheOutcome) {
    char typed[KEYPAD_CODE_LENGTH] = {};
    uint32_t count = 0;
    const int32_t one = 18, three = 20, five = 22, eight = 25, nine = 26, star = 28;
    EXPECT_EQ(pressKeypad(typed, &count, kKeypadCode, one), KEYPAD_DIGIT_TYPED);
    EXPECT_EQ(pressKeypad(typed, &count, kKeypadCode, star), KEYPAD_NOTHING_TYPED);
    EXPECT_EQ(count, 1u) << "Star types nothing and clears nothing";
    EXPECT_EQ(pressKeypad(typed, &count, kKeypadCode, three), KEYPAD_DIGIT_TYPED);
    EXPECT_EQ(pressKeypad(typed, &count, kKeypadCode, eight), KEYPAD_DIGIT_TYPED);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(pressKeypad(typed, &count, kKeypadCode, five), KEYPAD_CODE_WRONG); // 1385
    EXPECT_EQ(count, 0u);

    const int32_t code[] = {three, eight, five, nine};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pressKeypad(typed, &count, kKeypadCode, code[i]), KEYPAD_DIGIT_TYPED);
    EXPECT_EQ(memcmp(typed, "385", 3), 0);
    EXPECT_EQ(pressKeypad(typed, &count, kKeypadCode, code[3]), KEYPAD_CODE_RIGHT);
    EXPECT_EQ(count, 0u);
}

TEST(KeypadCode, ACountAlreadyAtFourIsComparedWithoutWritingPastTheDigits) {
    struct {
        char typed[KEYPAD_CODE_LENGTH];
        char after;
    } digits = {{'3', '8', '5', '9'}, 'x'};
    uint32_t count = KEYPAD_CODE_LENGTH + 3; // a state only a damaged caller could leave
    EXPECT_EQ(pressKeypad(digits.typed, &count, kKeypadCode, 18), KEYPAD_CODE_RIGHT);
    EXPECT_EQ(digits.after, 'x');
    EXPECT_EQ(count, 0u);
}

} // namespace
