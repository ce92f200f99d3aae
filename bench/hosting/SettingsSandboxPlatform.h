// What each build's way into the settings sandbox (SettingsSandboxWindows.cpp,
// SettingsSandboxPosix.cpp) shares with the sandbox code every build has
// (SettingsSandbox.cpp). Only bench/hosting/SettingsSandbox*.cpp include it.
#ifndef LUMIVANE_BENCH_HOSTING_SETTINGSSANDBOXPLATFORM_H
#define LUMIVANE_BENCH_HOSTING_SETTINGSSANDBOXPLATFORM_H

#include <string>

// "C:\name" with a plain file name: the root of drive C, where a gauge keeps
// its settings. `name` then points at the name inside `path`.
bool RootOfC(const char* path, const char** name);

// The file's name in the sandbox folder for the module's `path` at the root
// of C, whose plain name is `name`: the name where the module's C:\ is the
// folder itself, the whole path where the module's path is a file name
// relative to the working directory.
const char* SandboxFileName(const char* path, const char* name);

// Sends the module's opens into `folder`; false with `error` when it cannot.
bool OpenSandboxWay(void* module, const std::string& folder, std::string* error);
// Undoes what OpenSandboxWay changed in the process, where anything.
void CloseSandboxWay();

#endif
