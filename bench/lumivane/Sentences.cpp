// Speeds are named as the gauge's pilots know them, Speed1 to Speed3, and a
// call-out by what it sounds like.
#include "bench/lumivane/Sentences.h"

std::string SelectionSentence(const PanelReading& reading)
{
    const int s = reading.Display.Selected;
    if (!reading.Display.Lumivane || s < 0)
        return std::string();
    return "Speed" + std::to_string(s + 1) + " selected: " +
           (reading.SpeedKnown[s] ? std::to_string(reading.Speeds[s]) : std::string("?"));
}

std::string CalloutSentence(int speed)
{
    if (speed < 1 || speed > PanelSpeeds)
        return "A call-out";
    return "Speed" + std::to_string(speed) + (speed == PanelSpeeds ? ": double beep" : ": single beep");
}
