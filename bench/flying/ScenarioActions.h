// The words of a scenario's lines, in one table: the `settings` line before
// the run and every timed action, each word with the arguments it takes, its
// usage line and what it does. The parser reads lines through it,
// `lumivane-bench --help` prints it, and a test holds bench/SCENARIOS.md to
// it, so that the three never disagree.
#ifndef LUMIVANE_BENCH_FLYING_SCENARIOACTIONS_H
#define LUMIVANE_BENCH_FLYING_SCENARIOACTIONS_H

#include "bench/flying/GaugeDescription.h"
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
    const GaugeDescription* Gauge = nullptr; // whose words name the settings files; none: no settings lines
    Scenario* Out;
    std::map<std::string, int> TracksRead; // each track file read once: path -> index in Out->Tracks
    bool Installed = true;                 // the gauge, at this line
    std::string Error;                     // what is wrong, on failure
    bool ErrorHasPlace = false;            // Error names its own file and line (a track's row)
};

struct ActionWord {
    const char* Word;
    bool Timed;          // a timed action, after a time; else a line of its own before the run
    ScenarioAction::Kind Kind; // a timed action's
    size_t LeastWords;   // the time (if timed) and the word included
    const char* Needs;   // what it lacks with fewer: "a target and a duration"
    const char* Usage;   // "TIME ramp TARGET over SECONDS"; NAME stands for the gauge's settings words
    const char* Meaning; // for --help and the documentation
    // Reads the words after the word into `action` (a timed one's) or into
    // context.Out; false with context.Error.
    bool (*Read)(const std::vector<ScenarioWord>& words, ActionContext& context, ScenarioAction* action);
};

extern const ActionWord ActionWords[];
extern const size_t ActionWordCount;

// The timed action words, "airspeed, ramp, ..., end", as messages list them.
std::string ActionWordList();
// The word of `words`' line: the untimed word it starts with, or the timed
// word after its time; null for none.
const ActionWord* FindActionWord(const std::vector<ScenarioWord>& words, bool timed);

// A word's usage line with the settings words of `gauge` for NAME, as
// "a|b|c" ("NAME" itself without a description).
std::string ActionUsage(const ActionWord& word, const GaugeDescription* gauge);

// The scenario format as --help gives it: every word's usage and meaning.
std::string ScenarioHelp(const GaugeDescription* gauge);

#endif
