#include "tests/backends/backend_differences.h"

#include "tests/backends/backend_harness.h"

const DifferenceRow kBackendDifferences[DIFFERENCE_COUNT] = {
    {"blend mode 2: destination factor (1 adds, 0 replaces)",
     "the Direct3D 12 frame-buffer copy draws with it and must replace what is there", 1, 0},
    {"window depth of clip-space z: 1 = (z + 1) / 2, 0 = z",
     "each API's own clip space: OpenGL maps -1..1, Direct3D 0..1", 1, 0},
    {"z of the transformed text's glyphs in model-view space",
     "the Direct3D 12 shader places them at -1, in front of the 0..1 depth range's near end", 0, -1},
    {"row order of a frame buffer's textures: 0 = first row at the bottom, 1 = at the top",
     "each API's own render-target layout; the game's HLSL shaders turn v over to sample them", 0, 1},
    {"uploadTextureInRenderer reads the description's smooth byte (1), or filters smoothly until "
     "setTextureSmoothInRenderer (0)",
     "Direct3D 12 samplers are chosen by id at the setters, not at the upload", 1, 0},
    {"the description's render-target byte turns the mip filter off (1)",
     "OpenGL attachments are sampled without mip levels; Direct3D 12 reads the byte only to allow rendering", 1, 0},
    {"point filtering samples the nearest mip level (1) or level 0 only (0)",
     "the Direct3D 12 point samplers filter mip levels by nearest level; OpenGL's point filter has no mip filter", 0,
     1},
    {"a value of another type than the uniform's is refused (1) or written at its offset (0)",
     "OpenGL checks the type of the named uniform; Direct3D 12 copies bytes into the constant block", 1, 0},
    {"draws recorded before a re-upload of their texture show the old (0) or the new (1) contents",
     "Direct3D 12 replaces the texture's view in place; the old resource lives until the frame is done", 0, 1},
};

int difference(BackendDifference which) {
    const DifferenceRow& row = kBackendDifferences[which];
    return gBackend.openGL ? row.openGL : row.direct3D12;
}
