// The null and the minimal gauge, two gauges of Lumivane's shape that do as
// little as such a gauge can, so that a figure of Lumivane always stands
// beside what any gauge of this shape costs. Both are one source
// (speed/ReferenceModule.cpp), a gauge module with its exports, header and
// element chain, built twice: in the windows build into NullGauge.gau and
// MinimalGauge.gau, which the bench loads under Wine as it loads
// Lumivane.gau; natively linked into the pass programs beside Lumivane, each
// copy's exports under names of its own, and hosted from there as linked
// modules (bench/hosting/LinkedModuleLoader.h). They never include the
// gauge's own folders.
#ifndef LUMIVANE_BENCHMARKS_REFERENCEGAUGES_H
#define LUMIVANE_BENCHMARKS_REFERENCEGAUGES_H

#include "host/Records.h"

// The modules' file names, which their gauge headers carry too.
#define NULL_GAUGE_NAME "NullGauge.gau"
#define MINIMAL_GAUGE_NAME "MinimalGauge.gau"

// The native copies' exports (speed/CMakeLists.txt names them).
extern "C" ModuleLinkage NullGaugeLinkage;
extern "C" ModuleImports NullGaugeImportTable;
extern "C" ModuleLinkage MinimalGaugeLinkage;
extern "C" ModuleImports MinimalGaugeImportTable;

#endif
