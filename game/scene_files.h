// The game's own binary data files, read whole and checked against their bytes:
//   texture lists ("data/meshes/textures", "data/meshes/<object>_textures"),
//   the interactable list ("data/meshes/interactibleNames"),
//   the entities file ("data/meshes/entities": cameras, then placed entities).
// All little-endian; a string is a u64 byte length and the bytes. A file that is
// missing, cut short, or longer than its records is refused with a reason.
#pragma once

#include "engine/math/vector.h"

#include <stdint.h>

struct TextureList {
    uint32_t count;
    char** paths; // relative to the program directory
};

struct InteractableRecord {
    char* name;
    char* openingItem; // empty: opened and closed by a click
    bool required;     // needed for the end
    Vec3 openOffset;
};

struct InteractableList {
    uint32_t count;
    InteractableRecord* records;
};

struct CameraRecord {
    char* name;
    Vec3 position;
    Vec3 direction;
    float fieldOfView; // vertical, degrees
};

// Rotations are three angles in degrees: about Z, then X, then Y, combined as
// Rz(first) * Rx(second) * Ry(third).
struct EntityRecord {
    char* name;
    char* modelPath; // a GLB file
    char* partName;  // empty: every mesh of the file
    Vec3 positionA;
    Vec3 scaleA;
    Vec3 color;      // (-1, -1, -1): keep the model's colours
    Vec3 rotationA;
    Vec3 positionB;  // the inventory preview pose
    Vec3 scaleB;
    Vec3 rotationB;
    bool pickable;
};

struct EntityList {
    uint32_t cameraCount;
    CameraRecord* cameras;
    uint32_t entityCount;
    EntityRecord* entities;
};

// Each returns false with a one-line reason (at most 255 bytes) and the output
// empty when the file cannot be used.
bool readTextureList(const char* path, TextureList* out, char reason[256]);
bool readInteractableList(const char* path, InteractableList* out, char reason[256]);
bool readEntityList(const char* path, EntityList* out, char reason[256]);

// The same from bytes already in memory (the file readers use these).
bool parseTextureList(const void* bytes, uint64_t size, TextureList* out, char reason[256]);
bool parseInteractableList(const void* bytes, uint64_t size, InteractableList* out, char reason[256]);
bool parseEntityList(const void* bytes, uint64_t size, EntityList* out, char reason[256]);

void releaseTextureList(TextureList* list);
void releaseInteractableList(InteractableList* list);
void releaseEntityList(EntityList* list);
