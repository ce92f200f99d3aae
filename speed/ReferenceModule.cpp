// The null or the minimal gauge as a gauge module (speed/ReferenceGauges.h):
// the exported Linkage and ImportTable, one gauge header, and an element
// chain of Lumivane's shape, a background, three lamps, three marks and a
// readout, whose seven callbacks have the same forms; the icons and the
// readout are Lumivane's own records (panel/PanelRecords.h). They carry no
// bitmaps, sounds or mouse areas; their routines only hand the background to the
// host's services, as Lumivane's do, and their callbacks reach the host the
// way Lumivane's do: through the ImportTable, read afresh at every call, and
// nothing is called while the host has not written it. Which readout the
// module has is chosen when it is compiled (LUMIVANE_REFERENCE_MINIMAL), and
// so are its exports' names (LUMIVANE_REFERENCE_LINKAGE and
// LUMIVANE_REFERENCE_IMPORTS); everything else is the module's own, so that
// two copies live in one program.
#include "speed/ReferenceGauges.h"

#include "host/Services.h"
#include "panel/PanelRecords.h"
#include "platform/Platform.h"

#ifdef LUMIVANE_REFERENCE_MINIMAL
#define REFERENCE_NAME MINIMAL_GAUGE_NAME
#else
#define REFERENCE_NAME NULL_GAUGE_NAME
#endif

extern "C" {

// The host writes its service table here.
ModuleImports LUMIVANE_REFERENCE_IMPORTS = {0x0F, nullptr, 0, nullptr};

} // extern "C"

namespace {

extern GaugeHeader ReferenceGauge;
extern StaticImageElement ReferenceBackground;
extern IconElement ReferenceIcons[6];
extern TextElement ReferenceReadout;

VariableRecord ReferenceAirspeed = {AirspeedVariableNumber, {}, 0.0, {}};

void LookUpAirspeed()
{
    HostServiceAddress* table = LUMIVANE_REFERENCE_IMPORTS.Services;
    if (table)
        reinterpret_cast<VariableService>(table[VariableLookup])(&ReferenceAirspeed);
}

// Each lamp asks for the airspeed through entry 40, as Lumivane's do, and
// answers -1.0; each mark answers -1.0.
double GAUGE_STDCALL NullLamp(void*)
{
    LookUpAirspeed();
    return -1.0;
}

double GAUGE_STDCALL NullMark(void*)
{
    return -1.0;
}

#ifdef LUMIVANE_REFERENCE_MINIMAL
int32_t ReferenceSpeed = 100;

// The minimal gauge's readout writes one number with wsprintfA "%3d" into
// the readout's buffer and hands the host's value back.
double GAUGE_STDCALL ReadoutCallback(double value)
{
    char* text = ReferenceReadout.TextBuffer;
    if (text)
        wsprintfA(text, "%3d", ReferenceSpeed);
    return value;
}
#else
// The null gauge's readout hands the host's value back.
double GAUGE_STDCALL ReadoutCallback(double value)
{
    return value;
}
#endif

// Each next list holds exactly one element, as Lumivane's do.
ElementHeader* BackgroundNext[] = {&ReferenceIcons[0].Header, nullptr};
ElementHeader* IconNext[6][2] = {
    {&ReferenceIcons[1].Header, nullptr}, {&ReferenceIcons[2].Header, nullptr},
    {&ReferenceIcons[3].Header, nullptr}, {&ReferenceIcons[4].Header, nullptr},
    {&ReferenceIcons[5].Header, nullptr}, {&ReferenceReadout.Header, nullptr},
};
ElementList Elements = {&ReferenceBackground.Header, nullptr};

// Lumivane's icons (panel/PanelRecords.h) with no bitmap at the origin,
// drawn plainly, with no failure list.
constexpr IconElement Icon(ElementHeader** next, IconCallback callback)
{
    return IconRecord(&ReferenceGauge, -1, 0, 0, next, nullptr, callback, HostDisplayFlag);
}

void CallHost(HostService entry)
{
    HostServiceAddress* table = LUMIVANE_REFERENCE_IMPORTS.Services;
    if (table)
        reinterpret_cast<ElementService>(table[entry])(&ReferenceBackground.Header);
}

void CallHost(HostService entry, uint32_t value)
{
    HostServiceAddress* table = LUMIVANE_REFERENCE_IMPORTS.Services;
    if (table)
        reinterpret_cast<ElementValueService>(table[entry])(&ReferenceBackground.Header, value);
}

void GAUGE_STDCALL Nothing(void)
{
}

void GAUGE_STDCALL Query(void)
{
    CallHost(ElementTreeQuery);
}

void GAUGE_STDCALL Install(uint32_t value)
{
    CallHost(ElementTreeInstall, value);
}

void GAUGE_STDCALL Initialize(void)
{
    CallHost(ElementTreeInitialize);
}

void GAUGE_STDCALL Update(void)
{
    CallHost(ElementTreeUpdate);
}

void GAUGE_STDCALL Generate(uint32_t value)
{
    CallHost(ElementTreeGenerate, value);
}

void GAUGE_STDCALL Draw(void)
{
    CallHost(ElementTreeDraw);
}

void GAUGE_STDCALL Kill(void)
{
    CallHost(ElementTreeRelease);
}

StaticImageElement ReferenceBackground = BackgroundRecord(&ReferenceGauge, BackgroundNext, -1, HostDisplayFlag);

IconElement ReferenceIcons[6] = {
    Icon(IconNext[0], NullLamp), Icon(IconNext[1], NullLamp), Icon(IconNext[2], NullLamp),
    Icon(IconNext[3], NullMark), Icon(IconNext[4], NullMark), Icon(IconNext[5], NullMark),
};

TextElement ReferenceReadout = ReadoutRecord(&ReferenceGauge, ReadoutCallback, HostDisplayFlag);

GaugeHeader ReferenceGauge = {
    0x262, REFERENCE_NAME, Elements, Query, Install, Initialize, Update, Generate, Draw, Kill, 0, 40, {},
};

} // namespace

extern "C" {

ModuleLinkage LUMIVANE_REFERENCE_LINKAGE = {0x13, Nothing, Nothing, {}, {&ReferenceGauge, nullptr}};

} // extern "C"
