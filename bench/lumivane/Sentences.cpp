// Speeds are named as the gauge's pilots know them, and a call-out by what
// its clip sounds like, both from the gauge's description.
#include "bench/lumivane/Sentences.h"

#include "bench/lumivane/CalloutStages.h"

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
    const std::string clip = ClipOfCallout(speed);
    for (const ClipMeaning& meaning : LumivaneDescription().Clips)
        if (meaning.Name == clip)
            return std::string(SpeedNames[speed - 1]) + ": " + meaning.Sound;
    return std::string(SpeedNames[speed - 1]) + ": a call-out";
}
