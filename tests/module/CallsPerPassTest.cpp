// What a pass of the built DLL costs the system under Wine, counted through
// the bench's import hooks: the promise the native count guards in the
// native build (tests/reliability/CallsPerPassTest.cpp), kept by the module
// the simulator loads. Once the settings are loaded a pass allocates nothing
// and touches no file, during a take-off with its sounds playing as well;
// while a settings file is missing a pass makes one failed open and reads
// only the files before the missing one.
#include "bench/lumivane/LumivaneReader.h"
#include "bench/measuring/SystemCallHooks.h"
#include "bench/measuring/SystemCallsPerPass.h"
#include "ProgramFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// The calls of each of the states Lumivane's reader describes, by its name.
struct CallsRow {
    const char* state;
    GaugeCallCounts perPass;
};

// C:\pelmo holds "100" and C:\pelmo1 "80": reading them takes 4 and 3 fgetc
// calls, the last one meeting the end of the file.
const CallsRow Rows[] = {
    {"settings loaded, at rest", {}},
    {"settings loaded, take-off with the sounds playing", {}},
    {"every settings file missing", {0, 0, 1, 1, 0, 0, 0, 0}},
    {"Speed3's file missing, the first read", {0, 0, 1, 1, 0, 0, 0, 0}},
    {"Speed2's file missing, the last read", {0, 0, 3, 1, 7, 0, 2, 0}},
};

TEST(CallsPerPass, SteadyPassesOfTheDllMakeOnlyTheCallsOfTheirState)
{
    const std::string sandbox = ProgramFolder() + "calls-settings";
    CreateDirectoryA(sandbox.c_str(), nullptr);
    const LumivaneReader reader;
    const std::vector<MeasuredState>& states = LumivaneMeasuredStates();
    ASSERT_EQ(states.size(), sizeof Rows / sizeof Rows[0]) << "a row for each state";
    for (size_t i = 0; i < states.size(); ++i) {
        const MeasuredState& state = states[i];
        const CallsRow& row = Rows[i];
        SCOPED_TRACE(state.Name);
        EXPECT_EQ(state.Name, row.state);
        CallsFigures figures;
        std::string error;
        ASSERT_TRUE(CountCallsPerPass(ProgramFolder() + reader.Description().ModuleFile, sandbox, reader, state,
                                      &figures, &error))
            << error;
        EXPECT_TRUE(figures.Steady) << "the passes made different calls; the last: " << DescribeCalls(figures.PerPass);
        EXPECT_EQ(figures.PerPass, row.perPass) << DescribeCalls(figures.PerPass);
        EXPECT_EQ(figures.Install, (GaugeCallCounts{2, 0, 0, 0, 0, 0, 0, 1}))
            << "install: one device and a block for each sound; " << DescribeCalls(figures.Install);
        EXPECT_EQ(figures.Kill, (GaugeCallCounts{0, 2, 0, 0, 0, 0, 0, 0})) << "kill: " << DescribeCalls(figures.Kill);
        EXPECT_EQ(figures.BlocksLeft, 0);
        EXPECT_EQ(figures.Plays, state.From == state.To ? 0 : 3) << "call-outs started";
    }
}

} // namespace
