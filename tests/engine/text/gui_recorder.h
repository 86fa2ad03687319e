// A stand-in for the backend's drawing entry points that logs the calls the GUI makes,
// for the GUI tests (the texture entry points come from text_test_support).
#pragma once

#include "backend/renderer_types.h"

#include <string>
#include <vector>

struct RecordedCall {
    std::string name;   // entry point
    std::string text;   // uniform name, when it has one
    ShaderRecord* shader;
    int32_t values[4];  // viewport, scissor, buffer ids, texture and unit
    float floats[16];   // uniform values
};

// Binds the texture recorder plus every entry point the GUI uses; the back buffer is
// width x height and the unit quad has ids 900 and 901.
void bindGuiRecorder(uint32_t width, uint32_t height, uint32_t maxTextureSize = 4096);
std::vector<RecordedCall>& recordedCalls();
size_t countCalls(const char* name);
// The last call of a uniform setter for that uniform name, or null.
const RecordedCall* lastUniform(const char* name);
