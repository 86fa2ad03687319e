// How much work a data file may ask of the readers. A file dropped into data/ must
// never take the game's memory or stall its start, whatever numbers its headers hold,
// so every reader sizes what it allocates and loops over from one of two things:
//
//  - the bytes the file really has. A count is refused when the elements it promises
//    could not fit in the bytes that are left (checked in 64-bit arithmetic before
//    anything is allocated), so what a reader takes grows with the file's size, never
//    with a number written in it;
//  - where a format lets data stand with no bytes behind it, one of the maximums
//    below.
//
// Beyond these numbers: a failed allocation is a refusal like any other (the reader's
// failure value, the destination untouched), never an abort; whole-file reads take
// regular files only; float data that becomes an integer is clamped, NaN included,
// before the conversion (unitFloatToByte).
#pragma once

#include <stdint.h>

enum : uint32_t {
    // The largest texture edge a backend takes (the Direct3D 12 limit for 2D textures,
    // and what OpenGL drivers commonly report). An image whose header is wider or taller
    // is refused before its pixel block is sized.
    READER_MAX_TEXTURE_EDGE = 16384,

    // Deflate cannot expand data more than 1032 times (a 258-byte match coded in two
    // bits). A PNG whose stored rows need more than that many times the file's bytes
    // cannot hold them, and is refused before its pixel block is allocated.
    READER_MAX_DEFLATE_RATIO = 1032,

    // libpng sizes a chunk's buffer from the chunk's length field before reading it. No
    // block libpng asks for may be larger than the file plus this much, which covers its
    // rows, its inflate state and the text chunks it inflates (8 MB at most).
    READER_MAX_PNG_WORKING_BYTES = 16u << 20,

    // A glTF model may place one mesh under any number of nodes, and an accessor without
    // a buffer view is all zeros: what such a model builds is not bounded by its bytes.
    // One model builds at most this many vertices (80 MiB of slots in the widest vertex
    // format) and indices...
    READER_MAX_MODEL_VERTICES = 1u << 20,
    READER_MAX_MODEL_INDICES = 3u << 20,
    // ...from at most this many placed primitives, each built as a part of its own
    // before the parts are merged.
    READER_MAX_MODEL_PARTS = 1u << 16,

    // Every character of a language's set is laid out at start-up and found by a linear
    // search; far more than any alphabet needs is refused rather than stalling the start.
    READER_MAX_LANGUAGE_CHARACTERS = 16384,

    // A glyph whose box is wider or taller than this many pixels (the largest atlas page)
    // could only be clipped; it is given an empty box and never rendered, so that a font
    // cannot make FreeType draw, or the atlas hold, pictures of gigabytes.
    READER_MAX_GLYPH_EDGE = 4096,

    // Whole-file reads hand sizes on as 32-bit numbers and add a terminating NUL: a larger
    // file is refused rather than cut to the low bits of its size.
    READER_MAX_FILE_BYTES = 0xFFFFFFFEu,
};

// A colour component in 0..1 as a byte, rounded; below 0 (and NaN) is 0, above 1 is 255.
// The comparison is written so that NaN fails it and never reaches the conversion.
inline uint32_t unitFloatToByte(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return static_cast<uint32_t>(value * 255.0f + 0.5f);
}
