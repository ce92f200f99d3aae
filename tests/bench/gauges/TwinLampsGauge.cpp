// TwinLamps.gau: a gauge module of the bench's tests that is not Lumivane. A
// background, two lamps and a text element that shows the airspeed in whole
// knots; no mouse areas, no sound, no files. The bench must host it, fly it
// and record it through the host's contract alone, as it does Lumivane, so
// that nothing of Lumivane's panel hides in the host. Built as the gauge is:
// plain records, callee-cleans routines, no start files and no runtime DLL.
#include "tests/bench/gauges/TestGauge.h"

extern "C" {
TEST_GAUGE_EXPORT extern ModuleLinkage Linkage;
TEST_GAUGE_EXPORT extern ModuleImports ImportTable;
}

namespace {

extern StaticImageElement Background;
extern IconElement Lamps[2];
extern TextElement Airspeed;
extern GaugeHeader Gauge;

// Lamp 1 lights from 50 knots, lamp 2 from 100, with no upper limit.
constexpr double LampFrom[2] = {50, 100};

// Beyond this airspeed (one a scenario may give, and no aircraft flies)
// lamp 2 also calls a service entry no host serves, once a pass.
constexpr double StrayFrom = 900000;
constexpr uint32_t StrayEntry = 30;

VariableRecord AirspeedVariable = {AirspeedVariableNumber, {}, 0.0, {}};

double CurrentAirspeed()
{
    if (VariableService lookUp = HostEntry<VariableService>(ImportTable, VariableLookup))
        lookUp(&AirspeedVariable);
    return AirspeedVariable.Value;
}

double GAUGE_STDCALL Lamp1(void*)
{
    return CurrentAirspeed() >= LampFrom[0] ? 0.0 : -1.0;
}

double GAUGE_STDCALL Lamp2(void*)
{
    const double v = CurrentAirspeed();
    HostServiceAddress* table = ImportTable.Services;
    if (v >= StrayFrom && table)
        table[StrayEntry]();
    return v >= LampFrom[1] ? 0.0 : -1.0;
}

// The airspeed as three characters, right-aligned, held between 0 and 999:
// formatted by hand, since the module carries no C library of its own.
double GAUGE_STDCALL ShowAirspeed(double value)
{
    char* text = Airspeed.TextBuffer;
    if (!text)
        return value;
    const double v = CurrentAirspeed();
    int knots = !(v > 0) ? 0 : v >= 999 ? 999 : int(v);
    for (int i = 2; i >= 0; --i) {
        text[i] = i == 2 || knots ? char('0' + knots % 10) : ' ';
        knots /= 10;
    }
    text[3] = 0;
    return value;
}

void CallElementService(HostService entry)
{
    if (ElementService service = HostEntry<ElementService>(ImportTable, entry))
        service(&Background.Header);
}

void GAUGE_STDCALL Query(void)
{
    CallElementService(ElementTreeQuery);
}

void GAUGE_STDCALL Install(uint32_t value)
{
    if (ElementValueService service = HostEntry<ElementValueService>(ImportTable, ElementTreeInstall))
        service(&Background.Header, value);
}

void GAUGE_STDCALL Initialize(void)
{
    CallElementService(ElementTreeInitialize);
}

void GAUGE_STDCALL Update(void)
{
    CallElementService(ElementTreeUpdate);
}

void GAUGE_STDCALL Generate(uint32_t value)
{
    if (ElementValueService service = HostEntry<ElementValueService>(ImportTable, ElementTreeGenerate))
        service(&Background.Header, value);
}

void GAUGE_STDCALL Draw(void)
{
    CallElementService(ElementTreeDraw);
}

void GAUGE_STDCALL Kill(void)
{
    CallElementService(ElementTreeRelease);
}

ElementHeader* BackgroundNext[] = {&Lamps[0].Header, nullptr};
ElementHeader* LampNext[2][2] = {{&Lamps[1].Header, nullptr}, {&Airspeed.Header, nullptr}};
ElementList Elements = {&Background.Header, nullptr};
FailureRecord Failures[] = {{2, 0}, {0, 0}, {0, 0}};

StaticImageElement Background = BackgroundRecord(&Gauge, BackgroundNext);

IconElement Lamps[2] = {
    IconRecord(&Gauge, 8192, 22, 7, LampNext[0], Failures, Lamp1),
    IconRecord(&Gauge, 8195, 47, 7, LampNext[1], Failures, Lamp2),
};

TextElement Airspeed = ReadoutRecord(&Gauge, ShowAirspeed);

GaugeHeader Gauge = {0x262, "TwinLamps.gau", Elements, Query, Install, Initialize, Update, Generate, Draw, Kill,
    0, 40, {}};

} // namespace

TEST_GAUGE_MODULE(Gauge)
