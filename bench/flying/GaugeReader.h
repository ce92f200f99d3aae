// A reader of one gauge's own panel, which a run may take beside its host.
// The host knows each element's result and each area's box; what they mean
// is the gauge's, and only its reader knows it (Lumivane's is bench/lumivane).
// It follows the run as its observers do, told of each pass before them, and
// what the event log, the frames' captions, the window's status line and a
// person's keys say or do of the panel comes from it, and its description
// (bench/flying/GaugeDescription.h) gives the gauge's words to every room
// that knows no gauge. A run without one says nothing of what the panel
// means, and its keys press nothing by name.
#ifndef LUMIVANE_BENCH_FLYING_GAUGEREADER_H
#define LUMIVANE_BENCH_FLYING_GAUGEREADER_H

#include "bench/flying/GaugeDescription.h"
#include "bench/flying/RunObserver.h"
#include "bench/hosting/GaugeHost.h"

#include <stdint.h>

#include <string>

// A pass's line of the event log as a reader adds to it: named fields, each
// null, a list of flags, a list of whole numbers each known or null, or the
// bytes of a text the gauge wrote. The log writes them (bench/recording), so
// that a reader carries no code of the log's.
class LogFields {
public:
    virtual ~LogFields() = default;
    virtual void Null(const char* name) = 0;
    virtual void Flags(const char* name, const bool* flags, int count) = 0;
    virtual void Numbers(const char* name, const int32_t* numbers, const bool* known, int count) = 0;
    virtual void Text(const char* name, const char* bytes) = 0;
};

class GaugeReader : public RunObserver {
public:
    // The gauge this reader reads, in its own words; it lives as long as the
    // program.
    virtual const GaugeDescription& Description() const = 0;
    // Lays out `settings` in the settings sandbox `folder` as the gauge keeps
    // its files, before a module is loaded (Start does it for a scenario's);
    // false with `error` when one cannot be written.
    virtual bool LayOutSettings(const std::string& folder, const std::vector<SettingsSetup>& settings,
        std::string* error) const = 0;
    // What a person is told of the last pass, in words: the state its panel
    // shows, and what it started that a person hears; each empty when there
    // is nothing to say.
    virtual std::string State() const = 0;
    virtual std::string Event() const = 0;
    // What the reading adds to the last pass's line of events.jsonl.
    virtual void AddToLog(LogFields& line) const = 0;
    // Where a press reaches `control` in the registered list `areas`; false
    // while it is not there (no list, or not this gauge's).
    virtual bool ControlPoint(const MouseArea* areas, PanelControl control, int* x, int* y) const = 0;
    // The take-off key's climb from 0, by what the passes so far showed: the
    // airspeed it reaches and the seconds it takes to get there.
    virtual double TakeOffTop() const = 0;
    virtual double TakeOffSeconds() const = 0;
};

#endif
