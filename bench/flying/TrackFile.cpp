// Rows are split at the first comma; blanks and a '\r' at the row's end are
// dropped, so a file saved on Windows reads the same.
#include "bench/flying/TrackFile.h"

#include "bench/files/Text.h"

#include <math.h>

bool ParseTrack(const std::string& text, const std::string& path, std::vector<TrackPoint>* points, std::string* error)
{
    points->clear();
    auto fail = [&](int row, const std::string& what) {
        *error = path + ":" + std::to_string(row) + ": " + what;
        return false;
    };
    bool good = ForEachLine(text, [&](int row, size_t at, size_t length) {
        std::string l = text.substr(at, length);
        while (!l.empty() && (l.back() == '\r' || l.back() == ' '))
            l.pop_back();
        if (l.empty() || l[0] == '#')
            return true;
        size_t comma = l.find(',');
        double t, v;
        bool numbers = comma != std::string::npos && ReadNumber(l.substr(0, comma), &t) &&
            ReadNumber(l.substr(comma + 1), &v);
        if (!numbers) {
            if (points->empty() && row == 1)
                return true; // a header line
            return fail(row, "expected 'seconds,airspeed', found " + Quoted(l));
        }
        if (t < 0 || (!points->empty() && t < points->back().Time))
            return fail(row, "the times must start at 0 or later and not go back");
        if (t > MostRunSeconds)
            return fail(row, "the time " + Quoted(l.substr(0, comma)) + " is past the longest run, " +
                std::to_string(int(MostRunSeconds)) + " s");
        if (fabs(v) > MostAirspeed)
            return fail(row, "the airspeed is beyond ±1e6, the most a track may give");
        points->push_back({t, v});
        return true;
    });
    return good;
}
