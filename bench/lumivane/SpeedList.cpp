// A speed is one to three digits, nothing else: no sign, blank or exponent,
// so that what is taken is exactly what a person reads in the link.
#include "bench/lumivane/SpeedList.h"

#include <stdio.h>

namespace {

// The most of a part quoted back in a problem.
const int MostQuoted = 12;

} // namespace

bool ReadSpeedList(const std::string& text, int32_t speeds[PanelSpeeds], std::string* problem)
{
    char said[160];
    int parts = 1;
    for (char c : text)
        parts += c == ',';
    if (parts != PanelSpeeds) {
        snprintf(said, sizeof said, "a link gives exactly %d speeds, this one gives %d", PanelSpeeds, parts);
        *problem = said;
        return false;
    }
    const char* part = text.c_str();
    for (int i = 0; i < PanelSpeeds; ++i) {
        int length = 0;
        int32_t speed = 0;
        for (; part[length] >= '0' && part[length] <= '9' && length < 3; ++length)
            speed = speed * 10 + (part[length] - '0');
        // Each part ends at its comma, the last at the end of the text.
        const bool last = i + 1 == PanelSpeeds;
        const bool ended = last ? part + length == text.data() + text.size() : part[length] == ',';
        if (length == 0 || !ended || speed < LowestSpeeds[i] || speed > HighestSpeeds[i]) {
            int quoted = 0;
            while (part[quoted] && part[quoted] != ',' && quoted < MostQuoted)
                ++quoted;
            snprintf(said, sizeof said, "Speed%d must be a whole number from %d to %d, the link gives \u201c%.*s\u201d",
                i + 1, int(LowestSpeeds[i]), int(HighestSpeeds[i]), quoted, part);
            *problem = said;
            return false;
        }
        if (i > 0 && speed <= speeds[i - 1]) {
            snprintf(said, sizeof said, "Speed%d must be above Speed%d, the link gives %d and %d", i + 1, i,
                int(speeds[i - 1]), int(speed));
            *problem = said;
            return false;
        }
        speeds[i] = speed;
        part += length + 1;
    }
    return true;
}
