// The settings sandbox's refusals belong to the run that entered it: runs
// entered one after another in one process each see only the opens refused
// since their own entry, whatever the runs before them were refused. In both
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
};

// Each run's refused opens, in order; a run with none comes between others.
const RunRefusals Runs[] = {
    {{"D:\\elsewhere\\pelmo", "C:\\sub\\pelmo1", nullptr}},
    {{}},
    {{"pelmo2"}},
    {{"C:\\windows\\win.ini", "C:\\windows\\win.ini"}}, // the same path twice is two opens
};

} // namespace

TEST(SettingsSandbox, EachEntryStartsAFreshListOfRefusals)
{
    void* module = LoadTestModule();
    ASSERT_NE(module, nullptr) << "loading Lumivane.gau";
    for (size_t run = 0; run < sizeof Runs / sizeof Runs[0]; ++run) {
        std::string error;
        ASSERT_TRUE(EnterSandbox(module, ".", &error)) << "run " << run << ": " << error;
        std::vector<std::string> expected;
        for (const char* path : Runs[run].Paths) {
            RefuseSandboxOpen(path, "r");
            expected.push_back(std::string(path ? path : "(null)") + " (mode r)");
        }
        EXPECT_EQ(SandboxRefusals(), expected) << "the refusals of run " << run << " alone";
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
