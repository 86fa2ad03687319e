// Placeholder: the Direct3D 12 backend's own issue fills this library. Until then it
// exports nothing; the program, finding no initRenderer in it, falls back to
// VidPortOpenGL3_0.dll as it does when Direct3D 12 fails to start. It is already built
// against the shared records, so their layout checks hold here too.
#include "backend/backend_window.h"
#include "backend/renderer_api.h"
