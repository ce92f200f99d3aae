// lumivane-bench: loads a build of the gauge the way the simulator does,
// flies a scenario through it and records what it shows and sounds, or shows
// it in a window to be tried by hand (windows build). The windows build runs
// under Wine (bench/run-bench sets that up) and on Windows; the native build
// loads the native Lumivane.gau.
#include "bench/files/Files.h"
#include "bench/pictures/Chart.h"
#include "bench/pictures/FrameRecorder.h"
#include "bench/pictures/Video.h"
#include "bench/flying/Run.h"
#include "bench/flying/ScenarioActions.h"
#include "bench/window/Window.h"

#include <CLI/CLI.hpp>

#include <math.h>
#include <stdio.h>

namespace {

// Under bench/run-bench the paths the bench prints are Wine's, on drive Z:,
// where Wine puts the Linux root; they are printed in Linux form. A path
// runs to the first blank or quote.
std::string LinuxPaths(std::string text)
{
    for (size_t at = text.find("Z:\\"); at != std::string::npos; at = text.find("Z:\\", at)) {
        text.erase(at, 2);
        for (size_t i = at; i < text.size() && text[i] != ' ' && text[i] != '"' && text[i] != '\''; ++i)
            if (text[i] == '\\')
                text[i] = '/';
    }
    return text;
}

// The scenario's file name without its folder and extension.
std::string ScenarioName(const std::string& file)
{
    std::string name = file.substr(file.find_last_of("\\/") + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Flies a scenario through a gauge module, loaded as the simulator loads it, and records "
                 "what it shows (events.jsonl, frames) and sounds (sound.wav) in the output folder; or, "
                 "with --window, shows the gauge in a window to be tried with the mouse and keys.",
                 "lumivane-bench"};
    RunOptions options;
    std::string scenarioFile;
    bool realTime = false, fast = false, quiet = false, window = false, fromLinux = false;
    int scale = 4;
    std::string frameChoice = "changes";
    app.add_option("module", options.Module, "The gauge module to load (Lumivane.gau)")->required();
    auto* scenarioOption =
        app.add_option("--scenario", scenarioFile, "The scenario to fly (its lines are below; the whole format is in SCENARIOS.txt beside the program)");
    auto* outOption = app.add_option("--out", options.Out,
                                     "The output folder, created if need be: events.jsonl, sound.wav, frames/, "
                                     "frames.png, the chart <scenario>.png, and the settings sandbox settings/. "
                                     "Nothing is written outside it");
    app.add_option("--settings", options.Settings,
                   "Keep the gauge's settings files (its C:\\pelmo, C:\\pelmo1, C:\\pelmo2) in this folder "
                   "instead of the output folder's settings/ (with --window and no --out: lumivane-settings in "
                   "the current folder)");
    // A range alone lets not-a-number through, since every comparison with
    // it is false; the pass times are computed from the rate.
    app.add_option("--rate", options.Rate, "Passes over the gauge a second (default 18, as the simulator)")
        ->check(CLI::Validator(
            [](std::string& text) {
                double rate = 0;
                return CLI::detail::lexical_cast(text, rate) && isfinite(rate) ? std::string()
                                                                               : "not a finite number: " + text;
            },
            "FINITE"))
        ->check(CLI::Range(1.0, 1000.0));
    auto* framesOption =
        app.add_option("--frames", frameChoice,
                       "Which passes' pictures go into the output folder's frames/ as PNGs: all, changes (the "
                       "passes whose picture changed; the default) or none (nothing is painted). Unless none, "
                       "frames.png is a contact sheet of the changes. With --window the default is none")
            ->check(CLI::IsMember({"all", "changes", "none"}));
    app.add_option("--scale", scale, "Each panel pixel as a square of N x N in frames and the window (default 4)")
        ->check(CLI::Range(1, 16));
    app.add_flag("--soft-sound", options.SoftSound,
                 "Play through the bench's software DirectSound instead of the system's (under Wine); "
                 "sound.wav is then its mix, in the run's own time. Natively the software device is the only one");
    auto* realTimeFlag = app.add_flag("--real-time", realTime,
                                      "One pass every 1/rate seconds of the wall clock (the default with real "
                                      "DirectSound)");
    app.add_flag("--fast", fast, "Passes as fast as the machine goes (the default with the software DirectSound)")
        ->excludes(realTimeFlag);
    app.add_flag("--quiet", quiet, "No progress line and no summary; errors are still printed");
    app.add_flag("--window", window,
                 "Show the gauge in a window (windows build: on Windows, or under Wine with an X display), "
                 "redrawn at every pass; the left button presses its areas, the cursor shows each area's, and "
                 "keys set the airspeed (below). The run ends when the window is closed, or at the end of the "
                 "--scenario if one is given. --out is optional: with it, events.jsonl is recorded (and frames, "
                 "if --frames asks)");
    app.add_option("--capture", options.Capture,
                   "Under Wine: the file ALSA's file device records DirectSound's output into (the launcher "
                   "sets it); sound.wav is made from it");
    app.footer(ScenarioHelp() + "\n" + WindowKeys() +
               "\nExit status: 0 for a clean run, 1 when the module could not be loaded or the run could not "
               "start, 2 for a bad scenario or command line, 3 when the run found faults (stack balance, unserved "
               "services, files opened outside the sandbox).");
    // bench/run-bench's: paths printed in Linux form, the chart left to it.
    app.add_flag("--from-linux", fromLinux)->group("");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help is a ParseError too, whose exit is 0.
        return app.exit(error) == 0 ? 0 : 2;
    }

    auto shown = [fromLinux](const std::string& text) { return fromLinux ? LinuxPaths(text) : text; };
    if (!window && (scenarioOption->count() == 0 || outOption->count() == 0)) {
        fprintf(stderr, "lumivane-bench: --scenario and --out are needed (or --window); --help says more\n");
        return 2;
    }
    if (window && framesOption->count() && outOption->count() == 0) {
        fprintf(stderr, "lumivane-bench: --frames needs --out, the folder to write them in\n");
        return 2;
    }
    FrameChoice frames = frameChoice == "all" ? FrameChoice::All
                         : frameChoice == "none" || (window && framesOption->count() == 0) ? FrameChoice::None
                                                                                           : FrameChoice::Changes;

    options.Speed = realTime ? Pace::RealTime : fast ? Pace::Fast : Pace::Default;
    options.Progress = !quiet;
    options.Record = !options.Out.empty();
    // The run works in absolute paths (natively it moves into the sandbox);
    // so do the frames and the chart.
    options.Out = AbsolutePath(options.Out);
    if (options.Out.empty() && options.Settings.empty())
        options.Settings = "lumivane-settings";
    if (!options.Record)
        frames = FrameChoice::None;

    Scenario scenario;
    std::string error;
    if (scenarioOption->count()) {
        if (!LoadScenario(scenarioFile, &scenario, &error)) {
            fprintf(stderr, "%s\n", shown(error).c_str());
            return 2;
        }
    } else {
        scenario = OpenEndedScenario("window");
    }

    // Frames are taken only when asked for: a headless run without them
    // paints nothing.
    FrameRecorder recorder(options.Out, frames, scale);
    if (frames != FrameChoice::None)
        options.ShowPass = [&recorder](const PassRecord& pass) { recorder.Take(pass); };

    RunSummary summary;
    const bool ran = window ? FlyInWindow(options, scenario, scale, &summary, &error)
                            : RunScenario(options, scenario, &summary, &error);
    if (!ran) {
        fprintf(stderr, "lumivane-bench: %s\n", shown(error).c_str());
        return 1;
    }
    std::string framesNote;
    const bool framesWritten = recorder.Finish(&framesNote);
    if (!framesWritten)
        fprintf(stderr, "%s\n", shown(framesNote).c_str());
    std::string chartNote;
    std::string videoNote;
    if (options.Record && !fromLinux) {
        const std::string file = scenario.File.substr(scenario.File.find_last_of("\\/") + 1);
        DrawChart(JoinPath(options.Out, "events.jsonl"), JoinPath(options.Out, ScenarioName(file) + ".png"), file,
                  &chartNote);
        // A run without frames has no pictures to make a video of.
        if (frames != FrameChoice::None)
            MakeVideo(options.Out, JoinPath(options.Out, ScenarioName(file) + ".mp4"), scale, &videoNote);
    }
    if (!quiet) {
        printf("%s\n", shown(DescribeSummary(summary)).c_str());
        if (framesWritten && !framesNote.empty())
            printf("%s\n", shown(framesNote).c_str());
        if (!chartNote.empty())
            printf("%s\n", chartNote.c_str());
        if (!videoNote.empty())
            printf("%s\n", videoNote.c_str());
    }
    fflush(stdout);
    return summary.Faults.empty() ? 0 : 3;
}
