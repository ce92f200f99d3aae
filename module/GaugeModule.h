// The records through which the host finds and drives the gauge: the exported
// Linkage and ImportTable, and the one gauge header they lead to. The layouts
// are the host's; panel/PanelRecords.cpp proves them in the 32-bit build.
#ifndef LUMIVANE_MODULE_GAUGEMODULE_H
#define LUMIVANE_MODULE_GAUGEMODULE_H

#include "module/GaugeName.h"
#include "panel/PanelRecords.h"

#include <stdint.h>

typedef void(GAUGE_STDCALL* GaugeRoutine)(void);
typedef void(GAUGE_STDCALL* GaugeRoutineWithValue)(uint32_t value);
typedef void(GAUGE_STDCALL* HostServiceAddress)(void);

struct GaugeHeader {
    uint32_t Version; // 0x262
    const char* Name;
    ElementHeader** Elements; // null-terminated; the background element
    GaugeRoutine Query;
    GaugeRoutineWithValue Install;
    GaugeRoutine Initialize;
    GaugeRoutine Update;
    GaugeRoutineWithValue Generate;
    GaugeRoutine Draw;
    GaugeRoutine Kill;
    uint32_t Reserved1;
    uint32_t Word40;
    uint32_t Reserved2[10];
};

struct ModuleLinkage {
    uint32_t Magic; // 0x13
    GaugeRoutine ModuleInit;
    GaugeRoutine ModuleDeinit;
    uint32_t Reserved[3];
    GaugeHeader* Gauges[2]; // one gauge, then null
};

// One import, number 0x0F, whose table address the host writes in; an
// all-zero entry ends the list.
struct ModuleImports {
    uint32_t ImportNumber;
    HostServiceAddress* Services;
    uint32_t EndNumber;
    void* EndAddress;
};

extern GaugeHeader Gauge;

extern "C" {
extern ModuleLinkage Linkage;
extern ModuleImports ImportTable;
}

#endif
