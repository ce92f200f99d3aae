// The null and the minimal gauge, two gauges of Lumivane's shape that do as
// little as such a gauge can, so that a figure of Lumivane always stands
// beside what any gauge of this shape costs. Their callbacks are one set of
// code (speed/ReferenceCallbacks.cpp) put to two uses: linked into the
// native pass programs beside Lumivane's own objects (ReferenceGauges.cpp),
// and built into two gauge modules of their own, NullGauge.gau and
// MinimalGauge.gau (ReferenceModule.cpp), which a host loads as it loads
// Lumivane.gau. They never include the gauge's own folders.
#ifndef LUMIVANE_BENCHMARKS_REFERENCEGAUGES_H
#define LUMIVANE_BENCHMARKS_REFERENCEGAUGES_H

#include "host/Records.h"

// The host writes its service table here. The modules export it under the
// name ImportTable (ReferenceModule.def); natively Lumivane's own
// ImportTable is linked beside it, hence a name of its own.
extern "C" ModuleImports ReferenceImports;
// The readout element, whose text buffer pointer the host fills: a bare
// record natively, the last element of the chain in the modules.
extern TextElement ReferenceReadout;

// Both gauges: each lamp asks for the airspeed through entry 40, as
// Lumivane's do, and answers -1.0; each mark answers -1.0.
double GAUGE_STDCALL NullLamp(void* element);
double GAUGE_STDCALL NullMark(void* element);
// The null gauge's readout hands the host's value back; the minimal gauge's
// also writes one number with wsprintfA "%3d" into the readout's buffer.
double GAUGE_STDCALL NullReadout(double value);
double GAUGE_STDCALL MinimalReadout(double value);

#endif
