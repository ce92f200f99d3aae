// Scenarios: small text files of timed actions that the bench flies through
// a gauge (the format is described in bench/SCENARIOS.md). Parsing checks
// everything it can before the run, so that a bad line is reported as
// `file:line: what is wrong` and never half-flown. The airspeed profile is
// evaluated pass by pass, forwards only, without allocating.
#ifndef LUMIVANE_BENCH_SCENARIO_H
#define LUMIVANE_BENCH_SCENARIO_H

#include <stdint.h>
#include <string>
#include <vector>

// A settings file as the scenario wants it before the run.
struct SettingsSetup {
    int Speed = 0;              // 1, 2 or 3
    bool Present = false;       // false: the file is removed
    std::string Content;        // the file's exact bytes when present
};

struct TrackPoint {
    double Time;
    double Airspeed;
};

struct ScenarioAction {
    enum Kind { Airspeed, Ramp, Noise, Track, Press, Hold, Kill, Install, End } What;
    double Time = 0;     // seconds from the start
    int Line = 0;
    double Value = 0;    // airspeed, ramp target, noise amplitude
    double Duration = 0; // ramp or hold
    uint32_t Seed = 0;   // noise
    int X = 0, Y = 0;
    int Button = 0;      // 0 left, 1 right, 2 middle
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
// relative to the file's folder. False with `error` as "file:line: message".
bool ParseScenario(const std::string& text, const std::string& file, Scenario* out, std::string* error);
// Reads and parses a scenario file.
bool LoadScenario(const std::string& file, Scenario* out, std::string* error);

// The airspeed the scenario gives at each pass, asked for at increasing
// times. Actions are applied by the run (Apply); this only holds the profile.
class AirspeedProfile {
public:
    explicit AirspeedProfile(const Scenario* scenario) : scenario_(scenario) {}
    // Takes over an airspeed, ramp, noise or track action at its time.
    void Apply(const ScenarioAction& action);
    // The airspeed at time t, noise included.
    double At(double t);
    // Held at this value from now on (an interactive driver's setting).
    void Hold(double value);

private:
    double Base(double t) const;

    const Scenario* scenario_;
    double value_ = 0;       // the held value, or a ramp's start value
    double rampStart_ = 0, rampTarget_ = 0, rampDuration_ = 0;
    bool ramping_ = false;
    int track_ = -1;
    double trackStart_ = 0;
    size_t trackAt_ = 0;
    double noise_ = 0;
    uint32_t noiseState_ = 1;
};

#endif
