// The timed action words of a scenario, in one table: each word with the
// arguments it takes, its usage line and what it does. The parser reads lines
// through it, `lumivane-bench --help` prints it, and a test holds
// bench/SCENARIOS.md to it, so that the three never disagree.
#ifndef LUMIVANE_BENCH_FLYING_SCENARIOACTIONS_H
#define LUMIVANE_BENCH_FLYING_SCENARIOACTIONS_H

#include "bench/flying/Scenario.h"

#include <stddef.h>

#include <map>
#include <string>
#include <vector>

// A word of a line, or a quoted text with \n \r \t \\ \" escapes.
struct ScenarioWord {
    std::string Text;
    bool Quoted;
};

// What an action's reader is given besides its words.
struct ActionContext {
    std::string Folder;                   // the scenario's, for tracks named relative to it
    Scenario* Out;
    std::map<std::string, int> TracksRead; // each track file read once: path -> index in Out->Tracks
    bool Installed = true;                 // the gauge, at this line
    std::string Error;                     // what is wrong, on failure
    bool ErrorHasPlace = false;            // Error names its own file and line (a track's row)
};

struct ActionWord {
    const char* Word;
    ScenarioAction::Kind Kind;
    size_t LeastWords;   // the time and the word included
    const char* Needs;   // what it lacks with fewer: "a target and a duration"
    const char* Usage;   // "TIME ramp TARGET over SECONDS"
    const char* Meaning; // for --help and the documentation
    // Reads words[2] on into `action`; false with context.Error.
    bool (*Read)(const std::vector<ScenarioWord>& words, ActionContext& context, ScenarioAction* action);
};

extern const ActionWord ActionWords[];
extern const size_t ActionWordCount;

// The action words, "airspeed, ramp, ..., end", as messages list them.
std::string ActionWordList();

// The scenario format as --help gives it: the settings line and every action
// word's usage and meaning, one a line.
std::string ScenarioHelp();

#endif
