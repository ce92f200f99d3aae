// What a pass of a loaded gauge module costs the system, counted call by call
// through its import hooks (bench/measuring/SystemCallHooks.h), in one state at a time:
// which settings files the sandbox holds and what the airspeed does over the
// counted passes. The states are the gauge's own (Lumivane's:
// LumivaneMeasuredStates(), bench/lumivane/LumivaneFacts.h), and its reader
// lays out their settings files. Each state starts from a freshly loaded module,
// installed with the bench's software DirectSound behind the sound tap (so
// that a take-off's call-outs really play) and its settings files in the
// sandbox; its first pass loads what settings it can, as a fresh module's
// first pass does, and is not counted. Windows only, as the counting is.
#ifndef LUMIVANE_BENCH_CALLSPERPASS_H
#define LUMIVANE_BENCH_CALLSPERPASS_H

#include "bench/flying/GaugeReader.h"
#include "platform/CallCounts.h"

#include <string>

struct CallsFigures {
    int Passes = 0;            // counted
    GaugeCallCounts PerPass{}; // the last counted pass's calls
    bool Steady = true;        // every counted pass made the same calls
    GaugeCallCounts Install{}, Kill{};
    int Plays = 0;             // call-outs started during the counted passes
    int32_t BlocksLeft = 0;    // LocalAlloc blocks not freed after the kill
};

// Counts one state, over the airspeed from state.From to state.To (steady,
// or a ramp at 10 a second), with the module at `module` and the state's
// settings files laid out by `reader` in the folder `sandbox` (which must
// exist; its settings files are replaced). False with `error` when the
// module cannot be loaded, hooked or driven without a fault.
bool CountCallsPerPass(const std::string& module, const std::string& sandbox, const GaugeReader& reader,
                       const MeasuredState& state, CallsFigures* figures, std::string* error);

#endif
