// Speeds are named as the gauge's pilots know them, and a call-out by what
// its clip sounds like (LumivaneFacts.h).
#include "bench/lumivane/Sentences.h"

std::string SelectionSentence(const PanelReading& reading)
{
    const int s = reading.Display.Selected;
    if (!reading.Display.Lumivane || s < 0)
        return std::string();
    return std::string(SpeedNames[s]) + " selected: " +
           (reading.SpeedKnown[s] ? std::to_string(reading.Speeds[s]) : std::string("?"));
}

std::string CalloutSentence(int speed)
{
    if (speed < 1 || speed > PanelSpeeds)
        return "A call-out";
    return std::string(SpeedNames[speed - 1]) + ": " + (speed == PanelSpeeds ? DoubleBeepSound : SingleBeepSound);
}
