// The entity models, written as GLB files: the dome camera drawn at every security
// camera, the keypad (one file, one node per part, loaded part by part), the four
// items, and a decor file whose parts several entities share.
#pragma once

#include "tools/content/geometry.h"

#include <stdint.h>

#include <vector>

struct ModelPart {
    const char* name;
    MeshBuilder mesh;
};

struct Model {
    const char* path; // relative to the program directory
    std::vector<ModelPart> parts;
};

void buildModels(std::vector<Model>* models);

// Keypad layout in the model's own frame (front facing -y): the button grid, shared
// with the scene so that entity names match part names.
struct KeypadButton {
    const char* entityName;
    const char* partName;
    const char* label; // drawn on the button in segments
};
enum { KEYPAD_BUTTON_COUNT = 12 };
extern const KeypadButton kKeypadButtons[KEYPAD_BUTTON_COUNT];
