// The way into the settings sandbox where the module's fopen is the C
// library's own (the native bench and the web page): the module opens
// "C:\name" relative to the working directory, so the run moves into the
// sandbox folder and back out. Nothing is hooked, so nothing is refused here.
#include "bench/hosting/SettingsSandboxPlatform.h"

#include <limits.h>
#include <unistd.h>

namespace {

std::string Before;

} // namespace

const char* SandboxFileName(const char* path, const char*)
{
    return path;
}

bool OpenSandboxWay(void*, const std::string& folder, std::string* error)
{
    char here[PATH_MAX];
    if (Before.empty() && getcwd(here, sizeof here))
        Before = here;
    if (chdir(folder.c_str()) != 0) {
        *error = "cannot enter the settings folder " + folder;
        return false;
    }
    return true;
}

void CloseSandboxWay()
{
    if (!Before.empty() && chdir(Before.c_str()) == 0)
        Before.clear();
}
