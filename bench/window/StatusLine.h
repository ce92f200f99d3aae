// What the window's title and strip say of a pass. Apart from the window's
// Win32 code so that both builds' tests hold it.
#ifndef LUMIVANE_BENCH_WINDOW_STATUSLINE_H
#define LUMIVANE_BENCH_WINDOW_STATUSLINE_H

#include "bench/flying/GaugeReader.h"
#include "bench/flying/Pass.h"

#include <string>

// The state the run's reader of the panel says the pass shows, if any (with
// no reader, nothing), then the airspeed as the gauge was given it: whole
// numbers as such, anything else to a tenth; ", taking off" while the
// take-off key's climb flies.
std::string StatusLine(const PassRecord& pass, const GaugeReader* reader, bool takingOff);

#endif
