// A recorded airspeed track: a CSV file of `seconds,airspeed` rows, a header
// line allowed, times from 0 and never going back. Tracks come from others'
// recordings, so every row is checked, and an airspeed or time beyond the
// scenario's limits is refused with the file and row rather than left to
// overflow when the run reads between rows.
#ifndef LUMIVANE_BENCH_FLYING_TRACKFILE_H
#define LUMIVANE_BENCH_FLYING_TRACKFILE_H

#include "bench/flying/Scenario.h"

#include <string>
#include <vector>

// Parses `text` as the contents of the track file `path`. False with `error`
// as "path:row: message"; a track with no rows is no error here (the
// scenario line that names it is).
bool ParseTrack(const std::string& text, const std::string& path, std::vector<TrackPoint>* points, std::string* error);

#endif
