// Values stay within what the scenario allows (±1e6 and what it names), so
// straight lines between them and noise added to them stay finite: a
// not-a-number or infinite airspeed reaches the gauge only when asked for.
#include "bench/flying/AirspeedProfile.h"

void AirspeedProfile::Apply(const ScenarioAction& action)
{
    double now = Base(action.Time);
    switch (action.What) {
    case ScenarioAction::Airspeed:
        value_ = action.Value;
        ramping_ = false;
        track_ = -1;
        break;
    case ScenarioAction::Ramp:
        value_ = now;
        rampStart_ = action.Time;
        rampTarget_ = action.Value;
        rampDuration_ = action.Duration;
        ramping_ = true;
        track_ = -1;
        break;
    case ScenarioAction::Noise:
        noise_ = action.Value;
        noiseState_ = action.Seed * 2654435761u + 1u;
        break;
    case ScenarioAction::Track:
        ramping_ = false;
        track_ = action.TrackIndex;
        trackStart_ = action.Time;
        trackAt_ = 0;
        break;
    default:
        break;
    }
}

void AirspeedProfile::Hold(double value)
{
    value_ = value;
    ramping_ = false;
    track_ = -1;
}

double AirspeedProfile::Base(double t) const
{
    if (track_ >= 0) {
        const std::vector<TrackPoint>& points = scenario_->Tracks[size_t(track_)];
        double local = t - trackStart_;
        size_t i = trackAt_;
        while (i + 1 < points.size() && points[i + 1].Time <= local)
            ++i;
        if (local <= points[0].Time)
            return points[0].Airspeed;
        if (i + 1 >= points.size())
            return points.back().Airspeed;
        const TrackPoint& a = points[i];
        const TrackPoint& b = points[i + 1];
        double span = b.Time - a.Time;
        return span > 0 ? a.Airspeed + (b.Airspeed - a.Airspeed) * (local - a.Time) / span : b.Airspeed;
    }
    if (ramping_) {
        double f = (t - rampStart_) / rampDuration_;
        if (f >= 1)
            return rampTarget_;
        return value_ + (rampTarget_ - value_) * (f > 0 ? f : 0);
    }
    return value_;
}

double AirspeedProfile::At(double t)
{
    if (track_ >= 0) {
        // Times only grow, so the search starts where the last one ended.
        const std::vector<TrackPoint>& points = scenario_->Tracks[size_t(track_)];
        while (trackAt_ + 1 < points.size() && points[trackAt_ + 1].Time <= t - trackStart_)
            ++trackAt_;
    }
    double v = Base(t);
    if (noise_ > 0) {
        // xorshift32: the same noise for the same seed on every machine.
        noiseState_ ^= noiseState_ << 13;
        noiseState_ ^= noiseState_ >> 17;
        noiseState_ ^= noiseState_ << 5;
        v += noise_ * (2.0 * (noiseState_ / 4294967296.0) - 1.0);
    }
    return v;
}
