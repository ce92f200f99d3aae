// The summary is plain text for a person: what was started, what was heard
// and where, and every fault, one a line. A fault that comes back at every
// pass is said once with how many times it came, so that a long faulty run's
// summary stays a page; the log keeps each one in its pass. A run that calls
// out thousands of times (an airspeed that wavers about Speed1) lists its
// first call-outs and its last, and counts those between.
#include "bench/flying/RunSummary.h"

#include <stdio.h>

namespace {

// Call-outs listed at the start and at the end of a long run's list.
constexpr size_t FirstCalloutsListed = 10, LastCalloutsListed = 2;

std::string Times(uint64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

// A kind is found by a walk over at most MostFaultKinds texts: a fault at
// every pass of a day's run costs a few hundred comparisons each, and a
// module that makes every fault's text its own (a new path at each open) is
// still summed up in a page.
void NoteFault(RunSummary* s, const std::string& fault)
{
    ++s->FaultCount;
    if (s->Faults.size() < RunSummary::MostFaultsKept)
        s->Faults.push_back(fault);
    for (FaultKind& kind : s->FaultKinds) {
        if (kind.Text == fault) {
            ++kind.Times;
            return;
        }
    }
    if (s->FaultKinds.size() < RunSummary::MostFaultKinds)
        s->FaultKinds.push_back({fault, 1});
    else
        ++s->FaultsOfOtherKinds;
}

std::string DescribeSummary(const RunSummary& s)
{
    std::string text = std::to_string(s.Passes) + " passes.";
    char line[160];
    if (s.Plays.empty()) {
        text += "\nNo call-out was started.";
    } else {
        const size_t count = s.Plays.size();
        const bool whole = count <= FirstCalloutsListed + LastCalloutsListed;
        text += whole ? "\nCall-outs started:" : "\n" + std::to_string(count) + " call-outs started:";
        for (size_t i = 0; i < count; ++i) {
            if (!whole && i == FirstCalloutsListed) {
                const size_t between = count - FirstCalloutsListed - LastCalloutsListed;
                text += " " + std::to_string(between) + " more;";
                i = count - LastCalloutsListed;
            }
            snprintf(line, sizeof line, " %s at %.2f s;", s.Plays[i].Clip, s.Plays[i].Time);
            text += line;
        }
        text.pop_back();
        text += ".";
    }
    if (!s.SoundFile.empty()) {
        snprintf(line, sizeof line, "\nHeard: %d burst%s of sound in ", s.Bursts, s.Bursts == 1 ? "" : "s");
        text += line + s.SoundFile + " (" + s.SoundNote + ").";
    } else if (!s.SoundNote.empty()) {
        text += "\nSound: " + s.SoundNote + ".";
    }
    if (!s.StackMeasured)
        text += "\nStack balance: not applicable (one calling convention on this platform).";
    else if (s.FaultCount == 0 && s.Crash.empty())
        text += "\nStack balance: every call left the stack as it found it.";
    // A crash is a fault too: a run it ended is never said to have none.
    if (s.FaultCount == 0) {
        if (s.Crash.empty())
            text += "\nNo faults.";
    } else {
        text += "\n" + Times(s.FaultCount, "fault", "faults") + ":";
        for (const FaultKind& kind : s.FaultKinds)
            text += "\n  " + kind.Text + (kind.Times > 1 ? " (" + std::to_string(kind.Times) + " times)" : "");
        if (s.FaultsOfOtherKinds)
            text += "\n  and " + Times(s.FaultsOfOtherKinds, "fault", "faults") + " of other kinds";
    }
    if (!s.Crash.empty())
        text += "\n" + s.Crash;
    return text;
}
