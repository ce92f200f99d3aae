// Take-off after take-off on the software device's clock, each with its own
// speeds and airspeed profile: a taxi, a noisy take-off roll at its own
// acceleration (now and then rejected, now and then dipping back below
// Speed1), a climb above the windows and a landing. Every take-off that
// reaches Speed3 + 10 without falling below Speed1 on the way asks for
// exactly three call-outs, in order; no call-out is ever asked for outside
// its lamp's window; and the gauge's memory does not grow: the same blocks
// and buffers from the first take-off to the last, across panel reloads.
// LUMIVANE_SOAK_TAKEOFFS sets the length (1,000 by default).
#include "GaugeRun.h"

#include "callouts/Lamps.h"
#include "platform/CallCounts.h"
#include "platform/SoftDirectSound.h"
#include "settings/SettingsFiles.h"
#include "settings/Speeds.h"
#include "sound/SoundObjects.h"

#include <random>

namespace {

class Soak : public WholeGaugeTest {};

TEST_F(Soak, EveryCompletedTakeOffAsksForThreeCallOutsAndNothingGrows)
{
    const long takeOffs = RunLength("LUMIVANE_SOAK_TAKEOFFS", 1000);
    std::mt19937 random(747);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    GaugeRun run;
    run.Install();
    SettingsLoaded = 1; // the speeds are set here for each flight
    ASSERT_NE(SoundDevice, nullptr);
    const int buffers = SoftDirectSoundLiveBuffers();
    const int32_t blocks = GaugeLiveBlocks();
    const int64_t bytes = GaugeLiveBytes();
    ResetGaugeCalls();

    long completed = 0, rejected = 0, dipped = 0, requests = 0, passes = 0, reloads = 0;
    for (long flight = 0; flight < takeOffs; ++flight) {
        // Speeds a pilot could have set, in order.
        Speed1 = 40 + int32_t(unit(random) * 100);
        Speed2 = Speed1 + 1 + int32_t(unit(random) * 25);
        Speed3 = Speed2 + 1 + int32_t(unit(random) * 25);
        const double top = Speed3 + 10;
        const double rate = (3 + 12 * unit(random)) / GaugeRun::PassesPerSecond; // per pass
        const double noise = 2.5 * unit(random);
        const bool rejects = unit(random) < 0.1;
        const double rejectAt = Speed1 + unit(random) * (Speed3 - Speed1);

        bool crossed = false, dip = false, reachedTop = false;
        int asked = 0;
        auto fly = [&](double v) {
            PassView view = run.Pass(v);
            ++passes;
            const int32_t thresholds[3] = {Speed1, Speed2, Speed3};
            for (int k = 0; k < 3; ++k) {
                if (view.Asked(k + 1)) {
                    ++asked;
                    EXPECT_LE(v, top) << "a call-out asked for above Speed3 + 10";
                    EXPECT_GE(v, thresholds[k]) << "call-out " << k + 1 << " below its speed";
                }
            }
            if (v >= Speed1)
                crossed = true;
            else if (crossed && !reachedTop)
                dip = true;
            if (v > top)
                reachedTop = true;
        };

        // Taxi, then the roll; a rejected one slows to a stop at its point.
        double v = unit(random) * (Speed1 - 10);
        for (int i = 0; i < 10; ++i)
            fly(v);
        while (v <= top + 5 && !(rejects && v >= rejectAt)) {
            v += rate;
            fly(v + noise * (unit(random) - 0.5));
        }
        // Climb out, then land and stop.
        for (int i = 0; i < 10 && !rejects; ++i)
            fly(top + 20 + 50 * unit(random));
        for (double landing = rejects ? v : top + 20; landing > 0; landing -= 4)
            fly(landing);
        fly(0);

        requests += asked;
        if (reachedTop && !dip) {
            ++completed;
            EXPECT_EQ(asked, 3) << "take-off " << flight;
        } else if (rejects) {
            ++rejected;
        } else {
            ++dipped;
        }
        EXPECT_LE(asked, dip ? 1000 : 3) << "take-off " << flight;
        EXPECT_EQ(CalloutStage, 0) << "stopped, the call-outs are armed again";

        // Nothing of the gauge's grows; the device's own record of what it
        // played is not the gauge's and is dropped.
        run.ClearTrack();
        ASSERT_EQ(SoftDirectSoundLiveBuffers(), buffers) << "take-off " << flight;
        ASSERT_EQ(GaugeLiveBlocks(), blocks) << "take-off " << flight;
        ASSERT_EQ(GaugeLiveBytes(), bytes) << "take-off " << flight;
        ASSERT_EQ(GaugeCalls.LocalAlloc, 0u) << "take-off " << flight;
        // Now and then the panel is reloaded: kill and install again.
        if (flight % 250 == 249) {
            run.Kill();
            ASSERT_EQ(SoftDirectSoundLiveBuffers(), 0);
            ASSERT_EQ(GaugeLiveBlocks(), 0);
            run.Install();
            ++reloads;
            ResetGaugeCalls();
        }
    }
    run.Kill();
    EXPECT_GT(completed, takeOffs / 2);
    Figure("soak", "take-offs=" + std::to_string(takeOffs) + " completed=" + std::to_string(completed) +
                       " rejected=" + std::to_string(rejected) + " dipped-below-speed1=" + std::to_string(dipped) +
                       " call-outs-asked=" + std::to_string(requests) + " passes=" + std::to_string(passes) +
                       " panel-reloads=" + std::to_string(reloads) + " live-buffers=" + std::to_string(buffers) +
                       " live-blocks=" + std::to_string(blocks) + " block-bytes=" + std::to_string(bytes));
}

} // namespace
