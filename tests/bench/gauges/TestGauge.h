// What the tests' own gauge modules share (TwinLamps.gau, Faulting.gau): how
// they export their two records, how they reach a host service through their
// ImportTable, their background's and text element's records and their entry
// point. Each module is built from
// its own source and this header alone, as the gauge is: plain records,
// callee-cleans routines, no start files and no runtime DLL.
#ifndef LUMIVANE_TESTS_BENCH_GAUGES_TESTGAUGE_H
#define LUMIVANE_TESTS_BENCH_GAUGES_TESTGAUGE_H

#include "host/Records.h"
#include "host/Services.h"

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

// A text element of `gauge` at the readout's place, white on the panel in
// Courier New, `characters` long, drawn by `callback`. A constant, so that
// the module needs no start files to set it up.
constexpr TextElement TextRecord(GaugeHeader* gauge, TextCallback callback, int32_t characters)
{
    return {
        {TextStringKind, -1, 25, 35, {}, gauge, nullptr, nullptr, nullptr, HostDisplayFlag | RestoreBeneath |
            TransparentImage, {}},
        {{AirspeedVariableNumber, {}}, {0, {}}, {0, {}}},
        {},
        callback,
        nullptr,
        0,
        62,
        25,
        {},
        0xEFEFEF,
        0,
        0,
        {},
        "Courier New",
        400,
        1,
        0x25,
        characters,
        {},
    };
}

// A routine with nothing to do.
inline void GAUGE_STDCALL TestGaugeNothing(void)
{
}

// How the elements are drawn: the background as it is, the others over it
// restored beneath at every change.
constexpr uint32_t TestGaugeDrawn = HostDisplayFlag | TransparentImage;
constexpr uint32_t TestGaugeRedrawn = HostDisplayFlag | RestoreBeneath | TransparentImage;

// The background of `gauge`: Lumivane's own bitmap, 4096, followed by `next`.
constexpr StaticImageElement BackgroundRecord(GaugeHeader* gauge, ElementHeader** next)
{
    return {{StaticImageKind, 4096, 0, 0, {}, gauge, nullptr, next, nullptr, TestGaugeDrawn, {}}, nullptr, {}};
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
