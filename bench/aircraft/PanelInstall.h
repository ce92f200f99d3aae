// A gauge module put into an aircraft's panel, and taken out again, the way
// a pilot would do it by hand but without a byte of the pilot's lost:
//   install    the module copied into the Gauges folder, and one line,
//              gaugeNN=Name, X, Y, added after the last gauge line of the
//              window --panel would suggest (or the one chosen), at a place
//              clear of every other gauge (or the one chosen);
//   uninstall  every line that names the module taken out, and only those;
//              the module is left in Gauges, for other aircraft.
// Panel.cfg is kept first as Panel.cfg.NAME-N.bak, N the first number free,
// and then replaced whole (bench/files/FileReplace.h), so a fault or a kill
// leaves it as it was or as it is meant to be. Only a file read clean is
// written: any problem the reader finds in its text makes the entry's place
// uncertain, and is listed with nothing written. The file is then read back
// through the same reader. A dry run writes nothing of the pilot's and shows
// the change as a unified diff.
#ifndef LUMIVANE_BENCH_AIRCRAFT_PANELINSTALL_H
#define LUMIVANE_BENCH_AIRCRAFT_PANELINSTALL_H

#include "bench/aircraft/GaugeModule.h"
#include "bench/aircraft/PanelCheck.h"

#include <string>
#include <vector>

struct InstallRequest {
    std::string PanelFile;
    GaugeModule Gauge;
    std::string GaugesFolder; // empty: three folders above the panel's
    std::string Module;       // the module file to copy in (install)
    bool Uninstall = false;
    int Window = -1;          // the window chosen; -1: as --panel would suggest
    bool AtGiven = false;     // a place chosen, X, Y in the window's units
    int X = 0, Y = 0;
    bool Replace = false;     // put the module in place of another of its name in Gauges
    bool DryRun = false;
};

// What an install says. Status: 0 done, or nothing to do; 1 a file could not
// be read or written (nothing was changed, unless Errors says otherwise);
// 2 refused: the panel's problems, or a choice the pilot must make.
struct InstallResult {
    int Status = 0;
    std::vector<std::string> Said;   // what was done, a line each
    std::vector<std::string> Errors; // the panel's problems, and why nothing was done, a line each
    std::string Diff;                // a dry run's change
    PanelFindings Findings;          // the panel as installed, or as it would be
    bool Draw = false;               // Findings holds windows to draw
};

void InstallGauge(const InstallRequest& request, InstallResult* out);

#endif
