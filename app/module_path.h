// The program directory from the module's own file name (Windows only).
#pragma once

struct HINSTANCE__;

// Fills gModuleDirectory from the module file name of instance: cut after the last
// backslash, forward slashes, UTF-8, normalised.
void fixModuleDirectory(HINSTANCE__* instance);
