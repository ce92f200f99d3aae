// A whole run with its records: events.jsonl, a line a pass, and sound.wav,
// what the gauge sounded, both in the output folder. They are observers of
// the pass loop (bench/flying/RunObserver.h) rather than part of it, so that
// a program that records nothing, the web page, carries none of their code.
// This is where the bench takes Lumivane's reader for its runs.
#include "bench/recording/RecordedRun.h"

#include "bench/files/Files.h"
#include "bench/lumivane/LumivaneReader.h"
#include "bench/recording/EventLog.h"
#include "bench/sound/RunSound.h"

#include <stdio.h>

#include <utility>

namespace {

class EventRecorder : public RunObserver {
public:
    bool Start(const RunOptions& options, const Scenario&, std::string* error) override
    {
        flush_ = options.Flush;
        reader_ = options.Reader;
        return log_.Open(JoinPath(options.Out, "events.jsonl"), error,
            options.LogChanges ? LogChoice::Changes : LogChoice::Every, reader_ ? &reader_->Description() : nullptr);
    }
    void Pass(const PassRecord& pass) override { log_.Write(pass, reader_, flush_); }
    void Finish(double, RunSummary*) override { log_.Close(); }

private:
    EventLog log_;
    const GaugeReader* reader_ = nullptr;
    bool flush_ = false;
};

// sound.wav: under Wine from what ALSA's device captured, gathered after
// each kill; with the software device, its own mix, written as the run goes.
class SoundRecorder : public RunObserver {
public:
    bool Start(const RunOptions& options, const Scenario&, std::string* error) override
    {
        const std::string path = JoinPath(options.Out, "sound.wav");
        if (!sound_.Start(path, options.Capture, PlaysThroughSoftware(options))) {
            *error = "cannot write " + path;
            return false;
        }
        return true;
    }
    void Pass(const PassRecord&) override { sound_.Follow(); }
    void Killed() override { sound_.Gather(); }
    void Finish(double seconds, RunSummary* summary) override
    {
        std::vector<double> plays;
        for (const HeardCallout& play : summary->Plays)
            plays.push_back(play.Time);
        RunSoundFile file = sound_.Write(seconds, plays);
        summary->SoundFile = file.Path;
        summary->Bursts = file.Bursts;
        // A refused device is the better note: it says why nothing sounds.
        if (!file.Note.empty() && summary->SoundNote.empty())
            summary->SoundNote = file.Note;
    }

private:
    RunSound sound_;
};

} // namespace

std::unique_ptr<GaugeReader> BenchGaugeReader()
{
    return std::unique_ptr<GaugeReader>(new LumivaneReader);
}

bool RunScenario(const RunOptions& options, const Scenario& scenario, RunSummary* summary, std::string* error)
{
    RunOptions read = options;
    std::unique_ptr<GaugeReader> own;
    if (!read.Reader) {
        own = BenchGaugeReader();
        read.Reader = own.get();
    }
    EventRecorder events;
    SoundRecorder sound;
    std::vector<RunObserver*> recorders;
    if (options.Record)
        recorders = {&events, &sound};
    ScenarioRun run(read, scenario, summary, std::move(recorders));
    if (!run.Load(error))
        return false;
    // Presses are held to the gauge's own size, which its module says:
    // a scenario that does not fit the gauge flies nothing and leaves nothing.
    const std::string offGauge = PointOffGauge(scenario, run.Host().Width(), run.Host().Height());
    if (!offGauge.empty()) {
        *error = offGauge;
        return false;
    }
    if (!run.Start(error))
        return false;
    while (run.Step()) {
    }
    run.Finish();
    return true;
}
