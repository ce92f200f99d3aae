// How the bench's tests fly a module: into an output folder of their own, on
// the software device, which keeps the run's own time, with no progress line.
// Each test then adds what it watches or leaves out.
#ifndef LUMIVANE_TESTS_BENCH_FLYING_QUIETRUN_H
#define LUMIVANE_TESTS_BENCH_FLYING_QUIETRUN_H

#include "bench/flying/Run.h"

#include "BenchPaths.h"

#include <string>

inline RunOptions QuietRun(const std::string& out, const char* module = "Lumivane.gau")
{
    RunOptions options;
    options.Module = ModulePath(module);
    options.Out = OutFolder(out);
    options.SoftSound = true;
    options.Progress = false;
    return options;
}

#endif
