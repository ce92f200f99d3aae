// The summary is plain text for a person: what was started, what was heard
// and where, and every fault, one a line.
#include "bench/flying/RunSummary.h"

#include <stdio.h>

std::string DescribeSummary(const RunSummary& s)
{
    std::string text = std::to_string(s.Passes) + " passes.";
    char line[160];
    if (s.Plays.empty()) {
        text += "\nNo call-out was started.";
    } else {
        text += "\nCall-outs started:";
        for (const HeardCallout& play : s.Plays) {
            snprintf(line, sizeof line, " %s at %.2f s;", play.Clip, play.Time);
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
    else if (s.Faults.empty())
        text += "\nStack balance: every call left the stack as it found it.";
    if (s.Faults.empty()) {
        text += "\nNo faults.";
    } else {
        text += "\n" + std::to_string(s.Faults.size()) + " fault" + (s.Faults.size() == 1 ? "" : "s") + ":";
        for (const std::string& fault : s.Faults)
            text += "\n  " + fault;
    }
    return text;
}
