// One gauge's entry in a panel window, the value of its gaugeNN= line:
// NAME, X, Y and an optional width and height after them, in the window's
// units. Its grammar is kept apart from the reader of the file's sections
// and keys (bench/aircraft/PanelConfig.h), which hands it each value.
#ifndef LUMIVANE_BENCH_AIRCRAFT_PANELENTRY_H
#define LUMIVANE_BENCH_AIRCRAFT_PANELENTRY_H

#include "bench/aircraft/PanelConfig.h"

#include <functional>
#include <string>

// The NAME of an entry's `value`, as a pilot meant it: the text before its
// first comma, or its first word when there are too few commas for NAME, X,
// Y ("Name 10 20", "Name 10, 20"), so that an entry miswritten that way is
// still told, and taken out, as the gauge's it names.
std::string GaugeEntryName(const std::string& value);

// A module's file name as an entry names it: without ".gau", in any case.
std::string WithoutGau(const std::string& file);

// Reads `value`, blanks around it dropped, as the entry `entry` ("gauge07")
// of a window: its name, its place and size, and whether all of them are as
// they must be; each thing wrong is handed to `problem`, in words that start
// with the entry. Its number and line are the caller's to fill in.
PanelGauge ReadGaugeEntry(const std::string& entry, const std::string& value,
    const std::function<void(const std::string&)>& problem);

#endif
