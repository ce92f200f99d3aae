// The callbacks of the null and the minimal gauge (speed/ReferenceGauges.h).
// They are compiled with the gauge's own options and reach the host the way
// Lumivane does: through the ImportTable, read afresh at every call, and
// nothing is called while the host has not written it.
#include "speed/ReferenceGauges.h"

#include "host/Services.h"
#include "platform/Platform.h"

ModuleImports ReferenceImports = {0x0F, nullptr, 0, nullptr};

namespace {

VariableRecord ReferenceAirspeed = {AirspeedVariableNumber, {}, 0.0, {}};
int32_t ReferenceSpeed = 100;

void LookUpAirspeed()
{
    HostServiceAddress* table = ReferenceImports.Services;
    if (table)
        reinterpret_cast<VariableService>(table[VariableLookup])(&ReferenceAirspeed);
}

} // namespace

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
