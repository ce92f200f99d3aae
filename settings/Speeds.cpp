// Adjusting and selecting the call-out speeds. Each adjust is one step of 1,
// held by a fixed bound and then by the neighbouring speed, and saved at once,
// even when the step was blocked. The neighbour rule is tested last so that it
// wins when speeds loaded from the settings files are out of order.
#include "settings/Speeds.h"

#include "settings/SettingsFiles.h"

int32_t Speed1 = 80;
int32_t Speed2 = 90;
int32_t Speed3 = 100;
int32_t SelectedSpeed = 2;

namespace {

// One speed with its fixed bounds and its neighbours (null where it has none).
struct SpeedRules {
    int32_t* Speed;
    int32_t Floor;
    int32_t Ceiling;
    const int32_t* Lower;
    const int32_t* Upper;
};

// By selection number.
const SpeedRules Rules[3] = {
    {&Speed1, 0, 198, nullptr, &Speed2},
    {&Speed2, 1, 199, &Speed1, &Speed3},
    {&Speed3, 2, 200, &Speed2, nullptr},
};

// The handlers never come near the 32-bit limits, but a settings file can put
// a speed there; one step further then stays at the limit instead of wrapping.
int32_t Above(int32_t value)
{
    return value == INT32_MAX ? value : value + 1;
}

int32_t Below(int32_t value)
{
    return value == INT32_MIN ? value : value - 1;
}

const SpeedRules& Selected()
{
    // SelectedSpeed is only ever written with 0, 1 or 2.
    return Rules[SelectedSpeed == 0 ? 0 : SelectedSpeed == 1 ? 1 : 2];
}

double ShownWhenSelected(int32_t selection)
{
    return SelectedSpeed == selection ? 0.0 : -1.0;
}

} // namespace

int32_t* SelectedSpeedValue(void)
{
    return Selected().Speed;
}

// A decrease looks only at the lower neighbour, an increase only at the upper.
// The fixed bound is applied first, so the neighbour decides when both apply.
int32_t GAUGE_STDCALL SpeedDownHandler(uint32_t, uint32_t)
{
    const SpeedRules& rules = Selected();
    int32_t speed = Below(*rules.Speed);
    if (speed < rules.Floor)
        speed = rules.Floor;
    if (rules.Lower && speed <= *rules.Lower)
        speed = Above(*rules.Lower);
    *rules.Speed = speed;
    SaveSpeed(rules.Speed);
    return 1;
}

int32_t GAUGE_STDCALL SpeedUpHandler(uint32_t, uint32_t)
{
    const SpeedRules& rules = Selected();
    int32_t speed = Above(*rules.Speed);
    if (speed > rules.Ceiling)
        speed = rules.Ceiling;
    if (rules.Upper && speed >= *rules.Upper)
        speed = Below(*rules.Upper);
    *rules.Speed = speed;
    SaveSpeed(rules.Speed);
    return 1;
}
int32_t GAUGE_STDCALL SelectSpeed1Handler(uint32_t, uint32_t)
{
    SelectedSpeed = 0;
    return 1;
}

int32_t GAUGE_STDCALL SelectSpeed2Handler(uint32_t, uint32_t)
{
    SelectedSpeed = 1;
    return 1;
}

int32_t GAUGE_STDCALL SelectSpeed3Handler(uint32_t, uint32_t)
{
    SelectedSpeed = 2;
    return 1;
}

double GAUGE_STDCALL Speed1MarkCallback(void*)
{
    return ShownWhenSelected(0);
}

double GAUGE_STDCALL Speed2MarkCallback(void*)
{
    return ShownWhenSelected(1);
}

double GAUGE_STDCALL Speed3MarkCallback(void*)
{
    return ShownWhenSelected(2);
}
