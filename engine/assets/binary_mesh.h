// The two binary mesh layouts: ".mesh" (header and arrays read field by field) and
// ".dmesh" (a memory image whose arrays are found through relative offsets). The
// readers check every count and offset against the file's bytes and refuse what does
// not fit, leaving the mesh untouched. The writers serve the content tools.
#pragma once

#include "engine/assets/mesh.h"

bool readStreamMesh(Mesh* mesh, const char* path);
bool readImageMesh(Mesh* mesh, const char* path);

// Write the mesh's vertices (in its own format) and indices; false on an I/O error.
// ".dmesh" files are written header, vertex block, index block.
bool writeStreamMesh(const char* path, const Mesh* mesh);
bool writeImageMesh(const char* path, const Mesh* mesh);
