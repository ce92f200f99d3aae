// A speed is one to three digits, nothing else: no sign, blank or exponent,
// so that what is taken is exactly what a person reads in the link.
#include "bench/lumivane/SpeedList.h"

#include <vector>

namespace {

// The most of a part quoted back in a problem.
const size_t MostQuoted = 12;

bool Digits(const std::string& part, int32_t* value)
{
    if (part.empty() || part.size() > 3)
        return false;
    int32_t number = 0;
    for (char c : part) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    *value = number;
    return true;
}

std::string Name(int index)
{
    return "Speed" + std::to_string(index + 1);
}

} // namespace

bool ReadSpeedList(const std::string& text, int32_t speeds[PanelSpeeds], std::string* problem)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ',')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    if (parts.size() != size_t(PanelSpeeds)) {
        *problem = "a link gives exactly " + std::to_string(PanelSpeeds) + " speeds, this one gives " +
                   std::to_string(parts.size());
        return false;
    }
    for (int i = 0; i < PanelSpeeds; ++i) {
        int32_t speed = 0;
        if (!Digits(parts[size_t(i)], &speed) || speed < LowestSpeeds[i] || speed > HighestSpeeds[i]) {
            *problem = Name(i) + " must be a whole number from " + std::to_string(LowestSpeeds[i]) + " to " +
                       std::to_string(HighestSpeeds[i]) + ", the link gives \u201c" +
                       parts[size_t(i)].substr(0, MostQuoted) + "\u201d";
            return false;
        }
        if (i > 0 && speed <= speeds[i - 1]) {
            *problem = Name(i) + " must be above " + Name(i - 1) + ", the link gives " +
                       std::to_string(speeds[i - 1]) + " and " + std::to_string(speed);
            return false;
        }
        speeds[i] = speed;
    }
    return true;
}
