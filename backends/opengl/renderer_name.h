// What the driver's renderer string tells the backend. Portable, so it is tested natively.
#pragma once

// True for Mesa's software rasterisers (llvmpipe, softpipe) and other renderers that
// name themselves software. There every texture sample runs on the CPU, and anisotropic
// filtering multiplies the cost of every sampled pixel several times over for a picture
// that barely changes, so the backend does not ask for it there.
bool isSoftwareRenderer(const char* renderer);
