// What the shell itself reads from the command line.
#pragma once

// The path after the last "-forceRenderBackend" that is not the final argument
// (the flag is case-sensitive; a trailing flag is ignored); null when there is none.
const char* forcedRenderBackend(int argc, char** argv);
