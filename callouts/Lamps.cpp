// The speed lamps and the call-out sequencer. The host evaluates lamp 1, 2 and
// 3 in that order at every pass; each asks afresh for the airspeed, lights its
// lamp inside its window, and sounds its call-out when the stage before it has
// sounded. CalloutStage only governs the sounds: a lamp's look depends on the
// airspeed and the speeds alone.
#include "callouts/Lamps.h"

#include "host/Services.h"
#include "hostcalls/HostCalls.h"
#include "settings/Speeds.h"
#include "sound/SoundObjects.h"

VariableRecord Airspeed = {AirspeedVariableNumber, {}, 0.0, {}};

int32_t CalloutStage = 0;

namespace {

struct Lamp {
    const int32_t* Threshold;
    SoundDescriptor* Sound;
};

const Lamp Lamps[3] = {
    {&Speed1, &Wave1Sound},
    {&Speed2, &Wave1Sound},
    {&Speed3, &Wave2Sound},
};

// Lamp number k (1 to 3) for the airspeed the host reports now.
double EvaluateLamp(int32_t k)
{
    const Lamp& lamp = Lamps[k - 1];
    // Without a service table the record keeps what it holds, and the lamp
    // judges that value.
    LookUpVariable(&Airspeed);
    double v = Airspeed.Value;

    // In 64 bits, so that a Speed3 near the 32-bit maximum from a settings
    // file still gives the true window; every int64 here converts to double
    // exactly.
    int64_t upper = int64_t(Speed3) + 10;

    // A value that is not a number fails both tests: dark, nothing changes.
    if (v < double(*lamp.Threshold)) {
        if (k == 1)
            CalloutStage = 0; // below Speed1 re-arms the sequence
        return -1.0;
    }
    if (!(v <= double(upper)))
        return -1.0;
    if (CalloutStage == k - 1) {
        PlaySoundObject(lamp.Sound->Object, 0);
        CalloutStage = k;
    }
    return 0.0;
}

} // namespace

double GAUGE_STDCALL Lamp1Callback(void*)
{
    return EvaluateLamp(1);
}

double GAUGE_STDCALL Lamp2Callback(void*)
{
    return EvaluateLamp(2);
}

double GAUGE_STDCALL Lamp3Callback(void*)
{
    return EvaluateLamp(3);
}
