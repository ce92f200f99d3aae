// The gauge module an aircraft's panel is read for, checked with, installed
// into and taken out of, as the caller describes it: its file name in the
// simulator's Gauges folder and the size it is drawn at. This room holds no
// gauge's facts of its own; which entries mean the module follows from its
// file name, by the 1998 simulator's rule that an entry names the module's
// file without .gau.
#ifndef LUMIVANE_BENCH_AIRCRAFT_GAUGEMODULE_H
#define LUMIVANE_BENCH_AIRCRAFT_GAUGEMODULE_H

#include <string>

struct GaugeModule {
    std::string File;          // its file name in Gauges, as "Name.gau"
    int Width = 0, Height = 0; // its panel, in pixels
};

// What an entry names the module: its file name without ".gau".
std::string EntryName(const GaugeModule& module);

// Whether an entry's NAME means the module, in any case: the entry name as
// the simulator wants it, or the module's file name or a FILE!GAUGE form,
// which are problems of their own but still meant for it.
bool NamesModule(const GaugeModule& module, const std::string& name);

// The entry a pilot adds for the module: "gaugeNN=Name, X, Y".
std::string ModuleEntry(const GaugeModule& module, int number, int x, int y);

#endif
