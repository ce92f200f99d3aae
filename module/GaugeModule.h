// The records through which the host finds and drives the gauge: the exported
// Linkage and ImportTable, and the one gauge header they lead to. Their
// layouts are the host's (host/Records.h).
#ifndef LUMIVANE_MODULE_GAUGEMODULE_H
#define LUMIVANE_MODULE_GAUGEMODULE_H

#include "host/Records.h"
// ImportTable, with the calls that read it.
#include "hostcalls/HostCalls.h"

// The gauge header itself is declared with the panel that points back to it
// (panel/Panel.h).

extern "C" {
extern ModuleLinkage Linkage;
}

#endif
