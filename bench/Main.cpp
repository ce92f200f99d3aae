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
#include "bench/BenchRun.h"

#include "bench/files/Files.h"
#include "bench/hosting/GaugeFaults.h"
#include "bench/pictures/Chart.h"
#include "bench/pictures/Video.h"
#include "bench/recording/RecordedRun.h"
#include "bench/window/Window.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <exception>

namespace {

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

} // namespace

std::string Printable(const BenchRun& run, const std::string& text)
{
    return run.FromLinux ? LinuxPaths(text) : text;
}

namespace {

// The scenario's file name without its folder and extension.
std::string ScenarioName(const std::string& file)
{
    std::string name = file.substr(file.find_last_of("\\/") + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace

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

namespace {

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

} // namespace

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
