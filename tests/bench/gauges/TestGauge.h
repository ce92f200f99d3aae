// What the tests' own gauge modules share (TwinLamps.gau, Faulting.gau): how
// they export their two records, how they reach a host service through their
// ImportTable, and their entry point. Their background, lamps and text
// element are Lumivane's own records (panel/PanelRecords.h). Each module is
// built from its own source and these headers alone, as the gauge is: plain
// records, callee-cleans routines, no start files and no runtime DLL.
#ifndef LUMIVANE_TESTS_BENCH_GAUGES_TESTGAUGE_H
#define LUMIVANE_TESTS_BENCH_GAUGES_TESTGAUGE_H

#include "host/Records.h"
#include "host/Services.h"
#include "panel/PanelRecords.h"

#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
// The DLL exports its records by name through its .def file.
#define TEST_GAUGE_EXPORT
#else
#define TEST_GAUGE_EXPORT __attribute__((visibility("default")))
#endif

// The host's service `entry`, or null while the host has written no table.
template <typename Service>
Service HostEntry(const ModuleImports& imports, HostService entry)
{
    return imports.Services ? reinterpret_cast<Service>(imports.Services[entry]) : nullptr;
}

// A routine with nothing to do.
inline void GAUGE_STDCALL TestGaugeNothing(void)
{
}

// Under Windows the module's entry point, with nothing to set up: there are
// no start files.
#ifdef _WIN32
#define TEST_GAUGE_ENTRY_POINT \
    BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
#else
#define TEST_GAUGE_ENTRY_POINT
#endif

// The module's two exported records, which list its one gauge `gauge`, and
// its entry point; written after everything they name.
#define TEST_GAUGE_MODULE(gauge) \
    extern "C" { \
    ModuleLinkage Linkage = {0x13, TestGaugeNothing, TestGaugeNothing, {}, {&gauge, nullptr}}; \
    ModuleImports ImportTable = {0x0F, nullptr, 0, nullptr}; \
    TEST_GAUGE_ENTRY_POINT \
    }

#endif
