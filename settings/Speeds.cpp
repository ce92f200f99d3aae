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

double ShownWhenSelected(int32_t selection)
{
    return SelectedSpeed == selection ? 0.0 : -1.0;
}

} // namespace

int32_t* SelectedSpeedValue(void)
{
    switch (SelectedSpeed) {
    case 0:
        return &Speed1;
    case 1:
        return &Speed2;
    default:
        return &Speed3;
    }
}

int32_t GAUGE_STDCALL SpeedDownHandler(uint32_t, uint32_t)
{
    switch (SelectedSpeed) {
    case 0:
        Speed1 = Below(Speed1);
        if (Speed1 < 0)
            Speed1 = 0;
        SaveSpeed(0);
        break;
    case 1:
        Speed2 = Below(Speed2);
        if (Speed2 < 1)
            Speed2 = 1;
        if (Speed2 <= Speed1)
            Speed2 = Above(Speed1);
        SaveSpeed(1);
        break;
    case 2:
        Speed3 = Below(Speed3);
        if (Speed3 < 2)
            Speed3 = 2;
        if (Speed3 <= Speed2)
            Speed3 = Above(Speed2);
        SaveSpeed(2);
        break;
    }
    return 1;
}

int32_t GAUGE_STDCALL SpeedUpHandler(uint32_t, uint32_t)
{
    switch (SelectedSpeed) {
    case 0:
        Speed1 = Above(Speed1);
        if (Speed1 > 198)
            Speed1 = 198;
        if (Speed1 >= Speed2)
            Speed1 = Below(Speed2);
        SaveSpeed(0);
        break;
    case 1:
        Speed2 = Above(Speed2);
        if (Speed2 > 199)
            Speed2 = 199;
        if (Speed2 >= Speed3)
            Speed2 = Below(Speed3);
        SaveSpeed(1);
        break;
    case 2:
        Speed3 = Above(Speed3);
        if (Speed3 > 200)
            Speed3 = 200;
        SaveSpeed(2);
        break;
    }
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
