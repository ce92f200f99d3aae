// The gauge as the host sees it: the exported Linkage that lists the gauge
// header, and the seven gauge routines. The routines make no decisions; each hands the element
// tree to the matching host service, and install and kill also load and
// release the sounds and register and unregister the mouse areas.
#include "module/GaugeModule.h"

#include "hostcalls/HostCalls.h"
#include "panel/Panel.h"
#include "resources/GaugeName.h"
#include "sound/SoundObjects.h"

namespace {

void GAUGE_STDCALL ModuleInit(void)
{
}

void GAUGE_STDCALL ModuleDeinit(void)
{
}

void GAUGE_STDCALL QueryGauge(void)
{
    CallHost(ElementTreeQuery, Gauge.Elements[0]);
}

void GAUGE_STDCALL InstallGauge(uint32_t value)
{
    CallHost(ElementTreeInstall, &BackgroundElement.Header, value);
    // Without sound the gauge still installs and runs; the lamps still light.
    LoadSounds(SoundList);
    // The host fills this pointer during the element tree install above, so
    // it is read only now. Advanced as a number: it may still be null when a
    // host has not filled it, and the gauge only hands it on.
    uintptr_t filled = reinterpret_cast<uintptr_t>(BackgroundElement.HostFilled);
    CallHost(MouseAreasInstall, MouseAreas, &Gauge, reinterpret_cast<void*>(filled + 4));
    CallHost(MouseAreasRegister, MouseAreas, &Gauge);
}

void GAUGE_STDCALL InitializeGauge(void)
{
    CallHost(ElementTreeInitialize, &BackgroundElement.Header);
}

void GAUGE_STDCALL UpdateGauge(void)
{
    CallHost(ElementTreeUpdate, &BackgroundElement.Header);
}

void GAUGE_STDCALL GenerateGauge(uint32_t value)
{
    CallHost(ElementTreeGenerate, &BackgroundElement.Header, value);
}

void GAUGE_STDCALL DrawGauge(void)
{
    CallHost(ElementTreeDraw, &BackgroundElement.Header);
}

void GAUGE_STDCALL KillGauge(void)
{
    ReleaseSounds(SoundList);
    CallHost(MouseAreasUnregister, MouseAreas, &Gauge);
    CallHost(ElementTreeRelease, &BackgroundElement.Header);
}

} // namespace

GaugeHeader Gauge = {
    0x262,
    GaugeName,
    GaugeElements,
    QueryGauge,
    InstallGauge,
    InitializeGauge,
    UpdateGauge,
    GenerateGauge,
    DrawGauge,
    KillGauge,
    0,
    40,
    {},
};

// One of the module's two exports, with ImportTable (hostcalls/HostCalls.cpp):
// the DLL names it in Lumivane.def, the native shared object marks it
// LUMIVANE_EXPORT (cmake/LumivaneGauge.cmake).
extern "C" {

LUMIVANE_EXPORT ModuleLinkage Linkage = {
    0x13,
    ModuleInit,
    ModuleDeinit,
    {},
    {&Gauge, nullptr},
};

} // extern "C"
