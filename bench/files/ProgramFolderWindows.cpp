// Win32 names the running program's file whatever argv[0] was: a bench
// started from PATH or a shortcut still finds what lies beside it.
#include "bench/files/ProgramFolder.h"

#include "bench/files/Files.h"

#include <windows.h>

std::string RunningProgramFolder()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return FolderOf(std::string(path, length));
}
