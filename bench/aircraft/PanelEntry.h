// One gauge's entry in a panel window, the value of its gaugeNN= line:
// NAME, X, Y and an optional width and height after them, in the window's
// units. Its grammar is kept apart from the reader of the file's sections
// and keys (bench/aircraft/PanelConfig.h), which hands it each value.
#ifndef LUMIVANE_BENCH_AIRCRAFT_PANELENTRY_H
#define LUMIVANE_BENCH_AIRCRAFT_PANELENTRY_H

#include "bench/aircraft/PanelConfig.h"

#include <functional>
#include <string>

// Reads `value`, blanks around it dropped, as the entry `entry` ("gauge07")
// of a window: its name, its place and size, and whether all of them are as
// they must be; each thing wrong is handed to `problem`, in words that start
// with the entry. Its number and line are the caller's to fill in.
PanelGauge ReadGaugeEntry(const std::string& entry, const std::string& value,
    const std::function<void(const std::string&)>& problem);

#endif
