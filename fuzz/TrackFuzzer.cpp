// libFuzzer target for the CSV track reader: any bytes a track file holds
// give either a message naming the file and row, or rows whose times start
// at 0 or later, never go back and end within a day, and whose airspeeds are
// finite and within the scenario's limit.
#include "bench/flying/TrackFile.h"
#include "fuzz/FuzzPromise.h"

#include <math.h>
#include <stddef.h>
#include <stdint.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    std::vector<TrackPoint> points;
    std::string error;
    if (!ParseTrack(text, "fuzzed.csv", &points, &error)) {
        Require(error.rfind("fuzzed.csv:", 0) == 0);
        // A word of the file is quoted at a bounded length, whatever the row.
        Require(error.size() < 400);
        return 0;
    }
    double previous = 0;
    for (const TrackPoint& p : points) {
        Require(isfinite(p.Time) && isfinite(p.Airspeed));
        Require(p.Time >= previous && p.Time <= MostRunSeconds);
        Require(fabs(p.Airspeed) <= MostAirspeed);
        previous = p.Time;
    }
    return 0;
}
