// glTF 2.0 binary (.glb) writer for the entity models: one node per part, each with
// its own mesh of one triangle primitive (positions, normals, texture coordinates,
// colours, 32-bit indices). Node transforms stay at the identity: the parts are
// modelled in the model's own frame, so the normals need no node rotation.
#pragma once

#include "tools/content/geometry.h"

#include <stdint.h>

struct GlbNode {
    const char* name;
    const MeshBuilder* mesh;
    // Optional material whose base colour replaces the vertex colours when the game
    // loads the file (the reader applies a material's base colour over COLOR_0).
    bool hasMaterial;
    float baseColour[4];
};

// False on an I/O error or an empty node list. The JSON and binary chunks are padded
// to 4 bytes as the container requires; the output depends only on the inputs.
bool writeGlb(const char* path, const GlbNode* nodes, uint32_t nodeCount);
