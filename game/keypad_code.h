// The exit keypad: the code it opens on (the paper note tells it to the player) and the
// rule of one button press. The game and the puzzle solver both type through
// pressKeypad, so they cannot disagree about which button types what.
#pragma once

#include <stdint.h>

enum { KEYPAD_CODE_LENGTH = 4 };

inline constexpr char kKeypadCode[] = "3859";
static_assert(sizeof(kKeypadCode) == KEYPAD_CODE_LENGTH + 1, "the keypad takes four digits");

// Entity ids of the digit buttons: 18 to 26 are "DigicodeButton1" to "9", 27 is "0".
// "DigicodeButtonStar", "DigicodeButtonPound" and every other entity type nothing.
enum { KEYPAD_FIRST_DIGIT_BUTTON = 18, KEYPAD_ZERO_BUTTON = 27 };

enum KeypadOutcome {
    KEYPAD_NOTHING_TYPED, // not a digit button: the typed digits stay as they were
    KEYPAD_DIGIT_TYPED,   // a digit, fewer than four so far
    KEYPAD_CODE_WRONG,    // the fourth digit, and the four do not match: cleared
    KEYPAD_CODE_RIGHT,    // the fourth digit, and the four match the code: cleared
};

// The digit a button types, '0' to '9', or 0 when it types none.
char keypadDigit(int32_t entityId);

// One press of entity entityId: appends its digit to typed (*count digits so far, room
// for KEYPAD_CODE_LENGTH); at four digits compares them with code (KEYPAD_CODE_LENGTH
// characters) and sets *count back to 0.
KeypadOutcome pressKeypad(char* typed, uint32_t* count, const char* code, int32_t entityId);
