// What the steps of lumivane-bench share: the run they hand from one to the
// next, and the steps themselves. Each step answers GoOn when the run goes
// on, or the exit status it ends with; none exits the program itself
// (bench/Main.cpp holds their table).
#ifndef LUMIVANE_BENCH_BENCHRUN_H
#define LUMIVANE_BENCH_BENCHRUN_H

#include "bench/aircraft/PanelInstall.h"
#include "bench/aircraft/WindowPicture.h"
#include "bench/flying/GaugeReader.h"
#include "bench/flying/Run.h"
#include "bench/flying/RunSummary.h"
#include "bench/flying/Scenario.h"
#include "bench/pictures/FrameRecorder.h"

#include <memory>
#include <string>

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
    InstallRequest Install; // --install or --uninstall: as given, then checked
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

// The steps, in their order: the command line (bench/CommandLine.cpp), an
// aircraft's panel read or installed into (bench/PanelSteps.cpp), and a
// scenario flown, drawn and reported (bench/Main.cpp).
int ParseCommandLine(BenchRun& run);
int CheckOptions(BenchRun& run);
int ReadThePanel(BenchRun& run);
int InstallOrTakeOut(BenchRun& run);
int LoadTheScenario(BenchRun& run);
int Fly(BenchRun& run);
int WritePictures(BenchRun& run);
int Report(BenchRun& run);
int ExitStatus(BenchRun& run);

// What the bench prints, in the form its launcher wants.
std::string Printable(const BenchRun& run, const std::string& text);
// The gauge the aircraft room checks, installs and takes out, as this bench
// knows it.
GaugeModule TheGauge(const BenchRun& run);

#endif
