// The settings sandbox as every build keeps it: which paths are a gauge's
// settings files, where they lie in the sandbox folder, and the opens it
// refused. Each run enters the sandbox afresh, so the refusals it reports are
// its own and never an earlier run's in the same process. How the module's
// opens are sent into the folder is each build's own
// (SettingsSandboxPlatform.h).
#include "bench/hosting/SettingsSandbox.h"

#include "bench/hosting/SettingsSandboxPlatform.h"

#include <string.h>

namespace {

std::vector<std::string> Refusals;
uint64_t RefusalCount = 0;

// A path the module handed over, as far as MostRefusedPathBytes, its length
// said when it is longer: it may run for megabytes before its zero.
std::string Refused(const char* path)
{
    if (!path)
        return "(null)";
    const size_t length = strnlen(path, MostRefusedPathBytes + 1);
    if (length <= MostRefusedPathBytes)
        return path;
    return std::string(path, MostRefusedPathBytes) + "... (more than " + std::to_string(MostRefusedPathBytes) +
        " bytes)";
}

} // namespace

bool RootOfC(const char* path, const char** name)
{
    if (!path || (path[0] != 'C' && path[0] != 'c') || path[1] != ':' || (path[2] != '\\' && path[2] != '/'))
        return false;
    *name = path + 3;
    return **name && !strpbrk(*name, "\\/:");
}

std::string SandboxedPath(const std::string& folder, const char* path)
{
    const char* name = nullptr;
    if (!RootOfC(path, &name))
        return std::string();
    std::string sandboxed = folder;
    if (!sandboxed.empty() && sandboxed.back() != '/' && sandboxed.back() != '\\')
        sandboxed += '/';
    return sandboxed + SandboxFileName(path, name);
}

bool EnterSandbox(void* module, const std::string& folder, std::string* error)
{
    Refusals.clear();
    RefusalCount = 0;
    return OpenSandboxWay(module, folder, error);
}

void LeaveSandbox()
{
    CloseSandboxWay();
}

void RefuseSandboxOpen(const char* path, const char* mode)
{
    ++RefusalCount;
    if (Refusals.size() < MostRefusalsKept)
        Refusals.push_back(Refused(path) + " (mode " + (mode ? Refused(mode) : "?") + ")");
}

const std::vector<std::string>& SandboxRefusals()
{
    return Refusals;
}

uint64_t SandboxRefusalCount()
{
    return RefusalCount;
}
