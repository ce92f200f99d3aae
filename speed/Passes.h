// One pass over a gauge's elements, as the host makes it at every frame: the
// seven element callbacks in chain order, three lamps, three selector marks,
// the readout, each called through its record's pointer with the host's
// callback forms, and the airspeed served by entry 40 of the host's service
// table. Three gauges make such passes side by side: Lumivane itself, a null
// gauge and a minimal one (speed/ReferenceGauges.cpp), so that a figure
// of the gauge always stands beside what any gauge of this shape costs.
// Nothing here measures; the benchmark and the instruction count do.
#ifndef LUMIVANE_BENCHMARKS_PASSES_H
#define LUMIVANE_BENCHMARKS_PASSES_H

#include "host/Records.h"

enum PassKind {
    GaugePass,   // Lumivane: settings loaded, the airspeed below Speed1
    MinimalPass, // the null gauge plus one wsprintfA "%3d" into the readout
    NullPass,    // three airspeed lookups, every callback a constant
    PassKindCount
};

const char* PassName(PassKind kind);

// A gauge as the host holds it after reading its records: the callbacks in
// chain order, the ImportTable it writes its service table into, and the
// readout element whose text buffer pointer the host fills.
struct PassGauge {
    IconCallback Icons[6];
    TextCallback Readout;
    ModuleImports* Imports;
    TextElement* ReadoutElement;
};

// Connects the kind's gauge to the host's service table and text buffer and
// brings it to its steady state: for Lumivane the settings loaded, Speed3
// selected, no sounds, and the airspeed below Speed1. Returns the gauge.
const PassGauge& PreparePass(PassKind kind);

// One pass; the sum of the callbacks' results, so that none can be left out.
inline double RunPass(const PassGauge& gauge)
{
    double sum = 0.0;
    for (IconCallback icon : gauge.Icons)
        sum += icon(nullptr);
    return sum + gauge.Readout(0.5);
}

// What the host shows after a pass of the kind: the readout's text, for the
// check that every kind did its work before it is measured. Null when the
// text is not what the kind must write.
const char* CheckPass(PassKind kind);

// The null and minimal gauges (speed/ReferenceGauges.cpp).
const PassGauge& NullGauge();
const PassGauge& MinimalGauge();

#endif
