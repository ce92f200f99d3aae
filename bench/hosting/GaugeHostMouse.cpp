// The host's side of the mouse: which registered area a press lands in, its
// handler run as the host runs it (the point and event bits handed on, the
// stack balance measured, a result other than 1 said), a held press's
// repeats, and the cursor a pointer shows. Only areas of the registered
// group answer, and only inside the gauge's own size (its background's).
#include "bench/hosting/GaugeHost.h"

#include "bench/hosting/GaugeCalls.h"
#include "bench/hosting/GaugeFaults.h"

MouseArea* GaugeHost::AreaAt(int x, int y, Button button) const
{
    if (!mouseAreas_ || button != Button::Left)
        return nullptr;
    // The group start record's empty box stands for the whole gauge.
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return nullptr;
    for (MouseArea* area = mouseAreas_; area->Type != AreaListEnd && area - mouseAreas_ < 256; ++area) {
        if (area->Type != AreaInGroup || !(area->Events & LeftButtonDown) || !area->Handler)
            continue;
        if (x >= area->X && x < area->X + area->Width && y >= area->Y && y < area->Y + area->Height)
            return area;
    }
    return nullptr;
}

int GaugeHost::AreaNumber(const MouseArea* area) const
{
    return mouseAreas_ && area ? int(area - mouseAreas_) : -1;
}

void GaugeHost::RunHandler(MouseArea* area, int x, int y)
{
    if (faulted_)
        return;
    int32_t result = 0;
    // What the host passes is its own: the point, and the event bits.
    uint32_t point = uint32_t(x & 0xFFFF) | uint32_t(y & 0xFFFF) << 16;
    const int32_t drift = CallAreaHandler(area->Handler, point, area->Events, &result);
    std::string what;
    if (TakeGaugeFault(&what)) {
        Faulted("area handler " + std::to_string(AreaNumber(area)), what);
        return;
    }
    Measure("area handler", drift);
    if (result != 1)
        stackFaults_.push_back("area handler " + std::to_string(AreaNumber(area)) + " returned " +
                               std::to_string(result));
}

bool GaugeHost::Press(int x, int y, bool left, int repeats)
{
    MouseArea* area = AreaAt(x, y, left ? Button::Left : Button::Right);
    if (!area)
        return false;
    if (!(area->Events & RepeatWhileHeld))
        repeats = 0;
    for (int i = 0; i <= repeats; ++i)
        RunHandler(area, x, y);
    return true;
}

int32_t GaugeHost::CursorCodeAt(int x, int y) const
{
    const MouseArea* areas = mouseAreas_;
    if (!areas)
        return NoCursor;
    int32_t code = areas[0].Type == AreaGroupStart ? areas[0].Cursor : NoCursor;
    for (const MouseArea* area = areas; area->Type != AreaListEnd && area - areas < 256; ++area)
        if (area->Type == AreaInGroup && x >= area->X && x < area->X + area->Width && y >= area->Y &&
            y < area->Y + area->Height)
            return area->Cursor;
    return code;
}
