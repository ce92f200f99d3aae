// One run of the bench: load the module as the host does, install it, fly the
// scenario pass by pass, kill it, and tell its observers (bench/flying/
// RunObserver.h) everything on the way: the reader of the gauge's panel
// first, then the recorders that leave its records behind. The loop is
// lean: a pass allocates nothing, and with nothing watching it does only
// what the host must. Two hooks reach into every pass (bench/flying/Pass.h):
// TakeInput, through which an interactive window presses, holds, releases and
// sets the airspeed, and ShowPass, through which a window or the frame
// recorder shows what the pass showed. Nothing here knows what the gauge's
// panel means.
#ifndef LUMIVANE_BENCH_FLYING_RUN_H
#define LUMIVANE_BENCH_FLYING_RUN_H

#include "bench/flying/GaugeReader.h"
#include "bench/flying/Pass.h"
#include "bench/flying/RunObserver.h"
#include "bench/flying/RunSummary.h"
#include "bench/flying/Scenario.h"

#include <stdint.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class Pace { Default, RealTime, Fast };

struct RunOptions {
    std::string Module;
    std::string Out;      // the output folder; created (may be empty when not recording and Settings is given)
    std::string Settings; // the sandbox; empty: <Out>/settings (an observer is given the sandbox here)
    std::string Capture;  // ALSA's file-device recording, under Wine; empty: none
    double Rate = GaugeHost::PassesPerSecond;
    bool SoftSound = false;
    Pace Speed = Pace::Default; // real time with real DirectSound, fast with the software device
    bool Record = true;   // events.jsonl and sound.wav, by RunScenario's recorders
    bool Progress = true; // the progress line on stderr for long runs
    bool Flush = false;   // events.jsonl written out at every pass, for a run watched as it goes
    bool LogChanges = false; // events.jsonl holds only the passes where something changed, the first and the last
    InputHook TakeInput; // before each pass
    PassHook ShowPass;   // after each pass
    // The reader of the gauge's own panel, told of everything before the
    // observers and hooks, which may ask it what the pass meant; it lays out
    // the scenario's settings files. Null: the run says nothing of the panel,
    // and flies no scenario with settings lines.
    GaugeReader* Reader = nullptr;
};

// Whether the run's gauge plays through the bench's software DirectSound:
// when asked to, and always outside Windows, where it is the only device.
bool PlaysThroughSoftware(const RunOptions& options);

// A run flown pass by pass: Start, then Step once for each pass, then Finish
// (or let it go, which finishes it); a driver with a clock of its own (the
// web page) steps it itself, and bench/recording's RunScenario is the three
// in a row.
class ScenarioRun {
public:
    // `observers`, which outlive the run, are told of everything after
    // options.Reader, in their order.
    ScenarioRun(const RunOptions& options, const Scenario& scenario, RunSummary* summary,
        std::vector<RunObserver*> observers = {});
    ~ScenarioRun();
    ScenarioRun(const ScenarioRun&) = delete;
    ScenarioRun& operator=(const ScenarioRun&) = delete;

    // Loads the module, as Start does first when it has not been: a driver
    // that holds the scenario to the gauge's own size (its host's) loads it
    // first, and may let the run go without starting it.
    bool Load(std::string* error);
    bool Start(std::string* error);
    // One pass; false once the run is over (past its end, or stopped).
    bool Step();
    // Kills the gauge, unloads the module and leaves the records.
    void Finish();
    // What a driver may do between passes, as the input hook may.
    PassControl& Control();
    // The host, for what a driver asks of it between passes (a cursor code,
    // a measured pass); valid from Start to Finish.
    GaugeHost& Host();

private:
    class Runner;
    std::unique_ptr<Runner> runner_;
    bool started_ = false;
};

#endif
