#include "engine/text/line_breaking.h"

namespace {

bool isVowel(uint32_t c) {
    switch (c) {
    case 'a': case 'e': case 'i': case 'o': case 'u': case 'y':
    case 0xE0: case 0xE2: case 0xE6: case 0xE8: case 0xE9: case 0xEA: case 0xEB: // à â æ è é ê ë
    case 0xEE: case 0xEF: case 0xF4: case 0xF9: case 0xFB: case 0xFC: case 0xFF: // î ï ô ù û ü ÿ
    case 0x153:                                                                  // œ
        return true;
    default:
        return false;
    }
}

// Every consonant but x, which must not start a syllable after a vowel ("ex-amen").
bool isBreakingConsonant(uint32_t c) {
    switch (c) {
    case 'b': case 'c': case 'd': case 'f': case 'g': case 'h': case 'j': case 'k': case 'l': case 'm':
    case 'n': case 'p': case 'q': case 'r': case 's': case 't': case 'v': case 'w': case 'z':
    case 0xE7: // ç
        return true;
    default:
        return false;
    }
}

// The last character that counts for alignment: trailing spaces are left out.
int64_t lastCounted(const LaidCharacter* line, uint32_t count) {
    int64_t last = static_cast<int64_t>(count) - 1;
    while (last >= 0 && line[last].code == ' ') --last;
    return last;
}

void shiftLine(LaidCharacter* line, uint32_t count, int32_t by) {
    for (uint32_t i = 0; i < count; ++i) line[i].x += by;
}

// width + x0 - al - xl: how far the line's counted end is from the box's edge.
bool freeSpace(const LaidCharacter* line, uint32_t count, int32_t width, int32_t* space) {
    int64_t last = lastCounted(line, count);
    if (last < 0) return false;
    int64_t free = static_cast<int64_t>(width) + line[0].x - line[last].glyph.advance.x - line[last].x;
    if (free > INT32_MAX || free < INT32_MIN) return false;
    *space = static_cast<int32_t>(free);
    return true;
}

} // namespace

bool isHyphenationPoint(uint32_t previous, uint32_t code) {
    if (isBreakingConsonant(code) && isVowel(previous)) return true;
    return previous == code && (isBreakingConsonant(code) || code == 'x');
}

LineBreak findWordWrap(const LaidCharacter* line, uint32_t count, uint32_t crossing, uint32_t crossingSource,
                       int32_t width, int32_t hyphenWidth) {
    if (crossing == ' ') return LineBreak{count, false, crossingSource + 1};
    for (uint32_t j = count; j-- > 1;)
        if (line[j].code == ' ') return LineBreak{j, false, line[j].source + 1};
    int64_t fallback = -1;
    for (uint32_t i = count; i-- > 2;) {
        if (!isHyphenationPoint(line[i - 1].code, line[i].code)) continue;
        if (static_cast<int64_t>(line[i].x) + hyphenWidth <= width) return LineBreak{i, true, line[i].source};
        if (fallback < 0) fallback = i;
    }
    if (fallback >= 0) return LineBreak{static_cast<uint32_t>(fallback), true, line[fallback].source};
    return LineBreak{count, false, crossingSource};
}

void alignLineRight(LaidCharacter* line, uint32_t count, int32_t width) {
    int32_t space;
    if (freeSpace(line, count, width, &space)) shiftLine(line, count, space);
}

void alignLineCentre(LaidCharacter* line, uint32_t count, int32_t width) {
    int32_t space;
    if (freeSpace(line, count, width, &space)) shiftLine(line, count, space / 2);
}

void justifyLine(LaidCharacter* line, uint32_t count, int32_t width) {
    int32_t space;
    if (!freeSpace(line, count, width, &space) || space <= 0) return;
    int64_t last = lastCounted(line, count);
    uint32_t counted = static_cast<uint32_t>(last + 1);
    if (counted < 2) return;
    uint32_t spaces = 0;
    for (uint32_t i = 0; i < counted; ++i) spaces += line[i].code == ' ';
    int32_t offset = 0;
    if (spaces > 0) {
        int32_t widen = space / static_cast<int32_t>(spaces);
        for (uint32_t i = 0; i < count; ++i) {
            line[i].x += offset;
            if (i < counted && line[i].code == ' ') offset += widen;
        }
    } else {
        int32_t gap = space / static_cast<int32_t>(counted - 1);
        for (uint32_t i = 0; i < count; ++i) {
            line[i].x += offset;
            offset += gap;
        }
    }
}

int32_t lineWidth(const LaidCharacter* line, uint32_t count) {
    int64_t last = lastCounted(line, count);
    if (last < 0) return 0;
    int64_t width = static_cast<int64_t>(line[last].x) + line[last].glyph.advance.x - line[0].x;
    return width < 0 ? 0 : width > INT32_MAX ? INT32_MAX : static_cast<int32_t>(width);
}
