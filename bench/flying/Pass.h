// One pass of a run as the rest of the bench sees it: what the pass did (its
// record, which holds only what a host knows), what a driver may do before
// it, and the two hooks through which a window, the frame recorder or a test
// take part in every pass. The window and the painter depend on this, never
// on the pass loop itself.
#ifndef LUMIVANE_BENCH_FLYING_PASS_H
#define LUMIVANE_BENCH_FLYING_PASS_H

#include "bench/hosting/GaugeHost.h"

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

// What a pass did, as the hooks and the recording see it.
struct PassRecord {
    uint64_t Pass = 0;
    double Time = 0;
    double Airspeed = 0;
    bool Installed = false;
    // Every element's result in chain order; null while the gauge is killed.
    // Valid for the call only.
    const PassResults* Results = nullptr;
    // What the pass started, ran and found, each the first so many in the
    // order they came, and how many more there were: a pass that does
    // something a thousand times is counted, never cut short in silence.
    static constexpr int MaxPlays = 8, MaxHandlers = 16;
    static constexpr size_t MaxFaults = 32;
    const char* Plays[MaxPlays];       // clips whose play started in this pass
    int PlayCount = 0;
    int PlaysLeftOut = 0;
    int Handlers[MaxHandlers];         // area numbers whose handler ran
    int HandlerCount = 0;
    int HandlersLeftOut = 0;
    const std::vector<std::string>* Faults = nullptr; // this pass's faults, from FirstFault
    size_t FirstFault = 0, FaultCount = 0;
    uint64_t FaultsLeftOut = 0;
    const GaugeHost* Host = nullptr;
};

class GaugeReader;

// What a driver may do before a pass (a window's clicks and keys); it acts
// at that pass's time.
class PassControl {
public:
    virtual ~PassControl() = default;
    virtual double Time() const = 0;
    // The mouse area list the gauge registered, null while none is.
    virtual const MouseArea* Areas() const = 0;
    virtual void Press(int x, int y, Button button) = 0; // down and up at once
    virtual void Hold(int x, int y, Button button) = 0;  // down until Release
    virtual void Release() = 0;
    virtual void SetAirspeed(double value) = 0;
    virtual void Kill() = 0;
    virtual void Install() = 0;
    virtual void Stop() = 0; // the run ends after this pass
    // The run's reader of the gauge's own panel (bench/flying/GaugeReader.h),
    // or null: where a key presses a control, and how a take-off climbs.
    virtual const GaugeReader* Reader() const = 0;
};

// Called before each pass, to act on it; and after each pass, to show it.
using InputHook = std::function<void(PassControl&)>;
using PassHook = std::function<void(const PassRecord&)>;

#endif
