// A gauge module on an aircraft's panel, checked as the pilot would find it
// in the simulator: each entry that names the module is in a window the
// simulator shows, whose background bitmap is there and reads, the gauge
// lies inside that bitmap at its place and scale, and the module is in the
// Gauges folder. A panel with no such entry is answered with the window it
// would go in, the place clear of every other gauge and the exact line to
// add there. Everything is read, nothing written: the pilot's files stay as
// they are.
#ifndef LUMIVANE_BENCH_AIRCRAFT_PANELCHECK_H
#define LUMIVANE_BENCH_AIRCRAFT_PANELCHECK_H

#include "bench/aircraft/GaugeModule.h"
#include "bench/aircraft/PanelConfig.h"
#include "bench/aircraft/PanelProblems.h"
#include "bench/pictures/Image.h"
#include "bench/pictures/TextFace.h"

#include <stddef.h>

#include <string>
#include <vector>

// A gauge entry's place in its window's bitmap, in the bitmap's pixels.
struct PlacedGauge {
    PanelGauge Entry;
    PixelBox Box;
    bool SizeKnown = false; // the module's, or the entry gives a width
};

// A window with its bitmap read and its entries placed.
struct CheckedWindow {
    PanelWindow Window;
    std::string Bitmap;     // the bitmap file's path
    Image Background;
    double PixelsPerUnit = 1; // the bitmap's width over size_mm
    std::vector<PlacedGauge> Entries; // the module's, in the file's order
    std::vector<PlacedGauge> Others;  // every other readable entry
};

// Where a new entry for the module goes in a window: the first place, row
// by row from the top-left, that keeps clear of every other gauge.
struct EntryPlace {
    int Window = -1;    // its number; -1 when there is no window to put it in
    int Number = 0;     // the window's next free gauge number
    int X = 0, Y = 0;   // the gauge's top-left corner, in the window's units
    bool Fits = false;  // the gauge is no larger than the window's bitmap
    bool Clear = false; // X, Y keeps clear of every other gauge (0, 0 otherwise)
};

struct PanelFindings {
    GaugeModule Gauge;
    bool Unread = false;      // the panel file could not be read at all
    std::string Text;         // the panel file's bytes, as read
    PanelConfig Config;
    PanelProblems Problems;
    size_t TextProblems = 0;  // how many of Problems, the first, the reader found in the text
    std::string GaugesFolder; // where the module is looked for
    std::string Module;       // the module there (for an install's dry run, the one it would copy); empty when none
    std::vector<CheckedWindow> Windows; // those that hold the module
    // What checked out, a line each, with the file and line it is about.
    std::vector<std::string> Checked;
    // With no entry for the module: where it would go, and that said with
    // the line to add, on a few lines.
    EntryPlace Place;
    std::string Suggestion;
};

// Checks the panel configuration `panelFile` for `gauge`, looking for the
// module in `gaugesFolder`, or where the panel's place implies when that is
// empty.
void CheckPanel(const std::string& panelFile, const std::string& gaugesFolder, const GaugeModule& gauge,
    PanelFindings* out);

// The same with `text` as the file's bytes, as the panel would be found
// once they were written.
void CheckPanelText(const std::string& panelFile, const std::string& text, const std::string& gaugesFolder,
    const GaugeModule& gauge, PanelFindings* out);

// Window `number` of `findings` with its bitmap read and its entries placed,
// and where a new entry would go in it. False, with `problem`, when the
// panel has no such window or its bitmap is missing or does not read.
bool PlaceInWindow(const PanelFindings& findings, int number, CheckedWindow* window, EntryPlace* place,
    std::string* problem);

// `entry` placed in `window` as the module's entry: its box in the bitmap's
// pixels.
PlacedGauge PlaceEntry(const CheckedWindow& window, const GaugeModule& gauge, const PanelGauge& entry);

#endif
