// What the tests' own gauge modules share (TwinLamps.gau, Faulting.gau): how
// they export their two records, how they reach a host service through their
// ImportTable, and their text element's record. Each module is built from
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
    constexpr uint32_t Redrawn = HostDisplayFlag | RestoreBeneath | TransparentImage;
    return {
        {TextStringKind, -1, 25, 35, {}, gauge, nullptr, nullptr, nullptr, Redrawn, {}},
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

#endif
