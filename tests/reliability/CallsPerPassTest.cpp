// What a pass costs the system, counted call by call by the link-time
// wrappers (platform/CallCounts.h): once the settings are loaded a pass
// allocates nothing and touches no file, during a take-off with its sounds
// playing as well; while a settings file is missing a pass makes at most one
// failed open, and reads only the files before the missing one.
#include "GaugeRun.h"

#include "callouts/Lamps.h"
#include "platform/CallCounts.h"
#include "sound/SoundObjects.h"

#include <sstream>

namespace {

std::string Describe(const GaugeCallCounts& c)
{
    std::ostringstream out;
    out << "LocalAlloc=" << c.LocalAlloc << " LocalFree=" << c.LocalFree << " fopen=" << c.Fopen
        << " failed-fopen=" << c.FailedFopen << " fgetc=" << c.Fgetc << " fputs=" << c.Fputs
        << " fclose=" << c.Fclose << " DirectSoundCreate=" << c.DirectSoundCreate;
    return out.str();
}

struct CallsRow {
    const char* state;
    const char* files; // which settings files exist: 3 for C:\pelmo, 1, 2
    bool installed;    // sounds loaded, so that the call-outs play
    double from, to;   // the airspeed over the counted passes
    GaugeCallCounts perPass;
};

// C:\pelmo holds "100" and C:\pelmo1 "80": reading them takes 4 and 3
// fgetc calls, the last one meeting the end of the file.
const CallsRow Rows[] = {
    {"settings loaded, at rest", "312", false, 40, 40, {}},
    {"settings loaded, take-off with the sounds playing", "312", true, 60, 120, {}},
    {"every settings file missing", "", false, 40, 40, {0, 0, 1, 1, 0, 0, 0, 0}},
    {"Speed3's file missing, the first read", "12", false, 40, 40, {0, 0, 1, 1, 0, 0, 0, 0}},
    {"Speed2's file missing, the last read", "31", false, 40, 40, {0, 0, 3, 1, 7, 0, 2, 0}},
};

class CallsPerPass : public WholeGaugeTest {};

TEST_F(CallsPerPass, SteadyPassesMakeOnlyTheCallsOfTheirState)
{
    for (const CallsRow& row : Rows) {
        SCOPED_TRACE(row.state);
        StartFresh(row.files);
        GaugeRun run;
        ResetGaugeCalls();
        if (row.installed) {
            run.Install();
            EXPECT_EQ(GaugeCalls, (GaugeCallCounts{2, 0, 0, 0, 0, 0, 0, 1}))
                << "install: one device and a block for each sound; " << Describe(GaugeCalls);
            Figure("calls-at-install", Describe(GaugeCalls));
        }
        // The first pass of a fresh module loads the settings where it can.
        run.Pass(row.from);
        std::vector<double> airspeeds =
            row.from == row.to ? std::vector<double>(50, row.from) : Ramp(row.from, row.to, 10);
        GaugeCallCounts most = {};
        for (double v : airspeeds) {
            ResetGaugeCalls();
            run.Pass(v);
            ASSERT_EQ(GaugeCalls, row.perPass) << "at " << v << ": " << Describe(GaugeCalls);
            EXPECT_LE(GaugeCalls.FailedFopen, 1u);
            most = GaugeCalls;
        }
        Figure("calls-per-pass", "state=\"" + std::string(row.state) + "\" passes=" +
                                     std::to_string(airspeeds.size()) + " " + Describe(most));
        if (row.installed) {
            EXPECT_EQ(CalloutStage, 3);
            EXPECT_GE(run.Bursts(), 4) << "the three call-outs, Wave2 in two beeps, were heard";
            ResetGaugeCalls();
            run.Kill();
            EXPECT_EQ(GaugeCalls, (GaugeCallCounts{0, 2, 0, 0, 0, 0, 0, 0})) << "kill: " << Describe(GaugeCalls);
            Figure("calls-at-kill", Describe(GaugeCalls));
        }
        EXPECT_EQ(GaugeLiveBlocks(), 0);
    }
}

} // namespace
