// The process's command line as UTF-8 arguments (Windows only).
#pragma once

// Splits the wide command line with CommandLineToArgvW and converts each argument to
// UTF-8 into a buffer of its own. The arrays live for the life of the process.
char** commandLineArguments(int* argc);

// The same for a given wide command line; the array ends with a null pointer.
char** commandLineArgumentsOf(const wchar_t* commandLine, int* argc);
