// Shader source texts: one file holds both stages, each between an
// "#ifdef VERTEX_SHADER_SOURCE" and an "#ifdef FRAGMENT_SHADER_SOURCE" block, and the
// backend compiles it twice with one of the two names defined. Portable, so the
// assembly is tested natively.
#pragma once

#include <stdint.h>

// The text of one stage: the source up to and including the line that holds its
// first "#" (the "#version" line, which GLSL wants first), then "#define <name>\n",
// then the rest of the source. A source without a "#" gets the define on top. The
// result is allocated with malloc; null for a null source or when memory runs out.
char* assembleShaderStage(const char* source, const char* stageName);

// "name[index]" for the array element at byteOffset, elements elementSize bytes
// apart, into a buffer of 64 bytes. False (and an empty buffer) when the name does
// not fit: a cut name could address another uniform.
bool formatElementName(char* buffer, const char* name, uint64_t byteOffset, uint32_t elementSize);

enum { UNIFORM_ELEMENT_NAME_CAPACITY = 64 };
