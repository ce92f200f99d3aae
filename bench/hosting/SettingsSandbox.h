// The settings sandbox. A gauge keeps its settings in files at the root of drive C
// (C:\name); under the bench they live in a folder of the bench's choosing,
// the output folder's settings/ unless the user names another, and nothing
// the module opens may land anywhere else. Under Wine the module's import of
// fopen from msvcrt is hooked (bench/hosting/ImportHooks.h), so that C:\name opens
// <sandbox>\name and any other path is refused and reported. The native
// module's fopen of "C:\name" is relative to the working directory, so there
// the run moves into the sandbox folder instead.
#ifndef LUMIVANE_BENCH_SANDBOX_H
#define LUMIVANE_BENCH_SANDBOX_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// Where a module's file at the root of drive C, `path` ("C:\\name"), lies in
// the sandbox `folder`: <folder>/name under Wine, and natively
// <folder>/C:\name, the name the module's fopen makes of it relative to the
// working directory. Empty for a path anywhere else, which the sandbox
// refuses.
std::string SandboxedPath(const std::string& folder, const char* path);

// Sends the module's settings files into `folder` (which must exist), and
// starts a fresh list of refusals. Under Wine this patches the module's
// fopen; natively it changes the working directory. False with `error` when
// that cannot be done.
bool EnterSandbox(void* module, const std::string& folder, std::string* error);
// Natively, back to the working directory before EnterSandbox.
void LeaveSandbox();

// Paths the module tried to open outside the sandbox since the sandbox was
// last entered, refused: each run's own. The first MostRefusalsKept are kept,
// each path cut to MostRefusedPathBytes, and all of them counted: a module
// that opens a new path at every pass of a day's run is said in a page.
constexpr size_t MostRefusalsKept = 64, MostRefusedPathBytes = 260;
const std::vector<std::string>& SandboxRefusals();
uint64_t SandboxRefusalCount();
// Notes an open outside the sandbox as refused; the way in calls it for
// every open it turns away.
void RefuseSandboxOpen(const char* path, const char* mode);

#endif
