// A press held on the panel, as the host repeats it: the area's handler runs
// at the press, then, where the area asks for repeats, RepeatDelay after it
// and every RepeatPeriod from then on, checked at each pass, until the button
// is released. A scenario's `hold` and a window's held button are both this.
#ifndef LUMIVANE_BENCH_FLYING_HELDPRESS_H
#define LUMIVANE_BENCH_FLYING_HELDPRESS_H

#include "bench/hosting/GaugeHost.h"

#include <functional>

constexpr double RepeatDelay = 0.4;
constexpr double RepeatPeriod = 0.1;

class HeldPress {
public:
    // Runs a handler for the area under the press: the pass loop's, so that
    // the run's record sees every handler that ran.
    using RunHandler = std::function<void(MouseArea* area, int x, int y)>;
    // The area a press at x, y with this button lands in, or null: the
    // host's own lookup (GaugeHost::AreaAt).
    using AreaLookup = std::function<MouseArea*(int x, int y, Button which)>;

    // Down at `now` until `until` (infinite for a driver's hold).
    void Start(int x, int y, Button which, double now, double until);
    void Release() { down_ = false; }
    bool Down() const { return down_; }

    // Runs every repeat due by `now` through `run`, the area looked up again
    // each time: the pointer may lie over another area after an install.
    void Repeat(double now, const AreaLookup& areaAt, const RunHandler& run);

private:
    bool down_ = false;
    int x_ = 0, y_ = 0;
    Button which_ = Button::Left;
    double start_ = 0, until_ = 0;
    int repeats_ = 0; // run so far
};

#endif
