// The host's services as the gauge calls them. The host writes the address of
// its service table into ImportTable; entry n lies at byte offset 4 * n. Every
// service is callee-cleans, and no result is used. The table is read afresh
// at every call, and when the host has not written it yet, nothing is called:
// a gauge must never be the reason the host crashes.
#ifndef LUMIVANE_MODULE_HOSTINTERFACE_H
#define LUMIVANE_MODULE_HOSTINTERFACE_H

#include "panel/PanelRecords.h"

#include <stdint.h>

struct AirspeedVariable;

// The entries the gauge uses.
enum HostService : uint32_t {
    ElementTreeQuery = 24,
    ElementTreeInstall = 25,
    ElementTreeInitialize = 26,
    ElementTreeUpdate = 27,
    ElementTreeGenerate = 28,
    ElementTreeDraw = 29,
    ElementTreeRelease = 31,
    MouseAreasInstall = 32,
    MouseAreasRegister = 33,
    MouseAreasUnregister = 34,
    VariableLookup = 40,
};

void CallHost(HostService entry, ElementHeader* element);
void CallHost(HostService entry, ElementHeader* element, uint32_t value);
void CallHost(HostService entry, MouseArea* areas, GaugeHeader* gauge);
void CallHost(HostService entry, MouseArea* areas, GaugeHeader* gauge, void* place);

// Refreshes the variable's value; returns 0 when there is no service table to
// ask, in which case the record keeps the value it holds.
int32_t LookUpVariable(AirspeedVariable* variable);

#endif
