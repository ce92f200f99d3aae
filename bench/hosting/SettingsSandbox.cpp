// The sandbox's two ways in. Under Wine the replacement fopen is the
// module's only way to open a file (it imports fopen and nothing else that
// opens one), and it passes the call on to msvcrt's own fopen, so that the
// stream it returns is one the module's fgetc, fputs and fclose understand.
#include "bench/hosting/SettingsSandbox.h"

#include "bench/hosting/ImportHooks.h"

#include <stdio.h>
#include <string.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <limits.h>
#include <unistd.h>
#endif

namespace {

std::vector<std::string> Refusals;

// "C:\name" with a plain file name: the root of drive C, where a gauge
// keeps its settings.
bool RootOfC(const char* path, const char** name)
{
    if (!path || (path[0] != 'C' && path[0] != 'c') || path[1] != ':' || (path[2] != '\\' && path[2] != '/'))
        return false;
    *name = path + 3;
    return **name && !strpbrk(*name, "\\/:");
}

#ifdef _WIN32

typedef FILE*(__cdecl* FopenFunction)(const char*, const char*);
FopenFunction SystemFopen = nullptr;
std::string Folder; // ends in a backslash

FILE* __cdecl SandboxFopen(const char* path, const char* mode)
{
    const char* name = nullptr;
    if (!SystemFopen)
        return nullptr;
    if (!RootOfC(path, &name)) {
        Refusals.push_back(std::string(path ? path : "(null)") + " (mode " + (mode ? mode : "?") + ")");
        return nullptr;
    }
    return SystemFopen((Folder + name).c_str(), mode);
}

#else

std::string Before;

#endif

} // namespace

std::string SandboxedPath(const std::string& folder, const char* path)
{
    const char* name = nullptr;
    if (!RootOfC(path, &name))
        return std::string();
    std::string sandboxed = folder;
    if (!sandboxed.empty() && sandboxed.back() != '/' && sandboxed.back() != '\\')
        sandboxed += '/';
#ifdef _WIN32
    return sandboxed + name;
#else
    return sandboxed + path;
#endif
}

bool EnterSandbox(void* module, const std::string& folder, std::string* error)
{
#ifdef _WIN32
    Folder = folder;
    if (Folder.empty() || (Folder.back() != '\\' && Folder.back() != '/'))
        Folder += '\\';
    void* bound = nullptr;
    ImportHook hook = {"msvcrt.dll", "fopen", reinterpret_cast<void*>(&SandboxFopen), &bound, false};
    // A module that does not import fopen opens no file through msvcrt, and
    // has nothing to keep in the sandbox.
    (void)error;
    if (HookImports(module, &hook, 1) == 1)
        SystemFopen = reinterpret_cast<FopenFunction>(bound);
    return true;
#else
    (void)module;
    char here[PATH_MAX];
    if (Before.empty() && getcwd(here, sizeof here))
        Before = here;
    if (chdir(folder.c_str()) != 0) {
        *error = "cannot enter the settings folder " + folder;
        return false;
    }
    return true;
#endif
}

void LeaveSandbox()
{
#ifndef _WIN32
    if (!Before.empty() && chdir(Before.c_str()) == 0)
        Before.clear();
#endif
}

const std::vector<std::string>& SandboxRefusals()
{
    return Refusals;
}
