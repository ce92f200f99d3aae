// The wall clock decides only when a line is drawn, never what the run does.
// Whether stderr is a terminal is the platform's to say (ProgressNative.cpp,
// ProgressWindows.cpp).
#include "bench/flying/Progress.h"

#include <stdio.h>

void Progress::Start(double end)
{
    end_ = end;
    started_ = Clock::now();
    terminal_ = ErrorsGoToTerminal();
}

void Progress::Show(double now, uint64_t pass, bool last)
{
    Clock::time_point wall = Clock::now();
    if (!shown_ && !last && wall - started_ < std::chrono::seconds(2))
        return;
    if (!last && shown_ && wall - lastShown_ < std::chrono::milliseconds(100))
        return;
    if (last && !shown_)
        return;
    double fraction = end_ > 0 ? now / end_ : 1;
    if (fraction > 1)
        fraction = 1;
    const int quarter = last ? 4 : int(fraction * 4);
    if (!terminal_ && (quarter == 0 || quarter <= quartersShown_))
        return;
    quartersShown_ = quarter;
    lastShown_ = wall;
    shown_ = true;
    char bar[31];
    int filled = int(fraction * 30);
    for (int i = 0; i < 30; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[30] = 0;
    fprintf(stderr, "%s[%s] %3d%%  %.1f s of %.1f s, pass %llu", terminal_ ? "\r" : "", bar, int(fraction * 100),
        now, end_, static_cast<unsigned long long>(pass));
    if (last || !terminal_)
        fputc('\n', stderr);
    fflush(stderr);
}
