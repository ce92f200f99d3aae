// The page's pass; see PagePass.h. The page calls Step once for each pass its
// clock says is due, so the passes, the repeats and the take-off are counted
// in passes and are the same however the browser spaces its frames.
#include "web/PagePass.h"

#include "bench/lumivane/Sentences.h"
#include "bench/lumivane/SettingsScan.h"
#include "platform/web/LinkedModule.h"

#include <stdio.h>

#include <chrono>

bool PagePass::Start(const std::string& settings, std::string* error)
{
    settings_ = settings;
    // A page is left open for as long as anyone likes.
    endless_ = OpenEndedScenario("page");
    RunOptions options;
    options.Module = LINKED_MODULE_NAME;
    options.Settings = settings;
    options.Rate = Rate;
    options.SoftSound = true;
    options.Speed = Pace::Fast; // the page's clock paces the passes
    options.Record = false;
    options.Progress = false;
    options.TakeInput = [this](PassControl& control) { hands_.Apply(control); };
    options.ShowPass = [this](const PassRecord& pass) { AfterPass(pass); };
    options.Reader = &reader_;
    run_.reset(new ScenarioRun(options, endless_, &summary_));
    if (!run_->Start(error)) {
        run_.reset();
        return false;
    }
    return true;
}

void PagePass::Step()
{
    if (run_)
        run_->Step();
}

void PagePass::AfterPass(const PassRecord& pass)
{
    record_ = pass;
    if (pass.Results)
        results_ = *pass.Results;
    record_.Results = pass.Results ? &results_ : nullptr;
    hands_.Follow(pass);
    const PanelReading& reading = reader_.Reading();
    for (int i = 0; i < pass.PlayCount; ++i) {
        // Each play is one call-out, in the order the reading names them.
        const int speed = i < reading.CalloutCount ? reading.Callouts[i] : 0;
        plays_.push_back({pass.Plays[i], CalloutSentence(speed)});
    }
    if (pass.HandlerCount)
        syncNeeded_ = true;
    if (!painter_.Paint(record_))
        problem_ = painter_.Problem();
}

void PagePass::ResetSpeeds()
{
    if (run_)
        run_->Control().Kill();
    for (int speed = 1; speed <= PanelSpeeds; ++speed)
        RemoveSettingsFile(settings_, speed);
    syncNeeded_ = true;
}

bool PagePass::SetSpeeds(const std::string& folder, const int32_t speeds[PanelSpeeds])
{
    for (int speed = 1; speed <= PanelSpeeds; ++speed)
        if (!WriteSettingsFile(folder, speed, std::to_string(speeds[speed - 1])))
            return false;
    return true;
}

int32_t PagePass::CursorAt(int x, int y) const
{
    return run_ ? run_->Host().CursorCodeAt(x, y) : NoCursor;
}

double PagePass::Measure(int passes)
{
    if (passes < 1 || !run_ || !run_->Host().Installed())
        return 0;
    GaugeHost& host = run_->Host();
    PassResults results; // each pass fills it
    PassRecord record = record_;
    record.Results = &results;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < passes; ++i) {
        host.Update();
        host.Pass(record_.Airspeed, &results);
        measured_.Paint(record);
    }
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    // Passes that drew another panel than the page shows timed something else.
    if (results.Count != results_.Count)
        return -1;
    return spent.count() / passes;
}

std::vector<PagePass::Play> PagePass::TakePlays()
{
    std::vector<Play> taken;
    taken.swap(plays_);
    return taken;
}

bool PagePass::TakeFilesChanged()
{
    const bool changed = syncNeeded_;
    syncNeeded_ = false;
    return changed;
}
