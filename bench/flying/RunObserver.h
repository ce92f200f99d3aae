// What follows a run beside its driver: the recorders that leave its records
// behind, and the reader of the gauge's own panel (bench/flying/GaugeReader.h).
// Each is told of the run's start, of every handler it runs, of every pass,
// of every kill and of its end; none of them can change what the run does.
// The pass loop (bench/flying/Run.h) knows them only through this.
#ifndef LUMIVANE_BENCH_FLYING_RUNOBSERVER_H
#define LUMIVANE_BENCH_FLYING_RUNOBSERVER_H

#include "bench/flying/Pass.h"
#include "bench/flying/RunSummary.h"

#include <string>

struct RunOptions;
struct Scenario;

class RunObserver {
public:
    virtual ~RunObserver() = default;
    // Once the module is loaded, before it is installed; `options.Settings`
    // is the settings sandbox, which exists. False, with `error`, stops the
    // run.
    virtual bool Start(const RunOptions& options, const Scenario& scenario, std::string* error) = 0;
    // A handler of the registered list `areas` ran, area `number` (the
    // group's start is 0), before the pass that follows; in the order they ran.
    virtual void HandlerRan(const MouseArea* /*areas*/, int /*number*/) {}
    // After each pass.
    virtual void Pass(const PassRecord& pass) = 0;
    // After each kill, once the gauge has let its sound device go.
    virtual void Killed() {}
    // Once the module is let go, with the run's length and the sound note
    // the run found (the device refused), which a recorder keeps.
    virtual void Finish(double /*seconds*/, RunSummary* /*summary*/) {}
};

#endif
