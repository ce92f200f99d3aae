// One pass over a gauge's elements, as the host makes it at every frame: the
// seven element callbacks in chain order, three lamps, three selector marks,
// the readout, each called through its record's pointer with the host's
// callback forms. Three gauges make such passes side by side: Lumivane itself,
// a null gauge and a minimal one (speed/ReferenceGauges.h), so that a figure
// of the gauge always stands beside what any gauge of this shape costs. Each
// is linked into the program and hosted by the bench's host of its own
// (bench/hosting/GaugeHost.h), opened by its file name as a linked module and
// installed; the callbacks are read from its element chain, and the host's
// lean table answers the airspeed, so that what a pass costs is the gauge's
// own work. Nothing here measures; the benchmark and the instruction count do.
#ifndef LUMIVANE_BENCHMARKS_PASSES_H
#define LUMIVANE_BENCHMARKS_PASSES_H

#include "host/Records.h"

#include <string>

enum PassKind {
    GaugePass,   // Lumivane: settings loaded, the airspeed below Speed1
    MinimalPass, // the null gauge plus one wsprintfA "%3d" into the readout
    NullPass,    // three airspeed lookups, every callback a constant
    PassKindCount
};

const char* PassName(PassKind kind);

// A gauge's callbacks in chain order, as its host holds them, and the
// readout's text buffer, which is the host's.
struct PassGauge {
    IconCallback Icons[6];
    TextCallback Readout;
    const char* Text;
};

// The kind's gauge loaded, installed and served, in its steady state: for
// Lumivane the settings loaded, Speed3 selected, no sound playing, and the
// airspeed below Speed1. Null, with `error` set, when it cannot be hosted or
// its chain is not of that shape.
const PassGauge* PreparePass(PassKind kind, std::string* error = nullptr);

// One pass; the sum of the callbacks' results, so that none can be left out.
inline double RunPass(const PassGauge& gauge)
{
    double sum = 0.0;
    for (IconCallback icon : gauge.Icons)
        sum += icon(nullptr);
    return sum + gauge.Readout(0.5);
}

// Whether a pass of the kind does its work, checked before it is measured:
// null, with `error` saying why, when it cannot be made or its readout's
// text is not what the kind must write.
const PassGauge* CheckPass(PassKind kind, std::string* error);

#endif
