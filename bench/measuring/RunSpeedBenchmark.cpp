// How many passes a second the bench flies natively and headless: the native
// gauge module loaded and installed as the host does, then a long take-off
// profile flown as fast as the machine goes, with the software DirectSound
// and without recording or rendering; and the same with the frames a
// recorded run writes by default (painted where the panel changed, those
// written as PNGs), to show what watching every pass costs. That one is flown
// without noise: noise at a lamp's threshold makes the lamp flicker for
// thousands of passes, each a frame to write, and the figure would be that
// of the PNG encoder. And the panel painted into memory at every pass, changed
// or not, with nothing written. Each iteration is one whole run,
// load and kill included; the figure is passes a second over all of them.
// Not a test: run it by hand (see docs/figures.md) on a build without sanitizers.
#include "bench/lumivane/LumivaneFacts.h"
#include "bench/pictures/FrameRecorder.h"
#include "bench/pictures/PassPainter.h"
#include "bench/recording/RecordedRun.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// `frames`: the frames a recorded run writes; `paintEvery`: paint every pass
// into memory instead, writing nothing.
void FlyPasses(benchmark::State& state, FrameChoice frames, double noise, bool paintEvery = false)
{
    const double rate = GaugeHost::PassesPerSecond;
    const double seconds = double(state.range(0)) / rate;
    Scenario scenario;
    std::string error;
    const std::string text = "0 airspeed 0\n"
                             "0 noise " + std::to_string(noise) + " seed 1\n"
                             "1 ramp 150 over " + std::to_string(seconds - 2) + "\n" +
                             std::to_string(seconds) + " end\n";
    if (!ParseScenario(text, "benchmark", &scenario, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    // Its settings files as a fresh load holds the speeds.
    scenario.Settings = LumivaneMeasuredStates().front().Settings;
    RunOptions options;
    options.Module = LUMIVANE_BENCHMARK_MODULE;
    options.Out = LUMIVANE_BENCHMARK_OUT;
    options.SoftSound = true;
    options.Speed = Pace::Fast;
    options.Record = false;
    options.Progress = false;
    uint64_t passes = 0;
    for (auto _ : state) {
        FrameRecorder recorder(LUMIVANE_BENCHMARK_OUT, frames, 4);
        PassPainter painter(true);
        if (frames != FrameChoice::None)
            options.ShowPass = [&recorder](const PassRecord& pass) { recorder.Take(pass); };
        else if (paintEvery)
            options.ShowPass = [&painter](const PassRecord& pass) {
                painter.Paint(pass);
                benchmark::DoNotOptimize(painter.Frame().Pixels.data());
            };
        RunSummary summary;
        if (!RunScenario(options, scenario, &summary, &error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        passes += summary.Passes;
    }
    state.SetItemsProcessed(int64_t(passes));
    state.counters["passes_per_second"] = benchmark::Counter(double(passes), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(FlyPasses, headless, FrameChoice::None, 0.5)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(FlyPasses, headless_without_noise, FrameChoice::None, 0.0)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(FlyPasses, painted_every_pass, FrameChoice::None, 0.5, true)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(FlyPasses, frames_of_changes_without_noise, FrameChoice::Changes, 0.0)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
