// The host's services as the gauge calls them. The host writes the address of
// its service table into ImportTable; the table is read afresh at every call,
// and when the host has not written it yet, nothing is called: a gauge must
// never be the reason the host crashes. The entries and their forms are the
// host's (host/Services.h, host/RoutineForms.h). The variable lookup the lamps
// make is declared with them (callouts/Lamps.h) and served from here.
#ifndef LUMIVANE_MODULE_HOSTINTERFACE_H
#define LUMIVANE_MODULE_HOSTINTERFACE_H

#include "host/Records.h"
#include "host/Services.h"

void CallHost(HostService entry, ElementHeader* element);
void CallHost(HostService entry, ElementHeader* element, uint32_t value);
void CallHost(HostService entry, MouseArea* areas, GaugeHeader* gauge);
void CallHost(HostService entry, MouseArea* areas, GaugeHeader* gauge, void* place);

#endif
