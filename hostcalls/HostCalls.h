// The gauge's calls into the host: the exported ImportTable, into which the
// host writes the address of its service table, and one call for each form
// of service the gauge uses. The table is read afresh at every call, and when
// the host has not written it yet nothing is called: a gauge must never be
// the reason the host crashes. Every folder of the gauge that asks the host
// for something calls it through here; nothing here calls back into them.
// The entries and their forms are the host's (host/Services.h,
// host/RoutineForms.h).
#ifndef LUMIVANE_HOSTCALLS_HOSTCALLS_H
#define LUMIVANE_HOSTCALLS_HOSTCALLS_H

#include "host/Records.h"
#include "host/Services.h"

#include <stdint.h>

extern "C" {
extern ModuleImports ImportTable;
}

void CallHost(HostService entry, ElementHeader* element);
void CallHost(HostService entry, ElementHeader* element, uint32_t value);
void CallHost(HostService entry, MouseArea* areas, GaugeHeader* gauge);
void CallHost(HostService entry, MouseArea* areas, GaugeHeader* gauge, void* place);

// Asks the host to write the variable's current value into its record; 0
// when there is no service table to ask, and the record keeps what it holds.
int32_t LookUpVariable(VariableRecord* variable);

#endif
