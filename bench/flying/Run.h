// One run of the bench: load the module as the host does, install it, fly the
// scenario pass by pass, kill it, and leave what it showed and sounded in the
// output folder (events.jsonl, sound.wav, the settings sandbox) through its
// recorders. The loop is
// lean: a pass allocates nothing, and with recording off it does only what
// the host must. Two hooks reach into every pass (bench/flying/Pass.h):
// TakeInput, through which an interactive window presses, holds, releases and
// sets the airspeed, and ShowPass, through which a window or the frame
// recorder shows what the pass showed.
#ifndef LUMIVANE_BENCH_FLYING_RUN_H
#define LUMIVANE_BENCH_FLYING_RUN_H

#include "bench/flying/Pass.h"
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
    std::string Settings; // the sandbox; empty: <Out>/settings
    std::string Capture;  // ALSA's file-device recording, under Wine; empty: none
    double Rate = 18;     // passes a second
    bool SoftSound = false;
    Pace Speed = Pace::Default; // real time with real DirectSound, fast with the software device
    bool Record = true;   // events.jsonl and sound.wav, by RunScenario's recorders
    bool Progress = true; // the progress line on stderr for long runs
    bool Flush = false;   // events.jsonl written out at every pass, for a run watched as it goes
    bool LogChanges = false; // events.jsonl holds only the passes where something changed, the first and the last
    InputHook TakeInput; // before each pass
    PassHook ShowPass;   // after each pass
};

// Whether the run's gauge plays through the bench's software DirectSound:
// when asked to, and always outside Windows, where it is the only device.
bool PlaysThroughSoftware(const RunOptions& options);

// What a run leaves behind besides its summary: the bench's program and tests
// record events.jsonl and sound.wav; the web page records nothing, so that
// none of that code is linked into it.
class RunRecorder {
public:
    virtual ~RunRecorder() = default;
    // Once the module is loaded and in its sandbox, before it is installed;
    // false, with `error`, stops the run.
    virtual bool Start(const RunOptions& options, std::string* error) = 0;
    // After each pass.
    virtual void Pass(const PassRecord& pass) = 0;
    // After each kill, once the gauge has let its sound device go.
    virtual void Killed() {}
    // Once the module is let go, with the run's length and the sound note
    // the run found (the device refused), which a recorder keeps.
    virtual void Finish(double seconds, RunSummary* summary) = 0;
};

// Runs the scenario, recording events.jsonl and sound.wav in the output
// folder when options.Record asks (bench/flying/RecordedRun.cpp). False with
// `error` when the run could not start (the module, the folders); faults
// during the run are in the summary.
bool RunScenario(const RunOptions& options, const Scenario& scenario, RunSummary* summary, std::string* error);

// The same run flown pass by pass, for a driver with a clock of its own (the
// web page): Start, then Step once for each pass, then Finish (or let it go,
// which finishes it). RunScenario is the three in a row.
class ScenarioRun {
public:
    // `recorders`, which outlive the run, are told of every pass.
    ScenarioRun(const RunOptions& options, const Scenario& scenario, RunSummary* summary,
        std::vector<RunRecorder*> recorders = {});
    ~ScenarioRun();
    ScenarioRun(const ScenarioRun&) = delete;
    ScenarioRun& operator=(const ScenarioRun&) = delete;

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
