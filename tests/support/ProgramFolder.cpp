#include "ProgramFolder.h"

#include <windows.h>

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    folder.erase(slash == std::string::npos ? 0 : slash + 1);
    return folder;
}

std::string CaptureBesideProgram(const char* home)
{
    return ProgramFolder() + home + "\\capture.wav";
}
