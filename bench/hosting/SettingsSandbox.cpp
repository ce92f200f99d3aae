// The settings sandbox as every build keeps it: the gauge's file names, where
// they lie in the sandbox folder, and the opens it refused. Each run enters
// the sandbox afresh, so the refusals it reports are its own and never an
// earlier run's in the same process. How the module's opens are sent into the
// folder is each build's own (SettingsSandboxPlatform.h).
#include "bench/hosting/SettingsSandbox.h"

#include "bench/hosting/SettingsSandboxPlatform.h"

namespace {

std::vector<std::string> Refusals;

} // namespace

const char* SettingsFileName(int speed)
{
    return speed == 1 ? "pelmo1" : speed == 2 ? "pelmo2" : "pelmo";
}

std::string SettingsFilePath(const std::string& folder, int speed)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != '\\')
        path += '/';
    return path + SandboxNamePrefix + SettingsFileName(speed);
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
