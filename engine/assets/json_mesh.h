// The JSON mesh format: {"model": {"vertices": [{x, y, z}], "uvs": [{u, v}],
// "colors": [{r, g, b}], "indices": [{a, b, c}], "normals": [{x, y, z}]}}.
#pragma once

#include "engine/assets/mesh.h"

// Fills the mesh in its own vertex format, which must have a 3-component position, a
// texture coordinate, a colour and a normal (formats 0, 4 and 10). Without "normals"
// smooth normals are computed. A document without "model" leaves the mesh as it was
// and is not an error. False, mesh untouched, when the file cannot be read, is not
// JSON, or names vertices it does not have.
bool loadJsonMesh(Mesh* mesh, const char* path);
