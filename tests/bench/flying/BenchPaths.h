// Where the bench's tests find the module, the sources and their output
// folder: natively by the paths the build gives, under Wine beside the test
// program and on drive Z:, where Wine puts the Linux root.
#ifndef LUMIVANE_TESTS_BENCH_FLYING_BENCHPATHS_H
#define LUMIVANE_TESTS_BENCH_FLYING_BENCHPATHS_H

#include <string>

#ifdef _WIN32
#include "ProgramFolder.h"
#endif

inline std::string ModulePath(const char* name = "Lumivane.gau")
{
#ifdef _WIN32
    return ProgramFolder() + name;
#else
    return std::string(LUMIVANE_TEST_MODULE_FOLDER) + "/" + name;
#endif
}

inline std::string SourcePath(const char* relative)
{
#ifdef _WIN32
    // The program lies in <build>/tests/bench; the sources are named to it.
    return std::string(LUMIVANE_SOURCE_DIR_WINDOWS) + "\\" + relative;
#else
    return std::string(LUMIVANE_SOURCE_DIR) + "/" + relative;
#endif
}

inline std::string OutFolder(const std::string& name)
{
#ifdef _WIN32
    return ProgramFolder() + "out\\" + name;
#else
    return std::string(LUMIVANE_TEST_OUT) + "/" + name;
#endif
}

#endif
