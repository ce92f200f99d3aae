// Repeat times are counted from the press, not summed period by period, so
// that a release at a whole number of periods is never overtaken by rounding.
#include "bench/flying/HeldPress.h"

namespace {

const double Tolerance = 1e-9;

} // namespace

void HeldPress::Start(int x, int y, Button which, double now, double until)
{
    down_ = true;
    x_ = x;
    y_ = y;
    which_ = which;
    start_ = now;
    until_ = until;
    repeats_ = 0;
}

void HeldPress::Repeat(double now, const AreaLookup& areaAt, const RunHandler& run)
{
    if (!down_)
        return;
    for (;;) {
        double at = start_ + RepeatDelay + RepeatPeriod * repeats_;
        if (at > now + Tolerance || at >= until_ - Tolerance)
            break;
        MouseArea* area = areaAt(x_, y_, which_);
        if (area && (area->Events & RepeatWhileHeld))
            run(area, x_, y_);
        ++repeats_;
    }
    if (now + Tolerance >= until_)
        down_ = false;
}
