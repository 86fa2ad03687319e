// Everything the data folder holds, built in memory from the level description, and
// its writer. The same inputs give the same bytes: nothing depends on the clock, the
// environment or the order of a directory listing.
#pragma once

#include "tools/content/geometry.h"
#include "tools/content/models.h"
#include "tools/content/scene.h"

#include <stdint.h>

#include <vector>

struct BuiltLevelMesh {
    int material;
    MeshBuilder mesh;
};

struct Content {
    std::vector<BuiltLevelMesh> levelMeshes; // data/meshes/<i>.dmesh, in draw order
    std::vector<InteractableSpec> interactables;
    std::vector<EntitySpec> entities;
    std::vector<Model> models;
};

void buildContent(Content* content);

// Writes the data folder under outputRoot (files land in outputRoot/data/...). The
// sources of the game's shader programs (game/shader_programs.h) are copied from
// shaderSourceDirectory. False, with a message on stderr
// naming the file, when anything cannot be written.
bool writeContent(const Content* content, const char* outputRoot, const char* shaderSourceDirectory);
