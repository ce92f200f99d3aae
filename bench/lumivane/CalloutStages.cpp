// Lamp 1 dark above Speed3 + 10, or for an airspeed that is not a number,
// does not re-arm the sequence: only an airspeed below Speed1 does, and only
// a known Speed1 tells that.
#include "bench/lumivane/CalloutStages.h"

#include <math.h>
#include <string.h>

namespace {

// The clip call-out `speed` (1 to 3) plays.
const char* ClipOfCallout(int speed)
{
    return speed == PanelSpeeds ? DoubleBeepClip : SingleBeepClip;
}

} // namespace

int CalloutOfClip(const char* clip)
{
    return clip && strcmp(clip, DoubleBeepClip) == 0 ? PanelSpeeds : 0;
}

void CalloutStages::ModuleLoaded()
{
    stage_ = 0;
    stageKnown_ = true;
}

void CalloutStages::Follow(double airspeed, const char* const* plays, int playCount, PanelReading* reading)
{
    int expected[PanelSpeeds];
    int expectedCount = 0;
    for (int k = 1; k <= PanelSpeeds; ++k) {
        if (reading->Display.Lamps[k - 1]) {
            if (stageKnown_ && stage_ == k - 1) {
                expected[expectedCount++] = k;
                stage_ = k;
            }
        } else if (k == 1 && !isnan(airspeed)) {
            if (!reading->SpeedKnown[0])
                stageKnown_ = false;
            else if (airspeed < double(reading->Speeds[0])) {
                stage_ = 0;
                stageKnown_ = true;
            }
        }
    }
    bool matched = expectedCount == playCount;
    for (int i = 0; matched && i < playCount; ++i)
        matched = plays[i] && strcmp(plays[i], ClipOfCallout(expected[i])) == 0;
    for (int i = 0; i < playCount && reading->CalloutCount < PanelReading::MostCallouts; ++i)
        reading->Callouts[reading->CalloutCount++] = matched ? expected[i] : CalloutOfClip(plays[i]);
    if (!matched && playCount > 0)
        stageKnown_ = false;
}
