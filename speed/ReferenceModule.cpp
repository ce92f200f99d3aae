// The null or the minimal gauge as a gauge module of its own (NullGauge.gau,
// MinimalGauge.gau), for a host that measures Lumivane.gau beside them under
// the same loader: the exported Linkage and ImportTable, one gauge header,
// and an element chain of Lumivane's shape, a background, three lamps, three
// marks and a readout, whose seven callbacks have the same forms. They carry
// no bitmaps, sounds or mouse areas; their routines only hand the background
// to the host's services, as Lumivane's do. Which readout the module has is
// chosen when it is compiled (LUMIVANE_REFERENCE_MINIMAL).
#include "speed/ReferenceGauges.h"

#include "host/Services.h"
#include "platform/Platform.h"

#ifdef LUMIVANE_REFERENCE_MINIMAL
#define REFERENCE_NAME "MinimalGauge.gau"
#define REFERENCE_READOUT MinimalReadout
#else
#define REFERENCE_NAME "NullGauge.gau"
#define REFERENCE_READOUT NullReadout
#endif

extern GaugeHeader ReferenceGauge;
extern StaticImageElement ReferenceBackground;
extern IconElement ReferenceIcons[6];

namespace {

// Each next list holds exactly one element, as Lumivane's do.
ElementHeader* BackgroundNext[] = {&ReferenceIcons[0].Header, nullptr};
ElementHeader* IconNext[6][2] = {
    {&ReferenceIcons[1].Header, nullptr}, {&ReferenceIcons[2].Header, nullptr},
    {&ReferenceIcons[3].Header, nullptr}, {&ReferenceIcons[4].Header, nullptr},
    {&ReferenceIcons[5].Header, nullptr}, {&ReferenceReadout.Header, nullptr},
};
ElementList Elements = {&ReferenceBackground.Header, nullptr};

constexpr IconElement Icon(ElementHeader** next, IconCallback callback)
{
    return IconElement{
        {IconKind, -1, 0, 0, {}, &ReferenceGauge, nullptr, next, nullptr, HostDisplayFlag, {}},
        {5, {}},
        callback,
        {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0},
    };
}

void CallHost(HostService entry)
{
    HostServiceAddress* table = ReferenceImports.Services;
    if (table)
        reinterpret_cast<ElementService>(table[entry])(&ReferenceBackground.Header);
}

void CallHost(HostService entry, uint32_t value)
{
    HostServiceAddress* table = ReferenceImports.Services;
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

} // namespace

StaticImageElement ReferenceBackground = {
    {StaticImageKind, -1, 0, 0, {}, &ReferenceGauge, nullptr, BackgroundNext, nullptr, HostDisplayFlag, {}},
    nullptr,
    {},
};

IconElement ReferenceIcons[6] = {
    Icon(IconNext[0], NullLamp), Icon(IconNext[1], NullLamp), Icon(IconNext[2], NullLamp),
    Icon(IconNext[3], NullMark), Icon(IconNext[4], NullMark), Icon(IconNext[5], NullMark),
};

TextElement ReferenceReadout = {
    {TextStringKind, -1, 25, 35, {}, &ReferenceGauge, nullptr, nullptr, nullptr, HostDisplayFlag, {}},
    {{1, {}}, {0, {}}, {0, {}}},
    {},
    REFERENCE_READOUT,
    nullptr,
    0,
    62,
    25,
    {},
    0xEFEFEF,
    0,
    0,
    {},
    "Courier New",
    400,
    1,
    0x25,
    3,
    {},
};

GaugeHeader ReferenceGauge = {
    0x262, REFERENCE_NAME, Elements, Query, Install, Initialize, Update, Generate, Draw, Kill, 0, 40, {},
};

extern "C" {

// Exported by name through ReferenceModule.def, ImportTable being
// ReferenceImports (speed/ReferenceCallbacks.cpp).
ModuleLinkage Linkage = {0x13, Nothing, Nothing, {}, {&ReferenceGauge, nullptr}};

// The entry point itself: no start files, nothing to set up.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

} // extern "C"
