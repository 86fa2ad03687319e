#include "game/feedback.h"

#include <string.h>

namespace {

// What each object that needs an item says when it is clicked; others say "locked".
struct LockedObjectText {
    const char* objectName;
    int32_t textId;
};

const LockedObjectText kLockedObjects[] = {
    {"redDoor", TEXT_ID_NEEDS_KEY},
    {"warehouseDoor", TEXT_ID_JAMMED},
    {"deskDoor", TEXT_ID_NEEDS_CARD},
    {"exitDoor", TEXT_ID_NEEDS_CODE},
};

// Entity ids of the keypad's parts that type nothing: its case, star and pound.
const int32_t kKeypadCase = 17;
const int32_t kFirstDigitButton = 18;
const int32_t kZeroButton = 27;
const int32_t kStarButton = 28;
const int32_t kPoundButton = 29;

bool isDigitButton(int32_t id) { return id >= kFirstDigitButton && id <= kZeroButton; }

} // namespace

void showFeedback(GameState* game, int32_t textId) {
    game->feedback.active = true;
    game->feedback.textId = textId;
    game->feedback.shownAt = game->playTime;
}

int32_t currentFeedback(const GameState* game) {
    const FeedbackNote* note = &game->feedback;
    if (!note->active) return -1;
    float age = game->playTime - note->shownAt;
    return age >= 0.0f && age < kFeedbackSeconds ? note->textId : -1;
}

int32_t lockedFeedbackFor(const char* objectName) {
    for (const LockedObjectText& entry : kLockedObjects)
        if (objectName && strcmp(entry.objectName, objectName) == 0) return entry.textId;
    return TEXT_ID_LOCKED;
}

void noteLockedClick(GameState* game, const Interactable* object) {
    showFeedback(game, lockedFeedbackFor(object->name));
}

void noteRefusedItem(GameState* game, const Interactable* object) {
    int32_t text = object->done ? TEXT_ID_ALREADY_OPEN : object->openingItem[0] ? TEXT_ID_WRONG_ITEM : TEXT_ID_NO_ITEM_NEEDED;
    showFeedback(game, text);
}

void noteDropOnNothing(GameState* game) { showFeedback(game, TEXT_ID_NOTHING_TO_OPEN); }

void noteEntityClick(GameState* game, const Entity* entity, uint32_t typedBefore) {
    if (!isDigitButton(entity->id)) {
        bool keypad = entity->id == kKeypadCase || entity->id == kStarButton || entity->id == kPoundButton;
        showFeedback(game, keypad ? TEXT_ID_USE_DIGITS : TEXT_ID_SCENERY);
        return;
    }
    // The fourth digit was just compared and the count went back to 0; the digits stay
    // in the buffer until the next ones overwrite them.
    bool fourth = typedBefore + 1 == KEYPAD_CODE_LENGTH && game->typedCount == 0;
    if (fourth && memcmp(game->typedDigits, game->keypadCode, KEYPAD_CODE_LENGTH) != 0)
        showFeedback(game, TEXT_ID_WRONG_CODE);
}

void noteOneCameraReached(GameState* game) { showFeedback(game, TEXT_ID_ONE_CAMERA); }
