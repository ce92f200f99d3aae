// The settings sandbox. The gauge keeps its speeds in C:\pelmo, C:\pelmo1 and
// C:\pelmo2; under the bench they live in a folder of the bench's choosing,
// the output folder's settings/ unless the user names another, and nothing
// the module opens may land anywhere else. Under Wine the module's import of
// fopen from msvcrt is hooked (bench/hosting/ImportHooks.h), so that C:\name opens
// <sandbox>\name and any other path is refused and reported. The native
// module's fopen of "C:\pelmo" is relative to the working directory, so there
// the run moves into the sandbox folder instead.
#ifndef LUMIVANE_BENCH_SANDBOX_H
#define LUMIVANE_BENCH_SANDBOX_H

#include <string>
#include <vector>

// The gauge's file for speed 1, 2 or 3: "pelmo1", "pelmo2", "pelmo".
const char* SettingsFileName(int speed);

// Where the module finds that file in the sandbox `folder`: <folder>/pelmo
// under Wine, and natively <folder>/C:\pelmo, the name the module's fopen
// makes of it relative to the working directory.
std::string SettingsFilePath(const std::string& folder, int speed);

// Sends the module's settings files into `folder` (which must exist), and
// starts a fresh list of refusals. Under Wine this patches the module's
// fopen; natively it changes the working directory. False with `error` when
// that cannot be done.
bool EnterSandbox(void* module, const std::string& folder, std::string* error);
// Natively, back to the working directory before EnterSandbox.
void LeaveSandbox();

// Paths the module tried to open outside the sandbox since the sandbox was
// last entered, refused: each run's own.
const std::vector<std::string>& SandboxRefusals();
// Notes an open outside the sandbox as refused; the way in calls it for
// every open it turns away.
void RefuseSandboxOpen(const char* path, const char* mode);

#endif
