// The way into the settings sandbox under Wine and Windows: the module's
// import of fopen from msvcrt is pointed at a replacement, which is the
// module's only way to open a file (it imports fopen and nothing else that
// opens one). "C:\name" opens <sandbox>\name through msvcrt's own fopen, so
// that the stream is one the module's fgetc, fputs and fclose understand;
// any other path is refused and noted.
#include "bench/hosting/SettingsSandbox.h"

#include "bench/hosting/ImportHooks.h"
#include "bench/hosting/SettingsSandboxPlatform.h"

#include <stdio.h>
#include <string.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

typedef FILE*(__cdecl* FopenFunction)(const char*, const char*);
FopenFunction SystemFopen = nullptr;
std::string Folder; // ends in a backslash

FILE* __cdecl SandboxFopen(const char* path, const char* mode)
{
    const char* name = nullptr;
    if (!SystemFopen)
        return nullptr;
    if (!RootOfC(path, &name)) {
        RefuseSandboxOpen(path, mode);
        return nullptr;
    }
    return SystemFopen((Folder + name).c_str(), mode);
}

} // namespace

const char* SandboxFileName(const char*, const char* name)
{
    return name;
}

bool OpenSandboxWay(void* module, const std::string& folder, std::string* error)
{
    Folder = folder;
    if (Folder.empty() || (Folder.back() != '\\' && Folder.back() != '/'))
        Folder += '\\';
    void* bound = nullptr;
    ImportHook hook = {"msvcrt.dll", "fopen", reinterpret_cast<void*>(&SandboxFopen), &bound, false};
    // A module that does not import fopen opens no file through msvcrt, and
    // has nothing to keep in the sandbox.
    (void)error;
    if (HookImports(module, &hook, 1) != 1)
        return true;
    // A module entered again, or loaded again while the system still held
    // its image, already calls the replacement: that is no way on to msvcrt,
    // and taking it for one would send every open round in a circle.
    if (bound != reinterpret_cast<void*>(&SandboxFopen))
        SystemFopen = reinterpret_cast<FopenFunction>(bound);
    return true;
}

void CloseSandboxWay()
{
}
