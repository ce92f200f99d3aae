// Lumivane on an aircraft's panel, checked as the pilot would find it in
// the simulator: each entry that names it is in a window the simulator
// shows, whose background bitmap is there and reads, the gauge lies inside
// that bitmap at its place and scale, and Lumivane.gau is in the Gauges
// folder. A panel with no such entry is answered with the window it would go
// in and the exact line to add there. Everything is read, nothing written:
// the pilot's files stay as they are.
#ifndef LUMIVANE_BENCH_AIRCRAFT_PANELCHECK_H
#define LUMIVANE_BENCH_AIRCRAFT_PANELCHECK_H

#include "bench/aircraft/PanelConfig.h"
#include "bench/aircraft/PanelProblems.h"
#include "bench/pictures/Image.h"
#include "bench/pictures/TextFace.h"

#include <string>
#include <vector>

// A gauge entry's place in its window's bitmap, in the bitmap's pixels.
struct PlacedGauge {
    PanelGauge Entry;
    PixelBox Box;
    bool SizeKnown = false; // Lumivane's, or the entry gives a width
};

// A window that holds Lumivane, with its bitmap read.
struct CheckedWindow {
    PanelWindow Window;
    std::string Bitmap;     // the bitmap file's path
    Image Background;
    double PixelsPerUnit = 1; // the bitmap's width over size_mm
    std::vector<PlacedGauge> Lumivane; // its Lumivane entries, in the file's order
    std::vector<PlacedGauge> Others;   // every other readable entry
};

struct PanelFindings {
    PanelConfig Config;
    PanelProblems Problems;
    std::string GaugesFolder; // where Lumivane.gau is looked for
    std::string Module;       // Lumivane.gau there; empty when it is not
    std::vector<CheckedWindow> Windows;
    // What checked out, a line each, with the file and line it is about.
    std::vector<std::string> Checked;
    // With no Lumivane entry: the window and the line to add, on a few lines.
    std::string Suggestion;
};

// Checks the panel configuration `panelFile`, looking for the module in
// `gaugesFolder`, or where the panel's place implies when that is empty.
void CheckPanel(const std::string& panelFile, const std::string& gaugesFolder, PanelFindings* out);

#endif
