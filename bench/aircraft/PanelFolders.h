// The folders a panel configuration lives among, as the simulator lays them
// out: <simulator>/Aircraft/<aircraft>/Panel/Panel.cfg beside the windows'
// bitmaps, and the gauge modules in <simulator>/Gauges. Names are found
// whatever their case, as on the simulator's own file system, so that a
// panel copied to a file system that minds case reads the same. Nothing here
// writes or makes a file.
#ifndef LUMIVANE_BENCH_AIRCRAFT_PANELFOLDERS_H
#define LUMIVANE_BENCH_AIRCRAFT_PANELFOLDERS_H

#include <string>

// `name` (a file name, or a relative path with '\' or '/' between its parts)
// in `folder`: each part as it is when it is there, otherwise the one entry
// whose name differs from it only in case. Empty when there is none.
std::string FindInFolder(const std::string& folder, const std::string& name);

// The Gauges folder beside the Aircraft folder that holds the panel file's
// aircraft: three folders above the panel's folder. Where the folders above
// are not there, the path that would be meant, joined as it is.
std::string ImpliedGaugesFolder(const std::string& panelFile);

#endif
