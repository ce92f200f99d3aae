// lumivane-bench: loads a build of the gauge the way the simulator does,
// flies a scenario through it and records what it shows and sounds, or shows
// it in a window to be tried by hand (windows build). The windows build runs
// under Wine (bench/run-bench sets that up) and on Windows; the native build
// loads a native module. With --panel it reads an aircraft's panel
// configuration instead and shows the gauge where that panel holds it; with
// --install and --uninstall it puts the gauge into that panel and takes it
// out again. main is the table of what a run does; each
// step ends the run with its exit status or lets the next one go on, and no
// step exits the program itself. The gauge's own words (its module's file
// name, its settings, its keys) come from the description of the reader the
// bench flies with.
#include "bench/aircraft/PanelInstall.h"
#include "bench/aircraft/PanelPictures.h"
#include "bench/files/Files.h"
#include "bench/files/ProgramFolder.h"
#include "bench/files/Text.h"
#include "bench/lumivane/LumivaneFacts.h"
#include "bench/pictures/Chart.h"
#include "bench/pictures/FrameRecorder.h"
#include "bench/pictures/Video.h"
#include "bench/flying/ScenarioActions.h"
#include "bench/hosting/GaugeFaults.h"
#include "bench/recording/RecordedRun.h"
#include "bench/window/Window.h"

#include <CLI/CLI.hpp>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <exception>
#include <memory>

namespace {

// Everything a run decides and makes, handed from step to step.
struct BenchRun {
    int Argc;
    char** Argv;
    // From the command line.
    RunOptions Options;
    std::string ScenarioFile;
    bool RealTime = false, Fast = false, Quiet = false, Window = false, FromLinux = false;
    int Scale = 4;
    std::string FrameWord = "changes";
    std::string LogWord = "every";
    bool ScenarioGiven = false, OutGiven = false, FramesGiven = false, ScaleGiven = false;
    std::string PanelFile, GaugesFolder;
    std::string InstallFile, UninstallFile, At;
    int InWindow = -1;
    bool Replace = false, DryRun = false;
    InstallRequest Install; // --install or --uninstall, as checked
    // Made by the steps.
    FrameChoice Frames = FrameChoice::Changes;
    Scenario Flown;
    std::unique_ptr<GaugeReader> Reader; // what the gauge's panel means, for the run and its frames
    std::unique_ptr<FrameRecorder> Recorder;
    RunSummary Summary;
    bool FramesWritten = false;
    std::string FramesNote, ChartNote, VideoNote;
    std::unique_ptr<WindowPicture> Picture; // --panel --window: the aircraft's window
};

// A step's answer when the run goes on; anything else is the exit status.
constexpr int GoOn = -1;
// The exit statuses of a run that was flown, as --help lists them.
constexpr int Faulty = 3, ModuleCrashed = 4, BenchFailed = 5;

int ParseCommandLine(BenchRun& run);
int CheckOptions(BenchRun& run);
int ReadThePanel(BenchRun& run);
int InstallOrTakeOut(BenchRun& run);
int LoadTheScenario(BenchRun& run);
int Fly(BenchRun& run);
int WritePictures(BenchRun& run);
int Report(BenchRun& run);
int ExitStatus(BenchRun& run);

const struct {
    const char* What;
    int (*Do)(BenchRun& run);
} Steps[] = {
    {"parse the command line", ParseCommandLine},   // --help: 0; a bad command line: 2
    {"check the options together", CheckOptions},   // 2
    {"read the aircraft's panel", ReadThePanel},    // --panel: 0, 1 or 2 once its pictures are drawn
    {"install or take out", InstallOrTakeOut},      // --install, --uninstall: 0, 1 or 2
    {"load the scenario", LoadTheScenario},         // a bad scenario: 2
    {"fly it", Fly},                                // the module or the run cannot start: 1
    {"write the frames, chart and video", WritePictures},
    {"report", Report},
    {"exit status", ExitStatus},                    // 0; 3 when the run found faults; 4 when the module crashed
};

// The bench's own failures end it with a status of their own: a fault of
// its code (windows build; natively the sanitizers report it), or a C++
// exception nothing caught, which would otherwise abort with a status the
// runtime chooses (3 with MinGW's, the status of a run with faults).
void EndOnOwnFailure()
{
    EndOnOwnFault("lumivane-bench", BenchFailed);
    std::set_terminate([] {
        const char* what = "an unknown exception";
        try {
            if (std::exception_ptr caught = std::current_exception())
                std::rethrow_exception(caught);
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
        }
        fprintf(stderr, "lumivane-bench: the bench itself failed: %s\n", what);
        fflush(stdout);
        fflush(stderr);
        _Exit(BenchFailed);
    });
}

} // namespace

int main(int argc, char** argv)
{
    EndOnOwnFailure();
    BenchRun run;
    run.Argc = argc;
    run.Argv = argv;
    for (const auto& step : Steps) {
        const int status = step.Do(run);
        if (status != GoOn)
            return status;
    }
    return 0;
}

namespace {

// The gauge the aircraft room checks, installs and takes out, as this bench
// knows it.
GaugeModule TheGauge()
{
    GaugeModule gauge;
    gauge.File = ModuleFileName;
    gauge.Width = PanelWidth;
    gauge.Height = PanelHeight;
    return gauge;
}

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

// What the bench prints, in the form its launcher wants.
std::string Printable(const BenchRun& run, const std::string& text)
{
    return run.FromLinux ? LinuxPaths(text) : text;
}

// The scenario's file name without its folder and extension.
std::string ScenarioName(const std::string& file)
{
    std::string name = file.substr(file.find_last_of("\\/") + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

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
    app.add_option("--in-window", run.InWindow, "With --install: the window, NN of [WindowNN] (default: the "
                                                "one --panel would suggest)")
        ->check(CLI::Range(0, 999));
    app.add_flag("--replace", run.Replace, "With --install: put the module in place of another " + moduleFile +
                                               " in Gauges, keeping that one as a backup");
    app.add_flag("--dry-run", run.DryRun, "With --install or --uninstall: say what would change, as a unified "
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

// --install's and --uninstall's options, checked together; GoOn or 2.
int CheckInstallOptions(BenchRun& run)
{
    const bool install = !run.InstallFile.empty(), uninstall = !run.UninstallFile.empty();
    const bool chosen = !run.At.empty() || run.InWindow >= 0 || run.Replace;
    if (!install && !uninstall) {
        if (chosen || run.DryRun) {
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
    InstallRequest& request = run.Install;
    request.PanelFile = install ? run.InstallFile : run.UninstallFile;
    request.Gauge = TheGauge();
    request.GaugesFolder = run.GaugesFolder;
    request.Uninstall = uninstall;
    request.Window = run.InWindow;
    request.Replace = run.Replace;
    request.DryRun = run.DryRun;
    request.Module = run.Options.Module.empty() ? JoinPath(RunningProgramFolder(), ModuleFileName)
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
    if (!run.ScaleGiven)
        run.Scale = 1;
    return GoOn;
}

int CheckOptions(BenchRun& run)
{
    const int install = CheckInstallOptions(run);
    if (install != GoOn)
        return install;
    if (!run.Install.PanelFile.empty()) {
        run.Options.Out = AbsolutePath(run.Options.Out);
        return GoOn;
    }
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
        if (!run.ScaleGiven)
            run.Scale = 1;
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
    RunOptions& options = run.Options;
    options.Speed = run.RealTime ? Pace::RealTime : run.Fast ? Pace::Fast : Pace::Default;
    if (run.Fast)
        options.SoftSound = true;
    options.Progress = !run.Quiet;
    options.Record = !options.Out.empty();
    options.LogChanges = run.LogWord == "changes";
    // The run works in absolute paths (natively it moves into the sandbox);
    // so do the frames and the chart.
    options.Out = AbsolutePath(options.Out);
    if (options.Out.empty() && options.Settings.empty())
        options.Settings = "lumivane-settings";
    if (!options.Record)
        run.Frames = FrameChoice::None;
    return GoOn;
}

// Each window of `findings` that holds the gauge, drawn into --out (or the
// current folder); 1 when the gauge could not be flown or a picture
// written, otherwise `found`.
int DrawPanel(BenchRun& run, const PanelFindings& findings, int found)
{
    std::vector<std::string> written;
    std::string error;
    const std::string out = run.OutGiven ? run.Options.Out : AbsolutePath(".");
    const bool drawn = WritePanelPictures(findings, run.Options, out, run.Scale, &written, &error);
    if (!error.empty())
        fprintf(stderr, "lumivane-bench: %s\n", Printable(run, error).c_str());
    if (!run.Quiet)
        for (const std::string& path : written)
            printf("Drawn: %s\n", Printable(run, path).c_str());
    return !findings.Module.empty() && !drawn ? 1 : found;
}

int ReadThePanel(BenchRun& run)
{
    if (run.PanelFile.empty())
        return GoOn;
    PanelFindings findings;
    CheckPanel(run.PanelFile, run.GaugesFolder, TheGauge(), &findings);
    fprintf(stderr, "%s", Printable(run, findings.Problems.Text()).c_str());
    if (!run.Quiet) {
        for (const std::string& line : findings.Checked)
            printf("%s\n", Printable(run, line).c_str());
        printf("%s", Printable(run, findings.Suggestion).c_str());
        fflush(stdout);
    }
    const int found = findings.Problems.Empty() ? 0 : 2;
    if (findings.Windows.empty())
        return found;
    if (run.Window) {
        if (findings.Module.empty())
            return 2;
        run.Options.Module = findings.Module;
        run.Picture.reset(new WindowPicture);
        std::string problem;
        if (!DrawWindowPicture(findings.Windows.front(), run.Picture.get(), &problem))
            fprintf(stderr, "lumivane-bench: %s\n", problem.c_str());
        return GoOn;
    }
    return DrawPanel(run, findings, found);
}

int InstallOrTakeOut(BenchRun& run)
{
    if (run.Install.PanelFile.empty())
        return GoOn;
    InstallResult result;
    InstallGauge(run.Install, &result);
    for (const std::string& line : result.Errors)
        fprintf(stderr, "%s%s\n", line.rfind(run.Install.PanelFile, 0) == 0 ? "" : "lumivane-bench: ",
            Printable(run, line).c_str());
    if (!run.Quiet) {
        printf("%s", Printable(run, result.Diff).c_str());
        for (const std::string& line : result.Said)
            printf("%s\n", Printable(run, line).c_str());
        for (const std::string& line : result.Findings.Checked)
            printf("%s\n", Printable(run, line).c_str());
        fflush(stdout);
    }
    if (result.Status != 0 || !result.Draw || result.Findings.Windows.empty())
        return result.Status;
    fflush(stderr);
    return DrawPanel(run, result.Findings, 0);
}

int LoadTheScenario(BenchRun& run)
{
    if (!run.ScenarioGiven) {
        run.Flown = OpenEndedScenario("window");
        return GoOn;
    }
    std::string error;
    if (!LoadScenario(run.ScenarioFile, &run.Flown, &error, &run.Reader->Description())) {
        fprintf(stderr, "%s\n", Printable(run, error).c_str());
        return 2;
    }
    return GoOn;
}

// "1 h 0 min", "12 min 30 s", "45 s".
std::string Lasting(double seconds)
{
    const long whole = lround(seconds);
    char text[48];
    if (whole >= 3600)
        snprintf(text, sizeof text, "%ld h %ld min", whole / 3600, whole / 60 % 60);
    else if (whole >= 60)
        snprintf(text, sizeof text, "%ld min %ld s", whole / 60, whole % 60);
    else
        snprintf(text, sizeof text, "%ld s", whole);
    return text;
}

// A run flown in real time takes as long as it lasts: one longer than a
// minute says so before it starts, and how to fly it fast.
void SayHowLong(const BenchRun& run)
{
    const RunOptions& options = run.Options;
    const bool realTime = options.Speed == Pace::RealTime ||
                          (options.Speed == Pace::Default && !PlaysThroughSoftware(options));
    if (run.Quiet || run.Window || !realTime || run.Flown.End <= 60)
        return;
    printf("This run is flown in real time, as the gauge sounds in the simulator: it will take %s. --fast flies "
           "it as fast as the machine goes, through the bench's software DirectSound.\n",
        Lasting(run.Flown.End).c_str());
    fflush(stdout);
}

int Fly(BenchRun& run)
{
    SayHowLong(run);
    // Frames are taken only when asked for: a headless run without them
    // paints nothing.
    // A window flown without a scenario lasts as long as the person likes.
    const uint64_t lastPass = run.ScenarioGiven ? uint64_t(floor(run.Flown.End * run.Options.Rate + 1e-9)) : 0;
    run.Options.Reader = run.Reader.get();
    run.Recorder.reset(new FrameRecorder(run.Options.Out, run.Frames, run.Scale, lastPass, run.Reader.get()));
    if (run.Frames != FrameChoice::None) {
        FrameRecorder* recorder = run.Recorder.get();
        run.Options.ShowPass = [recorder](const PassRecord& pass) { recorder->Take(pass); };
    }
    std::string error;
    const bool ran = run.Window ? FlyInWindow(run.Options, run.Flown, run.Scale, &run.Summary, &error, run.Picture.get())
                                : RunScenario(run.Options, run.Flown, &run.Summary, &error);
    if (!ran) {
        fprintf(stderr, "lumivane-bench: %s\n", Printable(run, error).c_str());
        return 1;
    }
    return GoOn;
}

int WritePictures(BenchRun& run)
{
    run.FramesWritten = run.Recorder->Finish(&run.FramesNote);
    if (!run.FramesWritten)
        fprintf(stderr, "%s\n", Printable(run, run.FramesNote).c_str());
    // Under bench/run-bench the launcher draws the chart and makes the video;
    // a run the module's crash cut short is never drawn as if it were whole.
    if (!run.Options.Record || run.FromLinux || !run.Summary.Crash.empty())
        return GoOn;
    const std::string& out = run.Options.Out;
    const std::string file = run.Flown.File.substr(run.Flown.File.find_last_of("\\/") + 1);
    DrawChart(JoinPath(out, "events.jsonl"), JoinPath(out, ScenarioName(file) + ".png"), file, &run.ChartNote);
    // A run without frames has no pictures to make a video of.
    if (run.Frames != FrameChoice::None)
        MakeVideo(out, JoinPath(out, ScenarioName(file) + ".mp4"), run.Scale, &run.VideoNote);
    return GoOn;
}

int Report(BenchRun& run)
{
    // A crash is an error, said even to a quiet run.
    if (run.Quiet && !run.Summary.Crash.empty())
        fprintf(stderr, "lumivane-bench: %s\n", run.Summary.Crash.c_str());
    if (!run.Quiet) {
        printf("%s\n", Printable(run, DescribeSummary(run.Summary)).c_str());
        if (run.FramesWritten && !run.FramesNote.empty())
            printf("%s\n", Printable(run, run.FramesNote).c_str());
        if (!run.ChartNote.empty())
            printf("%s\n", run.ChartNote.c_str());
        if (!run.VideoNote.empty())
            printf("%s\n", run.VideoNote.c_str());
    }
    fflush(stdout);
    return GoOn;
}

int ExitStatus(BenchRun& run)
{
    if (!run.Summary.Crash.empty())
        return ModuleCrashed;
    return run.Summary.FaultCount ? Faulty : 0;
}

} // namespace
