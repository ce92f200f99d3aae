// Two gauges of Lumivane's shape that do as little as such a gauge can, to
// stand beside its figures: the null gauge asks for the airspeed in each of
// its three lamps, as Lumivane does, and answers every callback with a
// constant; the minimal gauge does the same and also formats one number into
// the readout with wsprintfA "%3d". They are compiled with the gauge's own
// options, and reach the host the same way: through their own ImportTable,
// read afresh at every call.
#include "benchmarks/Passes.h"

#include "host/Services.h"
#include "platform/Platform.h"

namespace {

ModuleImports ReferenceImports = {0x0F, nullptr, 0, nullptr};
VariableRecord ReferenceAirspeed = {AirspeedVariableNumber, {}, 0.0, {}};
// Only the text buffer pointer of the element is used.
TextElement ReferenceReadout = {};
int32_t ReferenceSpeed = 100;

void LookUpAirspeed()
{
    HostServiceAddress* table = ReferenceImports.Services;
    if (table)
        reinterpret_cast<VariableService>(table[VariableLookup])(&ReferenceAirspeed);
}

double GAUGE_STDCALL NullLamp(void*)
{
    LookUpAirspeed();
    return -1.0;
}

double GAUGE_STDCALL NullMark(void*)
{
    return -1.0;
}

double GAUGE_STDCALL NullReadout(double value)
{
    return value;
}

double GAUGE_STDCALL MinimalReadout(double value)
{
    char* text = ReferenceReadout.TextBuffer;
    if (text)
        wsprintfA(text, "%3d", ReferenceSpeed);
    return value;
}

const PassGauge Null = {
    {NullLamp, NullLamp, NullLamp, NullMark, NullMark, NullMark},
    NullReadout,
    &ReferenceImports,
    &ReferenceReadout,
};

const PassGauge Minimal = {
    {NullLamp, NullLamp, NullLamp, NullMark, NullMark, NullMark},
    MinimalReadout,
    &ReferenceImports,
    &ReferenceReadout,
};

} // namespace

const PassGauge& NullGauge()
{
    return Null;
}

const PassGauge& MinimalGauge()
{
    return Minimal;
}
