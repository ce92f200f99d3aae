// The summary is plain text for a person: what was started, what was heard
// and where, and every fault, one a line. A fault that comes back at every
// pass is said once with how many times it came, so that a long faulty run's
// summary stays a page; the log keeps each one in its pass.
#include "bench/flying/RunSummary.h"

#include <stdio.h>

#include <utility>
#include <vector>

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
        std::vector<std::pair<const std::string*, size_t>> kinds; // in the order first met
        for (const std::string& fault : s.Faults) {
            size_t k = 0;
            while (k < kinds.size() && *kinds[k].first != fault)
                ++k;
            if (k == kinds.size())
                kinds.push_back({&fault, 0});
            ++kinds[k].second;
        }
        for (const auto& [fault, times] : kinds)
            text += "\n  " + *fault + (times > 1 ? " (" + std::to_string(times) + " times)" : "");
    }
    return text;
}
