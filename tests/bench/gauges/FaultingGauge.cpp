// Faulting.gau: a gauge module of the bench's tests that crashes where a
// scenario asks it to, so that the bench is shown to name the routine,
// element or handler a module crashed in, and when, instead of crashing with
// it. A background, a lamp lit from 50 knots, a text element and one mouse
// area over the whole panel. The airspeed a pass is flown at picks the fault:
//   1000  the lamp's callback writes through a null pointer
//   2000  the lamp's callback divides an integer by zero
//   3000  the lamp's callback calls a null routine (the fault is then at
//         address 0, outside any module)
//   4000  the text callback reads through a null pointer
//   5000  the update routine writes through a null pointer
//   6000  the kill routine will, when the gauge is killed
//   7000  the text element names a callback that leaves its argument on
//         the stack (built caller-cleans), for the pass
//   8000  the text element names one that takes a word more off the stack
//         than it was given, for the pass
// and a press on the panel makes the area's handler write through a null
// pointer. Built as the gauge is, with no start files and no runtime DLL.
#include "tests/bench/gauges/TestGauge.h"

extern "C" {
TEST_GAUGE_EXPORT extern ModuleLinkage Linkage;
TEST_GAUGE_EXPORT extern ModuleImports ImportTable;
}

namespace {

extern StaticImageElement Background;
extern IconElement Lamp;
extern TextElement Shown;
extern GaugeHeader Gauge;

// Read through volatile pointers, so that the compiler keeps every fault
// where it is written, as a real module's slip would be.
int* volatile Nowhere = nullptr;
volatile int Zero = 0;
void (*volatile NoRoutine)(void) = nullptr;

// The caller-cleans convention, which a text callback built wrongly has; a
// 64-bit build has one convention only.
#if defined(_WIN32) && !defined(_WIN64)
#define CALLER_CLEANS __cdecl
#else
#define CALLER_CLEANS
#endif

VariableRecord AirspeedVariable = {AirspeedVariableNumber, {}, 0.0, {}};
bool KillFaults = false;

double GAUGE_STDCALL ShowLetter(double value);
double CALLER_CLEANS LeavesItsArgument(double value);
double GAUGE_STDCALL TakesAWordMore(double value, uint32_t);

// A routine of another form in the text element's record, where the host
// takes it for a text callback. The cast goes through void (*)(), the one
// type a function may be cast from without a warning.
template <typename Routine>
TextCallback AsTextCallback(Routine routine)
{
    return reinterpret_cast<TextCallback>(reinterpret_cast<void (*)()>(routine));
}

double CurrentAirspeed()
{
    HostServiceAddress* table = ImportTable.Services;
    if (table)
        reinterpret_cast<VariableService>(table[VariableLookup])(&AirspeedVariable);
    return AirspeedVariable.Value;
}

double GAUGE_STDCALL LampCallback(void*)
{
    const double v = CurrentAirspeed();
    if (v == 1000)
        *Nowhere = 1;
    if (v == 2000)
        return double(1000 / Zero);
    if (v == 3000)
        NoRoutine();
    KillFaults = v == 6000;
    // The text element is evaluated after the lamp, in the same pass.
    Shown.Callback = v == 7000 ? AsTextCallback(&LeavesItsArgument)
        : v == 8000            ? AsTextCallback(&TakesAWordMore)
                               : &ShowLetter;
    return v >= 50 ? 0.0 : -1.0;
}

double GAUGE_STDCALL ShowLetter(double value)
{
    if (CurrentAirspeed() == 4000)
        return double(*Nowhere);
    if (Shown.TextBuffer) {
        Shown.TextBuffer[0] = 'F';
        Shown.TextBuffer[1] = 0;
    }
    return value;
}

// The text callbacks a wrongly built gauge names: one leaves the 8 bytes of
// its argument behind, the other removes 12.
double CALLER_CLEANS LeavesItsArgument(double value)
{
    return ShowLetter(value);
}

double GAUGE_STDCALL TakesAWordMore(double value, uint32_t)
{
    return ShowLetter(value);
}

int32_t GAUGE_STDCALL PanelPressed(uint32_t, uint32_t)
{
    *Nowhere = 2;
    return 1;
}

MouseArea Areas[] = {
    {AreaGroupStart, 0, 0, 0, 0, NoCursor, 0, 0, 0, nullptr, 0},
    {AreaInGroup, 0, 0, 100, 70, HandCursor, 0, LeftButtonDown, 0, PanelPressed, 0},
    {AreaListEnd, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
};

void GAUGE_STDCALL Query(void)
{
    if (ElementService service = HostEntry<ElementService>(ImportTable, ElementTreeQuery))
        service(&Background.Header);
}

void GAUGE_STDCALL Install(uint32_t value)
{
    if (ElementValueService service = HostEntry<ElementValueService>(ImportTable, ElementTreeInstall))
        service(&Background.Header, value);
    if (AreaInstallService service = HostEntry<AreaInstallService>(ImportTable, MouseAreasInstall))
        service(Areas, &Gauge, nullptr);
    if (AreaService service = HostEntry<AreaService>(ImportTable, MouseAreasRegister))
        service(Areas, &Gauge);
}

void GAUGE_STDCALL Update(void)
{
    if (CurrentAirspeed() == 5000)
        *Nowhere = 3;
}

void GAUGE_STDCALL Generate(uint32_t)
{
}

void GAUGE_STDCALL Kill(void)
{
    if (KillFaults)
        *Nowhere = 4;
    if (AreaService service = HostEntry<AreaService>(ImportTable, MouseAreasUnregister))
        service(Areas, &Gauge);
    if (ElementService service = HostEntry<ElementService>(ImportTable, ElementTreeRelease))
        service(&Background.Header);
}

ElementHeader* BackgroundNext[] = {&Lamp.Header, nullptr};
ElementHeader* LampNext[] = {&Shown.Header, nullptr};
ElementList Elements = {&Background.Header, nullptr};
FailureRecord Failures[] = {{2, 0}, {0, 0}, {0, 0}};

StaticImageElement Background = BackgroundRecord(&Gauge, BackgroundNext);

IconElement Lamp = IconRecord(&Gauge, 8192, 22, 7, LampNext, Failures, LampCallback);

TextElement Shown = ReadoutRecord(&Gauge, ShowLetter, ChangingLook, 1);

GaugeHeader Gauge = {0x262, "Faulting.gau", Elements, Query, Install, TestGaugeNothing, Update, Generate,
    TestGaugeNothing, Kill, 0, 40, {}};

} // namespace

TEST_GAUGE_MODULE(Gauge)
