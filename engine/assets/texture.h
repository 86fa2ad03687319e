// Textures: an image file read by the reader its name picks, described and uploaded
// through uploadTextureInRenderer.
#pragma once

#include "backend/renderer_types.h"

struct Texture {
    int32_t id; // backend texture id; -1 before the first upload
    TextureDescription description;
};

// Id -1, description zero, smooth 1: the state before loadTexture.
Texture emptyTexture();

// Reads the image, fills width, height, pixel format (and the mip count when 0),
// uploads, stores the returned id. A file that cannot be read or is refused still
// uploads an empty texture (no pixels), as the game expects every slot to have an id.
void loadTexture(Texture* texture, const char* path);
