// The progress line of a long run on stderr: a bar, the share done, the run's
// time and the pass. In a terminal it is redrawn in place at most ten times a
// second; into a log it is printed once at each quarter of the run, so that a
// log is never hundreds of lines of bars. Runs shorter than a moment get none.
#ifndef LUMIVANE_BENCH_FLYING_PROGRESS_H
#define LUMIVANE_BENCH_FLYING_PROGRESS_H

#include <stdint.h>

#include <chrono>

// Whether stderr goes to a terminal, where a line can be redrawn in place.
bool ErrorsGoToTerminal();

class Progress {
public:
    // `end`: the run's length in seconds.
    void Start(double end);
    // At run time `now` and pass `pass`; `last` at the end of the run.
    void Show(double now, uint64_t pass, bool last);

private:
    using Clock = std::chrono::steady_clock;
    double end_ = 0;
    Clock::time_point started_, lastShown_;
    bool shown_ = false;
    bool terminal_ = true;
    int quartersShown_ = 0;
};

#endif
