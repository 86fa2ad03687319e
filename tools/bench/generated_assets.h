// Large inputs the benchmarks make themselves, deterministic and written once into the
// work folder: a GLB of about a million triangles, the same geometry as a ".dmesh",
// and a 4096 x 4096 PNG.
#pragma once

#include <string>

// Each returns the file's path, writing it first when it is not there yet.
std::string generatedLargeGlb();
std::string generatedLargeDmesh();
std::string generatedLargePng();
