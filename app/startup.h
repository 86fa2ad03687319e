// The program's start-up sequence, frame loop and shutdown (Windows only).
#pragma once

struct HINSTANCE__;

// Returns the process exit code: 0 after a normal run, 1 after a start-up failure.
int runProgram(HINSTANCE__* instance);
