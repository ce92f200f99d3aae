// The pass loop. Time is the pass number over the rate, never the wall clock:
// a run is the same pass for pass whether it is flown in real time or as fast
// as the machine goes, and in real time each pass waits for its moment on a
// steady clock rather than sleeping a period (which would drift). What a
// pass means and leaves is others' work: the reader of the gauge's panel,
// the event log, the progress line, the sound file. Which sound device the
// gauge plays through is the platform's (RunDeviceNative.cpp,
// RunDeviceWindows.cpp).
#include "bench/flying/Run.h"

#include "bench/files/Files.h"
#include "bench/flying/AirspeedProfile.h"
#include "bench/flying/HeldPress.h"
#include "bench/flying/Progress.h"
#include "bench/hosting/GaugeCalls.h"
#include "bench/hosting/SettingsSandbox.h"
#include "bench/sound/RunSound.h"
#include "bench/sound/SoundTap.h"
#include "platform/SoftDirectSound.h"

#include <math.h>
#include <stdio.h>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

} // namespace

class ScenarioRun::Runner : public PassControl {
public:
    Runner(const RunOptions& options, const Scenario& scenario, RunSummary* summary,
        std::vector<RunObserver*> observers)
        : options_(options), scenario_(scenario), summary_(summary), recorderCount_(observers.size()),
          profile_(&scenario)
    {
        // Natively the run moves into the settings sandbox, so every path it
        // keeps is made absolute first. The observers are given the sandbox
        // as the settings folder.
        options_.Module = AbsolutePath(options.Module);
        options_.Out = AbsolutePath(options.Out);
        options_.Capture = AbsolutePath(options.Capture);
        settingsGiven_ = !options.Settings.empty();
        options_.Settings = settingsGiven_ ? AbsolutePath(options.Settings) : JoinPath(options_.Out, "settings");
        if (options_.Reader)
            observers_.push_back(options_.Reader);
        for (RunObserver* observer : observers)
            observers_.push_back(observer);
    }

    bool Load(std::string* error)
    {
        return host_.Loaded() || host_.Load(options_.Module, error);
    }
    bool Start(std::string* error);
    bool Step();
    void Finish();
    GaugeHost& Host() { return host_; }

    // PassControl
    double Time() const override { return now_; }
    const MouseArea* Areas() const override { return host_.MouseAreas(); }
    void Press(int x, int y, Button button) override
    {
        if (MouseArea* area = host_.AreaAt(x, y, button))
            Run(area, x, y);
    }
    void Hold(int x, int y, Button button) override { StartHold(x, y, button, INFINITY); }
    void Release() override { held_.Release(); }
    void SetAirspeed(double value) override { profile_.Hold(value); }
    void Kill() override { DoKill(); }
    void Install() override { DoInstall(); }
    void Stop() override { stop_ = true; }
    const GaugeReader* Reader() const override { return options_.Reader; }

private:
    void Run(MouseArea* area, int x, int y)
    {
        host_.RunHandler(area, x, y);
        const int number = host_.AreaNumber(area);
        if (record_.HandlerCount < PassRecord::MaxHandlers)
            record_.Handlers[record_.HandlerCount++] = number;
        else
            ++record_.HandlersLeftOut;
        for (RunObserver* observer : observers_)
            observer->HandlerRan(host_.MouseAreas(), number);
    }
    void StartHold(int x, int y, Button button, double until)
    {
        held_.Start(x, y, button, now_, until);
        Press(x, y, button);
    }
    // Whether anything but the reader follows the passes.
    bool Watched() const { return recorderCount_ > 0 || options_.ShowPass || options_.TakeInput; }
    void Apply(const ScenarioAction& action);
    void DoKill();
    void DoInstall();
    void Gather();
    void Fault(const std::string& fault);
    void Crashed(uint64_t pass);

    RunOptions options_;
    const Scenario& scenario_;
    RunSummary* summary_;
    std::vector<RunObserver*> observers_; // the reader first, if any
    size_t recorderCount_;                // the observers after it
    bool settingsGiven_ = false;
    AirspeedProfile profile_;
    GaugeHost host_;
    PassResults results_;
    PassRecord record_;
    HeldPress held_;
    double now_ = 0;
    bool stop_ = false;
    bool realTime_ = true;
    bool soft_ = false;
    Progress progress_;
    uint64_t pass_ = 0, passes_ = 0;
    double samplesPerPass_ = 0;
    Clock::time_point started_;
    bool finished_ = false;
    size_t next_ = 0; // the scenario's next action
    size_t seenEvents_ = 0;
    uint64_t seenRefusals_ = 0;
    std::vector<std::string> passFaults_; // this pass's, for its record
};

bool ScenarioRun::Runner::Start(std::string* error)
{
    soft_ = PlaysThroughSoftware(options_);
    realTime_ = options_.Speed == Pace::RealTime || (options_.Speed == Pace::Default && !soft_);
    // The module first: a module that cannot be loaded leaves no folders.
    if (!Load(error))
        return false;
    // A run that records nothing may have no output folder, when it is told
    // where the settings go.
    if ((options_.Record || !settingsGiven_) && !MakeFolders(options_.Out)) {
        *error = "cannot make the output folder " + options_.Out;
        host_.Unload();
        return false;
    }
    if (!MakeFolders(options_.Settings)) {
        *error = "cannot make the settings folder " + options_.Settings;
        host_.Unload();
        return false;
    }
    // The reader lays out the scenario's settings files before the module
    // is sent into the sandbox, as a user leaves them before a flight.
    if (!scenario_.Settings.empty() && !options_.Reader) {
        *error = "the scenario sets up settings files, and this run has no reader of the gauge's panel to know them";
        host_.Unload();
        return false;
    }
    if (options_.Reader && !options_.Reader->Start(options_, scenario_, error)) {
        host_.Unload();
        return false;
    }
    const GaugeDescription* gauge = options_.Reader ? &options_.Reader->Description() : nullptr;
    if (!TapGaugeSound(host_.ModuleHandle(), options_.SoftSound, gauge))
        summary_->SoundNote = "the module imports no DirectSoundCreate: its sounds are not followed";
    if (!EnterSandbox(host_.ModuleHandle(), options_.Settings, error)) {
        host_.Unload();
        return false;
    }
    for (RunObserver* observer : observers_) {
        if (observer != options_.Reader && !observer->Start(options_, scenario_, error)) {
            LeaveSandbox();
            host_.Unload();
            return false;
        }
    }
    ClearSoundEvents();
    ClearHeardTrack();
    host_.TraceServices(false);
    host_.ConnectServices();
    passes_ = uint64_t(floor(scenario_.End * options_.Rate + 1e-9)) + 1;
    DoInstall();
    if (host_.Faulted())
        Crashed(0);
    summary_->StackMeasured = StackBalanceMeasured;
    samplesPerPass_ = SOFT_DIRECTSOUND_RATE / options_.Rate;
    if (options_.Progress)
        progress_.Start(scenario_.End);
    started_ = Clock::now();
    return true;
}

void ScenarioRun::Runner::DoInstall()
{
    if (host_.Installed())
        return;
    host_.Query();
    host_.Install(0);
    host_.Initialize();
}

void ScenarioRun::Runner::DoKill()
{
    if (!host_.Installed())
        return;
    host_.Kill();
    for (RunObserver* observer : observers_)
        observer->Killed();
}

void ScenarioRun::Runner::Apply(const ScenarioAction& action)
{
    switch (action.What) {
    case ScenarioAction::Airspeed:
    case ScenarioAction::Ramp:
    case ScenarioAction::Noise:
    case ScenarioAction::Track:
        profile_.Apply(action);
        break;
    case ScenarioAction::Press:
        Press(action.X, action.Y, action.Which);
        break;
    case ScenarioAction::Hold:
        StartHold(action.X, action.Y, action.Which, action.Time + action.Duration);
        break;
    case ScenarioAction::Kill:
        DoKill();
        break;
    case ScenarioAction::Install:
        DoInstall();
        break;
    case ScenarioAction::End:
        break;
    }
}

// The pass's plays and faults, from the tap's, the host's and the sandbox's
// logs, for the summary and the pass's record. The host's faults are let go
// once taken, so that a module that faults at every pass of a long run costs
// no more memory than one that faults once.
void ScenarioRun::Runner::Gather()
{
    const std::vector<SoundEvent>& events = SoundEvents();
    for (; seenEvents_ < events.size(); ++seenEvents_) {
        const SoundEvent& e = events[seenEvents_];
        if (e.What != SoundEvent::Played || e.Result < 0)
            continue;
        const char* clip = e.Clip ? e.Clip : "unknown";
        if (record_.PlayCount < PassRecord::MaxPlays)
            record_.Plays[record_.PlayCount++] = clip;
        else
            ++record_.PlaysLeftOut;
        summary_->Plays.push_back({now_, clip});
    }
    passFaults_.clear();
    record_.FaultsLeftOut = 0;
    for (const std::string& fault : host_.StackFaults())
        Fault(fault);
    for (const std::string& fault : host_.ServiceFaults())
        Fault(fault);
    host_.ForgetFaults();
    const std::vector<std::string>& refusals = SandboxRefusals();
    for (; seenRefusals_ < SandboxRefusalCount(); ++seenRefusals_)
        Fault(seenRefusals_ < refusals.size()
                  ? "the module opened " + refusals[size_t(seenRefusals_)] + ", outside the settings sandbox; refused"
                  : "the module opened a file outside the settings sandbox, refused (past the first " +
                        std::to_string(refusals.size()) + ", their paths are not kept)");
    record_.Faults = &passFaults_;
    record_.FirstFault = 0;
    record_.FaultCount = passFaults_.size();
}

void ScenarioRun::Runner::Fault(const std::string& fault)
{
    NoteFault(summary_, fault);
    if (passFaults_.size() < PassRecord::MaxFaults)
        passFaults_.push_back(fault);
    else
        ++record_.FaultsLeftOut;
}

// The module faulted in `pass` (bench/hosting/GaugeFaults.h): the run ends
// there, and its records end with the pass before, the last one whole.
void ScenarioRun::Runner::Crashed(uint64_t pass)
{
    char when[80];
    if (pass < passes_)
        snprintf(when, sizeof when, "in pass %llu (%.2f s)", static_cast<unsigned long long>(pass),
            double(pass) / options_.Rate);
    else
        snprintf(when, sizeof when, "after the last pass (%.2f s)", double(pass) / options_.Rate);
    summary_->Crash = "The module crashed " + std::string(when) + ": " + host_.Fault() +
        (pass < passes_ ? ". The run ended there; its records end with the pass before." : ".");
    summary_->CrashPass = pass;
    pass_ = pass;
    stop_ = true;
}

bool ScenarioRun::Runner::Step()
{
    if (pass_ >= passes_ || stop_)
        return false;
    const uint64_t pass = pass_++;
    const double rate = options_.Rate;
    now_ = double(pass) / rate;
    record_.Pass = pass;
    record_.Time = now_;
    record_.PlayCount = 0;
    record_.PlaysLeftOut = 0;
    record_.HandlerCount = 0;
    record_.HandlersLeftOut = 0;
    while (next_ < scenario_.Actions.size() && scenario_.Actions[next_].Time <= now_ + 1e-9)
        Apply(scenario_.Actions[next_++]);
    if (options_.TakeInput)
        options_.TakeInput(*this);
    held_.Repeat(
        now_, [this](int x, int y, Button which) { return host_.AreaAt(x, y, which); },
        [this](MouseArea* area, int x, int y) { Run(area, x, y); });
    record_.Airspeed = profile_.At(now_);
    record_.Installed = host_.Installed();
    if (record_.Installed) {
        host_.Update();
        host_.Pass(record_.Airspeed, &results_);
    }
    // The plays and faults reach the summary whether or not anything
    // records the run.
    Gather();
    if (host_.Faulted()) {
        Crashed(pass);
        return false;
    }
    // The reader is told only when someone may ask it: a run nobody watches
    // does only what the host must.
    if (Watched()) {
        record_.Results = record_.Installed ? &results_ : nullptr;
        record_.Host = &host_;
        for (RunObserver* observer : observers_)
            observer->Pass(record_);
        if (options_.ShowPass)
            options_.ShowPass(record_);
    }
    // The software device's time moves on by this pass's share of whole
    // samples, so that no rounding accumulates over a long run.
    uint64_t from = uint64_t(double(pass) * samplesPerPass_);
    uint64_t to = uint64_t(double(pass + 1) * samplesPerPass_);
    TapAdvance(uint32_t(to - from));
    // What the software device played is kept only for a recorder to write
    // out: a window or a page without one, open for hours, keeps none of it.
    if (recorderCount_ == 0)
        ForgetHeardTrack();
    if (realTime_) {
        std::this_thread::sleep_until(started_ + std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(double(pass + 1) / rate)));
    }
    if (options_.Progress && ((pass & 255) == 0 || realTime_))
        progress_.Show(now_, record_.Pass, false);
    return true;
}

void ScenarioRun::Runner::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    summary_->Passes = pass_;
    if (options_.Progress)
        progress_.Show(now_, record_.Pass, true);
    // Real DirectSound keeps its own time: a call-out started in the last
    // passes is let to play out before the kill releases it.
    if (!soft_ && host_.Installed() && !host_.Faulted())
        std::this_thread::sleep_for(std::chrono::milliseconds(realTime_ ? 500 : 800));
    DoKill();
    Gather();
    if (host_.Faulted() && summary_->Crash.empty())
        Crashed(pass_);
    TapFlush();
    LeaveSandbox();
    host_.Unload();
    const std::string refusal = RunSound::DeviceRefusal(soft_);
    if (!refusal.empty())
        summary_->SoundNote = refusal;
    for (RunObserver* observer : observers_)
        observer->Finish(double(summary_->Passes) / options_.Rate, summary_);
}

ScenarioRun::ScenarioRun(const RunOptions& options, const Scenario& scenario, RunSummary* summary,
    std::vector<RunObserver*> observers)
    : runner_(new Runner(options, scenario, summary, std::move(observers)))
{
    *summary = RunSummary();
}

ScenarioRun::~ScenarioRun()
{
    if (started_)
        runner_->Finish();
}

bool ScenarioRun::Load(std::string* error)
{
    return runner_->Load(error);
}

bool ScenarioRun::Start(std::string* error)
{
    started_ = runner_->Start(error);
    return started_;
}

bool ScenarioRun::Step()
{
    return started_ && runner_->Step();
}

void ScenarioRun::Finish()
{
    if (started_)
        runner_->Finish();
}

PassControl& ScenarioRun::Control()
{
    return *runner_;
}

GaugeHost& ScenarioRun::Host()
{
    return runner_->Host();
}
