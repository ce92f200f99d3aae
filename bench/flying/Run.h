// One run of the bench: load the module as the host does, install it, fly the
// scenario pass by pass, kill it, and leave what it showed and sounded in the
// output folder (events.jsonl, sound.wav, the settings sandbox). The loop is
// lean: a pass allocates nothing, and with recording off it does only what
// the host must. Two hooks reach into every pass: BeforePass, through which
// an interactive window can press, hold, release and set the airspeed, and
// AfterPass, through which the renderer can draw a frame.
#ifndef LUMIVANE_BENCH_RUN_H
#define LUMIVANE_BENCH_RUN_H

#include "bench/hosting/GaugeHost.h"
#include "bench/flying/Scenario.h"

#include <stdint.h>
#include <functional>
#include <string>
#include <vector>

// The first repeat of a held press comes this long after the press, then one
// every RepeatPeriod, checked at each pass, while the button is down.
constexpr double RepeatDelay = 0.4;
constexpr double RepeatPeriod = 0.1;

// What a pass did, as the hooks and the recording see it.
struct PassRecord {
    uint64_t Pass = 0;
    double Time = 0;
    double Airspeed = 0;
    bool Installed = false;
    const PanelState* Panel = nullptr; // valid for the call only
    static constexpr int MaxPlays = 8, MaxHandlers = 16;
    const char* Plays[MaxPlays];       // clips whose play started in this pass
    int PlayCount = 0;
    int Handlers[MaxHandlers];         // area numbers whose handler ran
    int HandlerCount = 0;
    bool SpeedKnown[3] = {};
    int Speeds[3] = {};
    const std::vector<std::string>* Faults = nullptr; // every fault so far
    size_t FirstFault = 0, FaultCount = 0;            // this pass's, in Faults
    const GaugeHost* Host = nullptr;
};

// What a driver may do before a pass; it acts at that pass's time.
class PassControl {
public:
    virtual ~PassControl() = default;
    virtual double Time() const = 0;
    virtual void Press(int x, int y, Button button) = 0; // down and up at once
    virtual void Hold(int x, int y, Button button) = 0;  // down until Release
    virtual void Release() = 0;
    virtual void SetAirspeed(double value) = 0;
    virtual void Kill() = 0;
    virtual void Install() = 0;
    virtual void Stop() = 0; // the run ends after this pass
};

enum class Pace { Default, RealTime, Fast };

struct RunOptions {
    std::string Module;
    std::string Out;      // the output folder; created (may be empty when not recording and Settings is given)
    std::string Settings; // the sandbox; empty: <Out>/settings
    std::string Capture;  // ALSA's file-device recording, under Wine; empty: none
    double Rate = 18;     // passes a second
    bool SoftSound = false;
    Pace Speed = Pace::Default; // real time with real DirectSound, fast with the software device
    bool Record = true;   // events.jsonl and sound.wav
    bool Progress = true; // the progress line on stderr for long runs
    bool Flush = false;   // events.jsonl written out at every pass, for a run watched as it goes
    std::function<void(PassControl&)> BeforePass;
    std::function<void(const PassRecord&)> AfterPass;
};

struct HeardCallout {
    double Time;
    const char* Clip;
};

struct RunSummary {
    uint64_t Passes = 0;
    std::vector<HeardCallout> Plays; // every play started, in order
    int Bursts = -1;                 // bursts of sound in sound.wav; -1 when none was written
    std::string SoundFile;
    std::string SoundNote;           // why sound.wav is missing or what it holds
    std::vector<std::string> Faults; // stack, service and sandbox faults
    bool StackMeasured = false;
};

// Runs the scenario. False with `error` when the run could not start (the
// module, the folders); faults during the run are in the summary.
bool RunScenario(const RunOptions& options, const Scenario& scenario, RunSummary* summary, std::string* error);

// The summary as the bench prints it.
std::string DescribeSummary(const RunSummary& summary);

#endif
