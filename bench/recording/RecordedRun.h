// A whole run of the bench with its records and its reading: the pass loop
// (bench/flying/Run.h) flown from start to finish, told of each pass the
// reader of the gauge's panel the bench flies with (Lumivane's,
// bench/lumivane), which says nothing of another gauge's, and the recorders
// that leave events.jsonl and sound.wav in the output folder when the run
// records.
#ifndef LUMIVANE_BENCH_RECORDING_RECORDEDRUN_H
#define LUMIVANE_BENCH_RECORDING_RECORDEDRUN_H

#include "bench/flying/Run.h"

#include <memory>
#include <string>

// The reader of the gauge's own panel the bench flies with, for a program
// that shows what it says (the frames' captions, the window) and hands it
// to its runs as options.Reader.
std::unique_ptr<GaugeReader> BenchGaugeReader();

// Runs the scenario, recording events.jsonl and sound.wav in the output
// folder when options.Record asks, read by options.Reader or, without one,
// by a BenchGaugeReader of its own. False with `error` when the run could
// not start (the module, a press off the gauge's own size, the folders);
// faults during the run are in the summary.
bool RunScenario(const RunOptions& options, const Scenario& scenario, RunSummary* summary, std::string* error);

#endif
