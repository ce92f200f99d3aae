// Scenarios: small text files of timed actions that the bench flies through
// a gauge (the format is described in bench/SCENARIOS.md, and the action
// words in one table, bench/flying/ScenarioActions.h). Parsing checks
// everything it can before the run, so that a bad line is reported as
// `file:line: what is wrong` and never half-flown. A scenario is any file a
// user hands the bench: it is read whole only when it is a regular file
// within the size limit, and no time, duration or airspeed in it can make a
// run endless or overflow.
#ifndef LUMIVANE_BENCH_FLYING_SCENARIO_H
#define LUMIVANE_BENCH_FLYING_SCENARIO_H

#include "bench/hosting/GaugeHost.h"

#include <stdint.h>

#include <string>
#include <vector>

struct GaugeDescription;

// The longest run a scenario may ask for: a day of passes at the
// simulator's rate. Times, and ramps and holds, must end by then.
constexpr double MostRunSeconds = 86400;
// The largest airspeed a scenario, its noise or a track may give, in knots;
// far beyond any aircraft, and small enough that no ramp, track or noise
// between such values overflows. Not-a-number and infinity can only be asked
// for by name (`airspeed nan`, `airspeed inf`, `airspeed -inf`).
constexpr double MostAirspeed = 1e6;

// A settings file as the scenario wants it before the run.
struct SettingsSetup {
    int File = 0;               // which of the gauge's, by its description's words, from 0
    bool Present = false;       // false: the file is removed
    std::string Content;        // the file's exact bytes when present
};

struct TrackPoint {
    double Time;
    double Airspeed;
};

struct ScenarioAction {
    enum Kind { Airspeed, Ramp, Noise, Track, Press, Hold, Kill, Install, End } What = End;
    double Time = 0;     // seconds from the start
    int Line = 0;
    double Value = 0;    // airspeed, ramp target, noise amplitude
    double Duration = 0; // ramp or hold
    uint32_t Seed = 0;   // noise
    int X = 0, Y = 0;
    Button Which = Button::Left;
    int TrackIndex = -1; // into Scenario::Tracks
};

struct Scenario {
    std::string File;
    std::vector<SettingsSetup> Settings;
    std::vector<ScenarioAction> Actions; // in time order, End last
    std::vector<std::vector<TrackPoint>> Tracks;
    double End = 0;
};

// Parses `text` as the contents of `file`; tracks named in it are read
// relative to the file's folder, each file once however often it is named.
// Its `settings` lines name the settings files by the words of `gauge`'s
// description; without one a scenario may have none. False with `error` as
// "file:line: message".
bool ParseScenario(const std::string& text, const std::string& file, Scenario* out, std::string* error,
    const GaugeDescription* gauge = nullptr);
// Reads and parses a scenario file.
bool LoadScenario(const std::string& file, Scenario* out, std::string* error, const GaugeDescription* gauge = nullptr);
// The first press or hold of `scenario` whose point lies off a gauge of
// `width` x `height` pixels, as "file:line: the point X,Y is off the panel,
// ..."; empty when every point is on it. A run of a scenario file asks this
// once the module is loaded, before anything is laid out or flown
// (bench/recording/RecordedRun.h).
std::string PointOffGauge(const Scenario& scenario, int width, int height);
// A scenario with nothing in it but an end further off than anyone watches,
// for a run a person drives (the window without a scenario, the web page),
// named `name`.
Scenario OpenEndedScenario(const std::string& name);

#endif
