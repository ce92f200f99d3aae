// What each build's way into the settings sandbox (SettingsSandboxWindows.cpp,
// SettingsSandboxPosix.cpp) gives the sandbox code every build shares
// (SettingsSandbox.cpp). Only bench/hosting/SettingsSandbox*.cpp include it.
#ifndef LUMIVANE_BENCH_HOSTING_SETTINGSSANDBOXPLATFORM_H
#define LUMIVANE_BENCH_HOSTING_SETTINGSSANDBOXPLATFORM_H

#include <string>

// What stands before a settings file's name in the sandbox folder: nothing
// where the module's C:\ is the folder itself, "C:\" where the module's path
// is a file name relative to the working directory.
extern const char* const SandboxNamePrefix;

// Sends the module's opens into `folder`; false with `error` when it cannot.
bool OpenSandboxWay(void* module, const std::string& folder, std::string* error);
// Undoes what OpenSandboxWay changed in the process, where anything.
void CloseSandboxWay();

#endif
