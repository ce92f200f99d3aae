// lumivane-bench's command line: every option with its help, read into the
// run, then checked together, so that a choice that makes no sense is
// refused with a status of 2 before anything is read or written. The help's
// words for the gauge come from the description of the reader the bench
// flies with.
#include "bench/BenchRun.h"

#include "bench/files/Files.h"
#include "bench/files/ProgramFolder.h"
#include "bench/files/Text.h"
#include "bench/flying/ScenarioActions.h"
#include "bench/hosting/GaugeHost.h"
#include "bench/recording/RecordedRun.h"
#include "bench/window/Window.h"

#include <CLI/CLI.hpp>

#include <math.h>
#include <stdio.h>

int ParseCommandLine(BenchRun& run)
{
    CLI::App app{"Flies a scenario through a gauge module, loaded as the simulator loads it, and records "
                 "what it shows (events.jsonl, frames) and sounds (sound.wav) in the output folder; or, "
                 "with --window, shows the gauge in a window to be tried with the mouse and keys.",
                 "lumivane-bench"};
    RunOptions& options = run.Options;
    // The reader the run flies with, whose description the help is written in.
    run.Reader = BenchGaugeReader();
    const GaugeDescription& gauge = run.Reader->Description();
    const std::string moduleFile = gauge.ModuleFile;
    app.add_option("module", options.Module, "The gauge module to load (" + moduleFile + "); with --panel, "
                                             "the one in the Gauges folder");
    auto* scenarioOption =
        app.add_option("--scenario", run.ScenarioFile, "The scenario to fly (its lines are below; the whole format is in SCENARIOS.txt beside the program)");
    auto* outOption = app.add_option("--out", options.Out,
                                     "The output folder, created if need be: events.jsonl, sound.wav, frames/, "
                                     "frames.png, the chart <scenario>.png, and the settings sandbox settings/. "
                                     "Nothing is written outside it");
    app.add_option("--settings", options.Settings,
                   "Keep the gauge's settings files (the files it keeps at the root of drive C) in this folder "
                   "instead of the output folder's settings/ (with --window and no --out: lumivane-settings in "
                   "the current folder)");
    // A range alone lets not-a-number through, since every comparison with
    // it is false; the pass times are computed from the rate.
    char rateHelp[80];
    snprintf(rateHelp, sizeof rateHelp, "Passes over the gauge a second (default %g, as the simulator)",
        GaugeHost::PassesPerSecond);
    app.add_option("--rate", options.Rate, rateHelp)
        ->check(CLI::Validator(
            [](std::string& text) {
                double rate = 0;
                return CLI::detail::lexical_cast(text, rate) && isfinite(rate) ? std::string()
                                                                               : "not a finite number: " + text;
            },
            "FINITE"))
        ->check(CLI::Range(1.0, 1000.0));
    auto* framesOption =
        app.add_option("--frames", run.FrameWord,
                       "Which passes' pictures go into the output folder's frames/ as PNGs: all, changes (the "
                       "passes whose picture changed; the default) or none (nothing is painted). Unless none, "
                       "frames.png is a contact sheet of the changes. With --window the default is none")
            ->check(CLI::IsMember({"all", "changes", "none"}));
    app.add_option("--log", run.LogWord,
                   "Which passes events.jsonl holds: every (the default) or changes (only those where something it "
                   "records changed besides the pass, its time and its airspeed, or that started a call-out, ran a "
                   "handler or found a fault; the first and the last always). The chart is then drawn through the "
                   "passes it holds")
        ->check(CLI::IsMember({"every", "changes"}));
    auto* scaleOption =
        app.add_option("--scale", run.Scale,
                       "Each panel pixel as a square of N x N in frames and the window (default 4; with --panel 1)")
            ->check(CLI::Range(1, 16));
    app.add_flag("--soft-sound", options.SoftSound,
                 "Play through the bench's software DirectSound instead of the system's (under Wine); "
                 "sound.wav is then its mix, in the run's own time. Natively the software device is the only one");
    auto* realTimeFlag = app.add_flag("--real-time", run.RealTime,
                                      "One pass every 1/rate seconds of the wall clock (the default with real "
                                      "DirectSound; a run longer than a minute says first how long it will take)");
    app.add_flag("--fast", run.Fast,
                 "Passes as fast as the machine goes (the default with the software DirectSound), always through "
                 "the software DirectSound, which keeps the run's own time: a real sound device plays in the wall "
                 "clock's, and a call-out would come while the one before still sounds")
        ->excludes(realTimeFlag);
    app.add_flag("--quiet", run.Quiet, "No progress line and no summary; errors are still printed");
    app.add_flag("--window", run.Window,
                 "Show the gauge in a window (windows build: on Windows, or under Wine with an X display), "
                 "redrawn at every pass; the left button presses its areas, the cursor shows each area's, and "
                 "keys set the airspeed (below). The run ends when the window is closed, or at the end of the "
                 "--scenario if one is given. --out is optional: with it, events.jsonl is recorded (and frames, "
                 "if --frames asks)");
    app.add_option("--panel", run.PanelFile,
                   "Read this aircraft's panel configuration (its Panel.cfg), check each entry that names Lumivane "
                   "and draw each window that holds it as panel-windowNN.png in --out (the current folder without "
                   "it), the gauge live at its place; with --window, show the first such window. With no entry, "
                   "say where it would go and the line to add. The pilot's files are only read");
    app.add_option("--gauges", run.GaugesFolder,
                   "With --panel, --install or --uninstall: the folder that holds " + moduleFile + " (default: "
                   "the simulator's Gauges folder, three folders above the panel's)");
    app.add_option("--install", run.InstallFile,
                   "Put the gauge into this aircraft's panel configuration (its Panel.cfg): copy the module (the "
                   "one given, or the one beside the bench) into the Gauges folder, and add one line, "
                   "gaugeNN=Lumivane, X, Y, to the window and at the place --panel would suggest. Panel.cfg is "
                   "kept first as Panel.cfg.lumivane-N.bak, then replaced whole; a panel with problems is not "
                   "written. Each window that holds the gauge is then drawn as with --panel");
    app.add_option("--uninstall", run.UninstallFile,
                   "Take every line that names Lumivane out of this Panel.cfg, with the same backup and care; " +
                       moduleFile + " stays in Gauges, for other aircraft");
    app.add_option("--at", run.At, "With --install: the place, X,Y in the window's units (default: the first "
                                   "place clear of every other gauge)");
    app.add_option("--in-window", run.Install.Window, "With --install: the window, NN of [WindowNN] (default: the "
                                                "one --panel would suggest)")
        ->check(CLI::Range(0, 999));
    app.add_flag("--replace", run.Install.Replace, "With --install: put the module in place of another " + moduleFile +
                                               " in Gauges, keeping that one as a backup");
    app.add_flag("--dry-run", run.Install.DryRun, "With --install or --uninstall: say what would change, as a unified "
                                          "diff, and write nothing of the pilot's (--install still draws the "
                                          "windows, the gauge at the place it would take)");
    app.add_option("--capture", options.Capture,
                   "Under Wine: the file ALSA's file device records DirectSound's output into (the launcher "
                   "sets it); sound.wav is made from it");
    app.footer(ScenarioHelp(&gauge) + "\n" + WindowKeys(&gauge) +
               "\nExit status: 0 for a clean run, 1 when the module could not be loaded or the run could not "
               "start, 2 for a bad scenario or command line, 3 when the run found faults (stack balance, unserved "
               "services, files opened outside the sandbox), 4 when the module crashed (a fault such as an access "
               "violation or a division by zero in one of its routines, callbacks or handlers: the run ends "
               "there, its records end with the pass before, and no chart or video is drawn), 5 when the bench "
               "itself failed. With --panel: 0 when the panel reads clean (or has no entry for Lumivane yet), 2 "
               "when a problem was found in it, 1 when the gauge could not be flown or a picture written. With "
               "--install or --uninstall: 0 when done (or nothing was to do), 2 when the panel's problems or a "
               "choice the pilot must make stopped it, 1 when a file could not be read or written; with 1 or 2 "
               "the panel is as it was.");
    // bench/run-bench's: paths printed in Linux form, the chart left to it.
    app.add_flag("--from-linux", run.FromLinux)->group("");
    try {
        app.parse(run.Argc, run.Argv);
    } catch (const CLI::ParseError& error) {
        // --help is a ParseError too, whose exit is 0.
        return app.exit(error) == 0 ? 0 : 2;
    }
    run.ScenarioGiven = scenarioOption->count() > 0;
    run.OutGiven = outOption->count() > 0;
    run.FramesGiven = framesOption->count() > 0;
    run.ScaleGiven = scaleOption->count() > 0;
    return GoOn;
}

namespace {

// --install's and --uninstall's options, checked together; GoOn or 2.
int CheckInstallOptions(BenchRun& run)
{
    InstallRequest& request = run.Install;
    const bool install = !run.InstallFile.empty(), uninstall = !run.UninstallFile.empty();
    const bool chosen = !run.At.empty() || request.Window >= 0 || request.Replace;
    if (!install && !uninstall) {
        if (chosen || request.DryRun) {
            fprintf(stderr, "lumivane-bench: --at, --in-window, --replace and --dry-run go with --install "
                            "(and --dry-run with --uninstall)\n");
            return 2;
        }
        return GoOn;
    }
    if ((install && uninstall) || !run.PanelFile.empty() || run.ScenarioGiven || run.Window) {
        fprintf(stderr, "lumivane-bench: --install and --uninstall go alone, without --panel, --scenario or "
                        "--window\n");
        return 2;
    }
    if (uninstall && (chosen || !run.Options.Module.empty())) {
        fprintf(stderr, "lumivane-bench: --uninstall takes no module, --at, --in-window or --replace\n");
        return 2;
    }
    request.PanelFile = install ? run.InstallFile : run.UninstallFile;
    request.Gauge = TheGauge(run);
    request.GaugesFolder = run.GaugesFolder;
    request.Uninstall = uninstall;
    request.Module = run.Options.Module.empty() ? JoinPath(RunningProgramFolder(), request.Gauge.File)
                                               : run.Options.Module;
    if (!run.At.empty()) {
        const size_t comma = run.At.find(',');
        request.AtGiven = comma != std::string::npos &&
            ReadWholeNumber(run.At.substr(0, comma), &request.X) &&
            ReadWholeNumber(run.At.substr(comma + 1), &request.Y) && request.X >= 0 && request.Y >= 0 &&
            request.X <= MostPanelUnits && request.Y <= MostPanelUnits;
        if (!request.AtGiven) {
            fprintf(stderr, "lumivane-bench: --at wants X,Y, two whole numbers from 0 to %d, not %s\n",
                MostPanelUnits, Quoted(run.At).c_str());
            return 2;
        }
    }
    return GoOn;
}

} // namespace

int CheckOptions(BenchRun& run)
{
    const int install = CheckInstallOptions(run);
    if (install != GoOn)
        return install;
    // The run works in absolute paths (natively it moves into the sandbox);
    // so do the frames, the chart and the panel's pictures. Without --out,
    // the settings files of a window or a panel's gauge stay in the current
    // folder.
    RunOptions& options = run.Options;
    options.Out = AbsolutePath(options.Out);
    if (options.Out.empty() && options.Settings.empty())
        options.Settings = "lumivane-settings";
    // A panel's windows are drawn a unit to a pixel unless asked otherwise.
    if (!run.ScaleGiven && (!run.PanelFile.empty() || !run.Install.PanelFile.empty()))
        run.Scale = 1;
    if (!run.Install.PanelFile.empty())
        return GoOn;
    if (!run.PanelFile.empty()) {
        if (!run.Options.Module.empty()) {
            fprintf(stderr, "lumivane-bench: --panel takes the module from the Gauges folder; for another, give "
                            "--gauges and the folder that holds it\n");
            return 2;
        }
        if (run.ScenarioGiven && !run.Window) {
            fprintf(stderr, "lumivane-bench: --panel flies a --scenario only in its --window\n");
            return 2;
        }
    } else if (!run.GaugesFolder.empty()) {
        fprintf(stderr, "lumivane-bench: --gauges goes with --panel, --install or --uninstall\n");
        return 2;
    } else if (run.Options.Module.empty()) {
        fprintf(stderr, "lumivane-bench: the module is required: the gauge module to load (or --panel); "
                        "--help says more\n");
        return 2;
    }
    if (!run.Window && run.PanelFile.empty() && (!run.ScenarioGiven || !run.OutGiven)) {
        fprintf(stderr, "lumivane-bench: --scenario and --out are needed (or --window); --help says more\n");
        return 2;
    }
    if (run.Window && run.FramesGiven && !run.OutGiven) {
        fprintf(stderr, "lumivane-bench: --frames needs --out, the folder to write them in\n");
        return 2;
    }
    run.Frames = run.FrameWord == "all" ? FrameChoice::All
                 : run.FrameWord == "none" || (run.Window && !run.FramesGiven) ? FrameChoice::None
                                                                                : FrameChoice::Changes;
    options.Speed = run.RealTime ? Pace::RealTime : run.Fast ? Pace::Fast : Pace::Default;
    if (run.Fast)
        options.SoftSound = true;
    options.Progress = !run.Quiet;
    options.Record = !options.Out.empty();
    options.LogChanges = run.LogWord == "changes";
    if (!options.Record)
        run.Frames = FrameChoice::None;
    return GoOn;
}
