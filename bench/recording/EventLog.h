// events.jsonl: one JSON object a line, one line a pass, for the chart, the
// tests and anyone's own scripts: what the host holds of the pass, and what
// the run's reader of the gauge's panel says it means. Each line is built as
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

// Which passes the log holds: every one, or only those where something it
// records changed (anything but the pass, its time and its airspeed), or
// that started a play, ran a handler or found a fault; the first and the
// last pass always.
enum class LogChoice { Every, Changes };

class EventLog {
public:
    ~EventLog() { Close(); }
    // False, with `error`, when `path` cannot be written.
    bool Open(const std::string& path, std::string* error, LogChoice choice = LogChoice::Every);
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
