// What a run amounts to once it is over: its passes, the call-outs started,
// the sound file and what it holds, every fault, and the module's crash that
// ended it early, if one did, as the bench prints it at the end of a run and
// as tests read it. However long the run and however faulty its module, the
// summary stays small: faults beyond the first few hundred are only counted.
#ifndef LUMIVANE_BENCH_FLYING_RUNSUMMARY_H
#define LUMIVANE_BENCH_FLYING_RUNSUMMARY_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

struct HeardCallout {
    double Time;
    const char* Clip;
};

// One kind of fault (its text) and how often it came.
struct FaultKind {
    std::string Text;
    uint64_t Times;
};

struct RunSummary {
    // Faults kept word for word, and kinds of fault told apart; past these
    // they are counted (bench/flying/RunSummary.cpp says why these sizes).
    static constexpr size_t MostFaultsKept = 256, MostFaultKinds = 32;

    uint64_t Passes = 0;
    std::vector<HeardCallout> Plays; // every play started, in order
    int Bursts = -1;                 // bursts of sound in sound.wav; -1 when none was written
    std::string SoundFile;
    std::string SoundNote;           // why sound.wav is missing or what it holds
    // Stack, service and sandbox faults: the first MostFaultsKept in the
    // order they came, all of them counted, and by kind in the order each
    // kind was first met.
    std::vector<std::string> Faults;
    uint64_t FaultCount = 0;
    std::vector<FaultKind> FaultKinds;
    uint64_t FaultsOfOtherKinds = 0; // past MostFaultKinds kinds
    // The fault of the module that ended the run early (what, where, the
    // pass and its time); empty when the run was flown to its end.
    std::string Crash;
    uint64_t CrashPass = 0;
    bool StackMeasured = false;
};

// Adds one fault to the summary's faults.
void NoteFault(RunSummary* summary, const std::string& fault);

// The summary as the bench prints it.
std::string DescribeSummary(const RunSummary& summary);

#endif
