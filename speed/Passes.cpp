// The host's side of a measured pass: a service table whose only entry the
// passes reach, 40, writes an airspeed below Speed1 into the variable record,
// and a text buffer for the readout. Lumivane is brought to the state it
// keeps in flight once its settings are loaded.
#include "speed/Passes.h"

#include "callouts/Lamps.h"
#include "host/Services.h"
#include "module/GaugeModule.h"
#include "panel/Panel.h"
#include "settings/Readout.h"
#include "settings/SettingsFiles.h"
#include "settings/Speeds.h"

#include <string.h>

namespace {

// Below Speed1 (80): the lamps are dark and no sound is asked for, so every
// pass does the same work.
const double RestingAirspeed = 40.0;

void GAUGE_STDCALL ServeAirspeed(VariableRecord* variable)
{
    variable->Value = RestingAirspeed;
}

HostServiceAddress Services[64];
char Text[16];

const PassGauge Lumivane = {
    {Lamp1Callback, Lamp2Callback, Lamp3Callback, Speed1MarkCallback, Speed2MarkCallback,
     Speed3MarkCallback},
    ReadoutCallback,
    &ImportTable,
    &ReadoutElement,
};

const PassGauge& GaugeOfKind(PassKind kind)
{
    switch (kind) {
    case MinimalPass:
        return MinimalGauge();
    case NullPass:
        return NullGauge();
    default:
        return Lumivane;
    }
}

} // namespace

const char* PassName(PassKind kind)
{
    switch (kind) {
    case GaugePass:
        return "gauge";
    case MinimalPass:
        return "minimal";
    case NullPass:
        return "null";
    default:
        return "?";
    }
}

const PassGauge& PreparePass(PassKind kind)
{
    Services[VariableLookup] = reinterpret_cast<HostServiceAddress>(&ServeAirspeed);
    const PassGauge& gauge = GaugeOfKind(kind);
    gauge.Imports->Services = Services;
    memset(Text, 0, sizeof Text);
    gauge.ReadoutElement->TextBuffer = Text;
    if (kind == GaugePass) {
        SettingsLoaded = 1;
        Speed1 = 80;
        Speed2 = 90;
        Speed3 = 100;
        SelectedSpeed = 2;
        CalloutStage = 0;
    }
    return gauge;
}

const char* CheckPass(PassKind kind)
{
    const PassGauge& gauge = PreparePass(kind);
    RunPass(gauge);
    RunPass(gauge);
    const char* expected = kind == NullPass ? "" : "100";
    return strcmp(Text, expected) == 0 ? Text : nullptr;
}
