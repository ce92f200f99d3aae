// The settings sandbox's refusals belong to the run that entered it: runs
// entered one after another in one process each see only the opens refused
// since their own entry, whatever the runs before them were refused, and a
// run refused thousands of times keeps the first and counts them all. In both
// builds, on the real Lumivane.gau; the opens refused here are noted as the
// way in notes them (under Wine SettingsSandboxWindowsTest.cpp sends them
// through the module's own fopen).
#include "bench/files/Files.h"
#include "bench/hosting/SettingsSandbox.h"
#include "tests/bench/TestModule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RunRefusals {
    std::vector<const char*> Paths;
    size_t Times; // the paths refused in turn this many times
};

const std::string LongPath = "C:\\" + std::string(MostRefusedPathBytes + 40, 'x');

// Each run's refused opens, in order; a run with none comes between others.
const RunRefusals Runs[] = {
    {{"D:\\elsewhere\\pelmo", "C:\\sub\\pelmo1", nullptr}, 1},
    {{}, 1},
    {{"pelmo2"}, 1},
    {{"C:\\windows\\win.ini", "C:\\windows\\win.ini"}, 1}, // the same path twice is two opens
    // A module that opens outside at every pass of a long run: the first are
    // kept, all are counted; a path longer than a path can be is cut.
    {{"D:\\elsewhere\\pelmo", LongPath.c_str()}, 5000},
};

// How a refused path is kept: cut past MostRefusedPathBytes, with a word
// that says so.
std::string Kept(const char* path)
{
    if (!path)
        return "(null)";
    const std::string whole = path;
    return whole.size() <= MostRefusedPathBytes
               ? whole
               : whole.substr(0, MostRefusedPathBytes) + "... (more than " + std::to_string(MostRefusedPathBytes) +
                     " bytes)";
}

} // namespace

TEST(SettingsSandbox, EachEntryStartsAFreshListOfRefusals)
{
    void* module = LoadTestModule();
    ASSERT_NE(module, nullptr) << "loading Lumivane.gau";
    for (size_t run = 0; run < sizeof Runs / sizeof Runs[0]; ++run) {
        std::string error;
        ASSERT_TRUE(EnterSandbox(module, ".", &error)) << "run " << run << ": " << error;
        std::vector<std::string> expected;
        for (size_t time = 0; time < Runs[run].Times; ++time)
            for (const char* path : Runs[run].Paths) {
                RefuseSandboxOpen(path, "r");
                if (expected.size() < MostRefusalsKept)
                    expected.push_back(Kept(path) + " (mode r)");
            }
        EXPECT_EQ(SandboxRefusals(), expected) << "the refusals of run " << run << " alone";
        EXPECT_EQ(SandboxRefusalCount(), Runs[run].Paths.size() * Runs[run].Times) << "run " << run;
        LeaveSandbox();
    }
}

// A run's way into the sandbox is closed when it leaves: the bench is back
// where it was, so a second run's relative paths mean what they meant before
// the first (natively the way is the working folder).
TEST(SettingsSandbox, LeavingPutsTheBenchBackWhereItWas)
{
    void* module = LoadTestModule();
    ASSERT_NE(module, nullptr) << "loading Lumivane.gau";
    const std::string before = AbsolutePath(".");
    ASSERT_TRUE(MakeFolders("sandbox-elsewhere"));
    for (int run = 0; run < 2; ++run) {
        std::string error;
        ASSERT_TRUE(EnterSandbox(module, AbsolutePath("sandbox-elsewhere"), &error)) << error;
        LeaveSandbox();
        EXPECT_EQ(AbsolutePath("."), before) << "after run " << run;
    }
}
