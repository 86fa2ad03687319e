#include "game/keypad_code.h"

#include <string.h>

char keypadDigit(int32_t entityId) {
    if (entityId < KEYPAD_FIRST_DIGIT_BUTTON || entityId > KEYPAD_ZERO_BUTTON) return 0;
    return entityId == KEYPAD_ZERO_BUTTON ? '0' : static_cast<char>('1' + (entityId - KEYPAD_FIRST_DIGIT_BUTTON));
}

KeypadOutcome pressKeypad(char* typed, uint32_t* count, const char* code, int32_t entityId) {
    char digit = keypadDigit(entityId);
    if (!digit) return KEYPAD_NOTHING_TYPED;
    // A count already at four (never left so by this function) is compared, not written past.
    if (*count < KEYPAD_CODE_LENGTH) typed[(*count)++] = digit;
    if (*count < KEYPAD_CODE_LENGTH) return KEYPAD_DIGIT_TYPED;
    *count = 0;
    return memcmp(typed, code, KEYPAD_CODE_LENGTH) == 0 ? KEYPAD_CODE_RIGHT : KEYPAD_CODE_WRONG;
}
