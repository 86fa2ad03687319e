// Placeholder: the Direct3D 12 backend's own issue fills this library. Until then it
// exports nothing; the program, finding no initRenderer in it, falls back to
// VidPortOpenGL3_0.dll as it does when Direct3D 12 fails to start.
