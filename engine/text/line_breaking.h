// Where a line that reached the box's edge breaks, and how a finished line is
// aligned. Works on the characters of one line as layout placed them.
#pragma once

#include "engine/text/font_atlas.h"

#include <stdint.h>

struct LaidCharacter {
    uint32_t code;
    uint32_t source; // index in the laid-out code points
    int32_t x;       // pen position
    int32_t y;
    GlyphInfo glyph;
};

// A consonant other than x preceded by a vowel, or two equal consonants (x included):
// a line may break between previous and code, ending with a hyphen.
bool isHyphenationPoint(uint32_t previous, uint32_t code);

struct LineBreak {
    uint32_t keep;   // characters 0 .. keep - 1 stay on the line
    bool hyphen;     // and a hyphen follows them
    uint32_t resume; // code point index the next line starts with
};

// Word wrap of a line of count (> 0) characters that the code point at crossing (index
// crossingSource) would push past width. A space on the line (not its first character)
// breaks there and is dropped; a crossing space itself breaks the line whole; without
// a space, the last hyphenation point from position 2 on whose hyphen still fits
// (else the last one) breaks the word; without one the line stays whole and the
// crossing code point starts the next line.
LineBreak findWordWrap(const LaidCharacter* line, uint32_t count, uint32_t crossing, uint32_t crossingSource,
                       int32_t width, int32_t hyphenWidth);

// Moves the characters of a finished line: right aligned or centred against width, or
// justified (free space spread over the spaces, else over the gaps). Trailing spaces
// do not count; a line of one character is not justified.
void alignLineRight(LaidCharacter* line, uint32_t count, int32_t width);
void alignLineCentre(LaidCharacter* line, uint32_t count, int32_t width);
void justifyLine(LaidCharacter* line, uint32_t count, int32_t width);

// Left edge to the right end (x + advance) of the last character that is not a space.
int32_t lineWidth(const LaidCharacter* line, uint32_t count);
