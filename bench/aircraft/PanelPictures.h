// lumivane-bench --panel's pictures: for each window that holds the gauge,
// panel-windowNN.png in the output folder, the window's bitmap with the gauge
// set into its places as it shows on its first pass, flown by the bench's own
// run of the module found in the Gauges folder. Only the pictures and the
// run's settings sandbox are written; the pilot's files are only read.
#ifndef LUMIVANE_BENCH_AIRCRAFT_PANELPICTURES_H
#define LUMIVANE_BENCH_AIRCRAFT_PANELPICTURES_H

#include "bench/aircraft/PanelCheck.h"
#include "bench/aircraft/WindowPicture.h"
#include "bench/flying/Run.h"

#include <string>
#include <vector>

// "panel-window07.png" for window 7.
std::string PanelPictureName(int window);

// The pictures of every window of `findings`, each `scale` times its size,
// into `out` (made if need be), the gauge flown for one pass with `options`
// (its module the one found; nothing is recorded). `written` lists what was
// written. False, with `error`, when the gauge could not be flown or painted
// (its places are then outlined and say so) or a picture not written.
bool WritePanelPictures(const PanelFindings& findings, RunOptions options, const std::string& out, int scale,
    std::vector<std::string>* written, std::string* error);

#endif
