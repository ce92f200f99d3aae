// lumivane-bench: loads a build of the gauge the way the simulator does,
// flies a scenario through it and records what it shows and sounds. The
// windows build runs under Wine (bench/run-bench sets that up); the native
// build loads the native Lumivane.gau.
#include "bench/Run.h"

#include <CLI/CLI.hpp>

#include <stdio.h>

int main(int argc, char** argv)
{
    CLI::App app{"Flies a scenario through a gauge module, loaded as the simulator loads it, and records "
                 "what it shows (events.jsonl) and sounds (sound.wav) in the output folder.",
                 "lumivane-bench"};
    RunOptions options;
    std::string scenarioFile;
    bool realTime = false, fast = false, quiet = false;
    app.add_option("module", options.Module, "The gauge module to load (Lumivane.gau)")->required();
    app.add_option("--scenario", scenarioFile, "The scenario to fly (format: bench/SCENARIOS.md)")->required();
    app.add_option("--out", options.Out,
                   "The output folder, created if need be: events.jsonl, sound.wav, and the settings sandbox "
                   "settings/. Nothing is written outside it")
        ->required();
    app.add_option("--settings", options.Settings,
                   "Keep the gauge's settings files (its C:\\pelmo, C:\\pelmo1, C:\\pelmo2) in this folder "
                   "instead of the output folder's settings/");
    app.add_option("--rate", options.Rate, "Passes over the gauge a second (default 18, as the simulator)")
        ->check(CLI::Range(1.0, 1000.0));
    app.add_flag("--soft-sound", options.SoftSound,
                 "Play through the bench's software DirectSound instead of the system's (under Wine); "
                 "sound.wav is then its mix, in the run's own time. Natively the software device is the only one");
    auto* realTimeFlag = app.add_flag("--real-time", realTime,
                                      "One pass every 1/rate seconds of the wall clock (the default with real "
                                      "DirectSound)");
    app.add_flag("--fast", fast, "Passes as fast as the machine goes (the default with the software DirectSound)")
        ->excludes(realTimeFlag);
    app.add_flag("--quiet", quiet, "No progress line and no summary; errors are still printed");
    app.add_option("--capture", options.Capture,
                   "Under Wine: the file ALSA's file device records DirectSound's output into (bench/run-bench "
                   "sets it); sound.wav is made from it");
    CLI11_PARSE(app, argc, argv);

    options.Speed = realTime ? Pace::RealTime : fast ? Pace::Fast : Pace::Default;
    options.Progress = !quiet;

    Scenario scenario;
    std::string error;
    if (!LoadScenario(scenarioFile, &scenario, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    RunSummary summary;
    if (!RunScenario(options, scenario, &summary, &error)) {
        fprintf(stderr, "lumivane-bench: %s\n", error.c_str());
        return 1;
    }
    if (!quiet)
        printf("%s\n", DescribeSummary(summary).c_str());
    return summary.Faults.empty() ? 0 : 3;
}
