// events.jsonl: one JSON object a line, for the chart, the tests and
// anyone's own scripts. The first line describes the gauge the run's reader
// reads, as that reader's description gives it (its speeds, where its lamps
// go dark, what its clips sound like), so that what draws the run needs no
// fact of the gauge's own; every other line is a pass: what the host holds
// of it, and what the reader says it means. Each line is built as
// a JSON value and written by nlohmann-json, so no field is ever cut short or
// left unquoted whatever the pass holds. JSON has no NaN or infinity: such an
// airspeed is written as null, with "airspeed_is" saying which it was.
#ifndef LUMIVANE_BENCH_RECORDING_EVENTLOG_H
#define LUMIVANE_BENCH_RECORDING_EVENTLOG_H

#include "bench/flying/GaugeReader.h"
#include "bench/flying/Pass.h"

#include <stdio.h>

#include <string>

// The pass as one line of JSON, newline included, with what `reader` (which
// may be null) says of it.
std::string EventLine(const PassRecord& pass, const GaugeReader* reader);
// The gauge as one line of JSON, newline included:
// {"gauge": {"name", "module", "speeds": [names], "lamps_dark_above":
// {"speed": n from 1, "by": knots} or null, "clips": {name: {"sound",
// "beeps"}}}}.
std::string GaugeLine(const GaugeDescription& gauge);

// Which passes the log holds: every one, or only those where something it
// records changed (anything but the pass, its time and its airspeed), or
// that started a play, ran a handler or found a fault; the first and the
// last pass always.
enum class LogChoice { Every, Changes };

class EventLog {
public:
    ~EventLog() { Close(); }
    // False, with `error`, when `path` cannot be written. With a `gauge`,
    // its line comes first.
    bool Open(const std::string& path, std::string* error, LogChoice choice = LogChoice::Every,
        const GaugeDescription* gauge = nullptr);
    // `flush`: written out at once, for a run watched as it goes.
    void Write(const PassRecord& pass, const GaugeReader* reader, bool flush);
    // Writes the last pass if it was held back, and closes the file.
    void Close();

private:
    FILE* file_ = nullptr;
    LogChoice choice_ = LogChoice::Every;
    bool first_ = true;
    std::string written_; // what the last line written said, but its pass, time and airspeed
    std::string held_;    // the last pass's line, when it was not written
};

#endif
