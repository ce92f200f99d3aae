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
    return OpenSandboxWay(module, folder, error);
}

void LeaveSandbox()
{
    CloseSandboxWay();
}

void RefuseSandboxOpen(const char* path, const char* mode)
{
    Refusals.push_back(std::string(path ? path : "(null)") + " (mode " + (mode ? mode : "?") + ")");
}

const std::vector<std::string>& SandboxRefusals()
{
    return Refusals;
}
