// The clickable objects (doors, lockers, drawers, the tool cabinet) and the placed
// entities (keypad, items, decor) of the level, as the data files describe them.
#pragma once

#include "tools/content/geometry.h"

#include <stdint.h>

#include <vector>

struct InteractablePart {
    int material; // building.h
    MeshBuilder mesh;
};

struct InteractableSpec {
    const char* name;
    const char* openingItem; // "" when a click opens it
    bool required;
    Vec3 openOffset;
    std::vector<InteractablePart> parts; // in world coordinates, closed
};

struct EntitySpec {
    const char* name;
    const char* modelPath;
    const char* partName; // "" for every mesh of the file
    Vec3 position, scale, colour, rotation;        // colour (-1, -1, -1) keeps the model's
    Vec3 previewPosition, previewScale, previewRotation;
    bool pickable;
};

// The item named by exitDoor: no entity carries this name, so the door ignores clicks
// and only the keypad opens it.
inline constexpr const char* kExitDoorOpeningItem = "exitCode";

void buildInteractables(std::vector<InteractableSpec>* out);
void buildEntities(std::vector<EntitySpec>* out);
