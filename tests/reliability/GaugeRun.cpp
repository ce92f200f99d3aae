// The host of the whole-gauge runs. Records are read through the host's
// contract (host/Records.h) as the simulator reads them, starting from the
// gauge header; the gauge's own names are used only to find that header, the
// mouse area list it registers and the module's state that a fresh load of
// the module would reset.
#include "GaugeRun.h"

#include "callouts/Lamps.h"
#include "module/GaugeModule.h"
#include "panel/Panel.h"
#include "platform/SoftDirectSound.h"
#include "settings/Speeds.h"
#include "sound/SoundObjects.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

double HostAirspeed = 0.0;
int Calls[64];
// What entry 25 writes into the background's host-filled pointer.
uint8_t HostBlock[64];

void Count(HostService entry)
{
    ++Calls[entry];
}

void GAUGE_STDCALL Query(ElementHeader*) { Count(ElementTreeQuery); }
void GAUGE_STDCALL Initialize(ElementHeader*) { Count(ElementTreeInitialize); }
void GAUGE_STDCALL Update(ElementHeader*) { Count(ElementTreeUpdate); }
void GAUGE_STDCALL Draw(ElementHeader*) { Count(ElementTreeDraw); }
void GAUGE_STDCALL Release(ElementHeader*) { Count(ElementTreeRelease); }
void GAUGE_STDCALL Generate(ElementHeader*, uint32_t) { Count(ElementTreeGenerate); }
void GAUGE_STDCALL AreasRegister(MouseArea*, GaugeHeader*) { Count(MouseAreasRegister); }
void GAUGE_STDCALL AreasUnregister(MouseArea*, GaugeHeader*) { Count(MouseAreasUnregister); }
void GAUGE_STDCALL AreasInstall(MouseArea*, GaugeHeader*, void*) { Count(MouseAreasInstall); }

void GAUGE_STDCALL InstallTree(ElementHeader* element, uint32_t)
{
    Count(ElementTreeInstall);
    reinterpret_cast<StaticImageElement*>(element)->HostFilled = HostBlock;
}

void GAUGE_STDCALL LookUp(VariableRecord* variable)
{
    Count(VariableLookup);
    variable->Value = HostAirspeed;
}

template <typename Form>
HostServiceAddress Service(Form form)
{
    return reinterpret_cast<HostServiceAddress>(form);
}

ElementHeader* NextOf(ElementHeader* element)
{
    return element->Next ? element->Next[0] : nullptr;
}

} // namespace

GaugeRun::GaugeRun(bool writeServiceTable)
{
    memset(Calls, 0, sizeof Calls);
    memset(Text, 0, sizeof Text);
    for (HostServiceAddress& entry : services_)
        entry = nullptr;
    services_[ElementTreeQuery] = Service(Query);
    services_[ElementTreeInstall] = Service(InstallTree);
    services_[ElementTreeInitialize] = Service(Initialize);
    services_[ElementTreeUpdate] = Service(Update);
    services_[ElementTreeGenerate] = Service(Generate);
    services_[ElementTreeDraw] = Service(Draw);
    services_[ElementTreeRelease] = Service(Release);
    services_[MouseAreasInstall] = Service(AreasInstall);
    services_[MouseAreasRegister] = Service(AreasRegister);
    services_[MouseAreasUnregister] = Service(AreasUnregister);
    services_[VariableLookup] = Service(LookUp);
    ImportTable.Services = writeServiceTable ? services_ : nullptr;
    // The text buffer is the readout element's, found along the chain.
    for (ElementHeader* e = Linkage.Gauges[0]->Elements[0]; e; e = NextOf(e))
        if (e->Kind == TextStringKind)
            reinterpret_cast<TextElement*>(e)->TextBuffer = Text;
}

GaugeRun::~GaugeRun()
{
    ImportTable.Services = nullptr;
    for (ElementHeader* e = Linkage.Gauges[0]->Elements[0]; e; e = NextOf(e))
        if (e->Kind == TextStringKind)
            reinterpret_cast<TextElement*>(e)->TextBuffer = nullptr;
}

void GaugeRun::Install()
{
    Linkage.Gauges[0]->Install(0);
}

void GaugeRun::Kill()
{
    Linkage.Gauges[0]->Kill();
}

PanelView GaugeRun::Pass(double airspeed)
{
    HostAirspeed = airspeed;
    PanelView view = {};
    int lamp = 0;
    int mark = 0;
    for (ElementHeader* e = Linkage.Gauges[0]->Elements[0]; e; e = NextOf(e)) {
        if (e->Kind == IconKind) {
            IconElement* icon = reinterpret_cast<IconElement*>(e);
            // The lamps come first in the chain, then the marks.
            if (lamp < 3) {
                view.StageBefore[lamp] = CalloutStage;
                view.Lamps[lamp] = icon->Callback(e);
                view.StageAfter[lamp] = CalloutStage;
                ++lamp;
            } else if (mark < 3) {
                view.Marks[mark++] = icon->Callback(e);
            }
        } else if (e->Kind == TextStringKind) {
            TextElement* text = reinterpret_cast<TextElement*>(e);
            view.ReadoutResult = text->Callback(0.5);
            view.Readout.assign(Text, strnlen(Text, 4));
        }
    }
    if (SoundDevice)
        SoftDirectSoundAdvance(SoundDevice, SOFT_DIRECTSOUND_RATE / PassesPerSecond);
    return view;
}

AreaHandler GaugeRun::Press(int x, int y, int repeats)
{
    if (x < 0 || y < 0 || x >= Width || y >= Height)
        return nullptr;
    bool inGroup = false;
    for (MouseArea* area = MouseAreas; area->Type != AreaListEnd; ++area) {
        if (area->Type == AreaGroupStart) {
            inGroup = true;
            continue;
        }
        if (area->Type == AreaGroupEnd) {
            inGroup = false;
            continue;
        }
        if (!inGroup || !area->Handler || !(area->Events & LeftButtonDown))
            continue;
        if (x < area->X || y < area->Y || x >= area->X + area->Width || y >= area->Y + area->Height)
            continue;
        area->Handler(uint32_t(x) | uint32_t(y) << 16, LeftButtonDown);
        if (area->Events & RepeatWhileHeld)
            for (int i = 0; i < repeats; ++i)
                area->Handler(uint32_t(x) | uint32_t(y) << 16, LeftButtonDown | RepeatWhileHeld);
        return area->Handler;
    }
    return nullptr;
}

int GaugeRun::ServiceCalls(HostService entry) const
{
    return Calls[entry];
}

int GaugeRun::Bursts() const
{
    DWORD count = 0;
    const int16_t* track = SoundDevice ? SoftDirectSoundTrack(SoundDevice, &count) : nullptr;
    // Gaps shorter than 20 ms are inside one burst; the double beep's gap is
    // 85 ms, so it counts as two.
    const DWORD gap = SOFT_DIRECTSOUND_RATE / 50;
    int bursts = 0;
    DWORD last = 0;
    bool any = false;
    for (DWORD i = 0; i < count; ++i) {
        if (track[i] == 0)
            continue;
        if (!any || i - last > gap)
            ++bursts;
        any = true;
        last = i;
    }
    return bursts;
}

void GaugeRun::ClearTrack()
{
    if (SoundDevice)
        SoftDirectSoundClearTrack(SoundDevice);
}

bool SpeedsInOrder()
{
    return 0 <= Speed1 && Speed1 < Speed2 && Speed2 < Speed3 && Speed3 <= 200;
}

long RunLength(const char* variable, long bounded)
{
    const char* text = getenv(variable);
    long value = text ? strtol(text, nullptr, 10) : 0;
    return value > 0 ? value : bounded;
}

void Figure(const char* name, const std::string& text)
{
    printf("figure: %s %s\n", name, text.c_str());
    fflush(stdout);
}

void WholeGaugeTest::SetUp()
{
    SettingsTest::SetUp();
    SoftDirectSoundClearFaults();
    CalloutStage = 0;
    ASSERT_EQ(SoundDevice, nullptr);
    ASSERT_EQ(SoftDirectSoundLiveDevices(), 0) << "a device outlived the test before";
    ASSERT_EQ(SoftDirectSoundLiveBuffers(), 0) << "a buffer outlived the test before";
}

void WholeGaugeTest::StartFresh(const char* files)
{
    RemoveFiles();
    ResetModuleState();
    for (const char* f = files; *f; ++f)
        WriteFile(*f == '3' ? Speed3File : *f == '1' ? Speed1File : Speed2File,
                  *f == '3' ? "100" : *f == '1' ? "80" : "90");
    CalloutStage = 0;
    Airspeed.Value = 0.0;
}

void WholeGaugeTest::TearDown()
{
    SoftDirectSoundClearFaults();
    EXPECT_EQ(SoundDevice, nullptr) << "the test ended with the gauge installed";
    ReleaseSounds(SoundList);
    EXPECT_EQ(SoftDirectSoundLiveDevices(), 0) << "a device was leaked";
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0) << "a buffer was leaked";
    SettingsTest::TearDown();
}

std::vector<double> Ramp(double from, double to, double perSecond)
{
    int steps = int(lround(fabs(to - from) / perSecond * GaugeRun::PassesPerSecond));
    if (steps < 1)
        steps = 1;
    std::vector<double> airspeeds;
    for (int i = 0; i <= steps; ++i)
        airspeeds.push_back(from + (to - from) * i / steps);
    return airspeeds;
}
