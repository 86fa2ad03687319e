#include "app/command_line.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

char** commandLineArguments(int* argc) { return commandLineArgumentsOf(GetCommandLineW(), argc); }

char** commandLineArgumentsOf(const wchar_t* commandLine, int* argc) {
    *argc = 0;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(commandLine, &count);
    if (!wide) return new char*[1]{nullptr};
    char** arguments = new char*[count + 1];
    for (int i = 0; i < count; ++i) {
        int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        if (bytes <= 0) bytes = 1;
        arguments[i] = new char[bytes];
        arguments[i][0] = 0;
        // A failed conversion leaves the argument as far as it was converted.
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arguments[i], bytes, nullptr, nullptr);
        arguments[i][bytes - 1] = 0;
    }
    arguments[count] = nullptr;
    LocalFree(wide);
    *argc = count;
    return arguments;
}
