// The airspeed a scenario gives at each pass, asked for at increasing times:
// held values, ramps, recorded tracks and noise. Actions are applied by the
// run as their time comes; this only holds the profile, and evaluates it pass
// by pass, forwards only, without allocating.
#ifndef LUMIVANE_BENCH_FLYING_AIRSPEEDPROFILE_H
#define LUMIVANE_BENCH_FLYING_AIRSPEEDPROFILE_H

#include "bench/flying/Scenario.h"

#include <stddef.h>
#include <stdint.h>

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
