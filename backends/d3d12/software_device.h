// Whether the Direct3D 12 device draws on the CPU: a software adapter, or, under Wine,
// a Vulkan driver that is a CPU one (lavapipe), which Wine's Direct3D 12 runs on while
// its adapter is reported as a made-up hardware card. There every sampled texel costs
// CPU time, and 16x anisotropic filtering several times over (the OpenGL backend skips
// it on software rasterisers for the same reason).
#pragma once

#include <dxgi1_4.h>

bool deviceRunsOnTheCpu(IDXGIAdapter1* adapter);
