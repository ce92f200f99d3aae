// What a run amounts to once it is over: its passes, the call-outs started,
// the sound file and what it holds, and every fault, as the bench prints it
// at the end of a run and as tests read it.
#ifndef LUMIVANE_BENCH_FLYING_RUNSUMMARY_H
#define LUMIVANE_BENCH_FLYING_RUNSUMMARY_H

#include <stdint.h>

#include <string>
#include <vector>

struct HeardCallout {
    double Time;
    const char* Clip;
};

struct RunSummary {
    uint64_t Passes = 0;
    std::vector<HeardCallout> Plays; // every play started, in order
    int Bursts = -1;                 // bursts of sound in sound.wav; -1 when none was written
    std::string SoundFile;
    std::string SoundNote;           // why sound.wav is missing or what it holds
    std::vector<std::string> Faults; // stack, service and sandbox faults
    bool StackMeasured = false;
};

// The summary as the bench prints it.
std::string DescribeSummary(const RunSummary& summary);

#endif
