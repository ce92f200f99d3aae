// The one reading of Lumivane's panel, attached to a run as its reader
// (bench/flying/GaugeReader.h): told of each handler and pass before the
// run's recorders and hooks, it recognises the panel (PanelChain), follows
// the speeds as far as a host can know them (KnownSpeeds) and the call-outs
// each pass started (CalloutStages), and says so in words (Sentences), in
// events.jsonl's fields, and to a person's keys. At the run's start it lays
// out the scenario's settings files. The host itself (bench/hosting) and the
// pass loop (bench/flying) know none of it.
#ifndef LUMIVANE_BENCH_LUMIVANE_LUMIVANEREADER_H
#define LUMIVANE_BENCH_LUMIVANE_LUMIVANEREADER_H

#include "bench/flying/GaugeReader.h"
#include "bench/lumivane/CalloutStages.h"
#include "bench/lumivane/KnownSpeeds.h"
#include "bench/lumivane/PanelReading.h"

#include <string>

class LumivaneReader : public GaugeReader {
public:
    // RunObserver: the scenario's settings files laid out in the sandbox
    // (options.Settings), then a fresh load; each handler; each pass.
    bool Start(const RunOptions& options, const Scenario& scenario, std::string* error) override;
    void HandlerRan(const MouseArea* areas, int number) override;
    void Pass(const PassRecord& pass) override;

    // GaugeReader
    const GaugeDescription& Description() const override;
    bool LayOutSettings(const std::string& folder, const std::vector<SettingsSetup>& settings,
        std::string* error) const override;
    std::string State() const override;
    std::string Event() const override;
    void AddToLog(LogFields& line) const override;
    bool ControlPoint(const MouseArea* areas, PanelControl control, int* x, int* y) const override;
    double TakeOffTop() const override;
    double TakeOffSeconds() const override;

    // The same steps for a program that makes passes of its own: a fresh
    // load of the module whose settings files lie in `sandbox`; a handler of
    // area `number` of the registered list `areas`; a pass of the installed
    // gauge at `airspeed` (`results` null while it is killed), with the clips
    // whose play started in it.
    void ModuleLoaded(const std::string& sandbox);
    void Passed(const PassResults* results, double airspeed, const char* const* plays, int playCount);

    const PanelReading& Reading() const { return reading_; }

private:
    PanelReading reading_;
    KnownSpeeds speeds_;
    CalloutStages stages_;
    // Speed3 as the last pass that knew it showed it, for the take-off.
    int32_t lastSpeed3_ = StartingSpeeds[PanelSpeeds - 1];
};

#endif
