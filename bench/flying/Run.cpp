// The run loop. Time is the pass number over the rate, never the wall clock:
// a run is the same pass for pass whether it is flown in real time or as fast
// as the machine goes, and in real time each pass waits for its moment on a
// steady clock rather than sleeping a period (which would drift).
#include "bench/flying/Run.h"

#include "bench/files/Files.h"

#include "bench/hosting/GaugeCalls.h"
#include "bench/sound/AlsaCapture.h"
#include "bench/hosting/SettingsSandbox.h"
#include "bench/sound/SoundTap.h"
#include "platform/SoftDirectSound.h"

#include <errno.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <direct.h>
#include <io.h>
#include <windows.h>
#else
#include <limits.h>
#include <unistd.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

#ifdef _WIN32
constexpr bool WindowsHost = true;
#else
constexpr bool WindowsHost = false;
#endif

bool ErrorsGoToTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

// A settings file read as the gauge reads it: one "%i" number after blanks.
bool ReadSpeedFile(const std::string& path, int* value)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char text[64] = {};
    size_t got = fread(text, 1, sizeof text - 1, file);
    fclose(file);
    text[got] = 0;
    char* end = nullptr;
    long v = strtol(text, &end, 0);
    if (end == text)
        return false;
    *value = int(v);
    return true;
}

// The readout's text as a number: "%3d" gives blanks, an optional minus and
// digits, and nothing else.
bool ReadoutNumber(const std::string& text, int* value)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    size_t start = i;
    if (i < text.size() && text[i] == '-')
        ++i;
    size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    if (i == digits || i != text.size() || i - digits > 9)
        return false;
    *value = atoi(text.c_str() + start);
    return true;
}

// JSON text: quotes, backslashes and control bytes escaped; bytes above 127
// taken as Latin-1, so the line stays valid UTF-8 whatever the gauge wrote.
void PutJsonString(std::string* out, const char* text, size_t length)
{
    out->push_back('"');
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out->push_back('\\');
            out->push_back(char(c));
        } else if (c < 0x20 || c > 0x7E) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out->append(escaped);
        } else {
            out->push_back(char(c));
        }
    }
    out->push_back('"');
}

void PutBooleans(std::string* out, const double* results)
{
    out->push_back('[');
    for (int i = 0; i < 3; ++i) {
        if (i)
            out->push_back(',');
        out->append(results[i] == 0.0 ? "true" : "false");
    }
    out->push_back(']');
}

struct Held {
    bool Down = false;
    int X = 0, Y = 0;
    Button Which = Button::Left;
    double Start = 0;
    double Until = 0;     // release time; infinite for a driver's hold
    int Repeats = 0;      // repeats run so far
};

class Runner : public PassControl {
public:
    Runner(const RunOptions& options, const Scenario& scenario, RunSummary* summary)
        : options_(options), scenario_(scenario), summary_(summary), profile_(&scenario)
    {
        options_.Module = AbsolutePath(options.Module);
        options_.Out = AbsolutePath(options.Out);
        options_.Settings = AbsolutePath(options.Settings);
        options_.Capture = AbsolutePath(options.Capture);
    }

    bool Start(std::string* error);
    void Fly();
    void Finish();

    // PassControl
    double Time() const override { return now_; }
    void Press(int x, int y, Button button) override
    {
        if (MouseArea* area = host_.AreaAt(x, y, button))
            Run(area, x, y);
    }
    void Hold(int x, int y, Button button) override { StartHold(x, y, button, INFINITY); }
    void Release() override { held_.Down = false; }
    void SetAirspeed(double value) override { profile_.Hold(value); }
    void Kill() override { DoKill(); }
    void Install() override { DoInstall(); }
    void Stop() override { stop_ = true; }

private:
    void Run(MouseArea* area, int x, int y)
    {
        host_.RunHandler(area, x, y);
        if (record_.HandlerCount < PassRecord::MaxHandlers)
            record_.Handlers[record_.HandlerCount++] = host_.AreaNumber(area);
        filesChanged_ = true;
    }
    void StartHold(int x, int y, Button button, double until)
    {
        held_ = {true, x, y, button, now_, until, 0};
        Press(x, y, button);
    }
    void Apply(const ScenarioAction& action);
    void Repeat();
    void DoKill();
    void DoInstall();
    void GatherCapture();
    void KnowSpeeds();
    void Gather();
    void Write();
    void ShowProgress(bool last);

    RunOptions options_;
    const Scenario& scenario_;
    RunSummary* summary_;
    AirspeedProfile profile_;
    GaugeHost host_;
    PanelState panel_ = {};
    PassRecord record_;
    Held held_;
    double now_ = 0;
    bool stop_ = false;
    bool realTime_ = true;
    bool soft_ = false;
    std::string sandbox_;
    FILE* events_ = nullptr;
    std::string line_;
    size_t seenEvents_ = 0;
    size_t seenStack_ = 0, seenService_ = 0, seenRefusals_ = 0;
    bool filesChanged_ = true;
    bool fileKnown_[3] = {};
    int fileSpeed_[3] = {};
    bool readoutKnown_[3] = {};
    int readoutSpeed_[3] = {};
    Recording capture_;
    Clock::time_point started_;
    Clock::time_point lastProgress_;
    bool progressShown_ = false;
    bool terminal_ = true;
    int quartersShown_ = 0;
};

bool Runner::Start(std::string* error)
{
    soft_ = options_.SoftSound || !WindowsHost;
    terminal_ = ErrorsGoToTerminal();
    realTime_ = options_.Speed == Pace::RealTime || (options_.Speed == Pace::Default && !soft_);
    // A run that records nothing may have no output folder, when it is told
    // where the settings go.
    if ((options_.Record || options_.Settings.empty()) && !MakeFolders(options_.Out)) {
        *error = "cannot make the output folder " + options_.Out;
        return false;
    }
    sandbox_ = options_.Settings.empty() ? JoinPath(options_.Out, "settings") : options_.Settings;
    if (!MakeFolders(sandbox_)) {
        *error = "cannot make the settings folder " + sandbox_;
        return false;
    }
    for (const SettingsSetup& setup : scenario_.Settings) {
        std::string path = SettingsFilePath(sandbox_, setup.Speed);
        if (!setup.Present)
            remove(path.c_str());
        else if (!WriteWholeFile(path, setup.Content)) {
            *error = "cannot write the settings file " + path;
            return false;
        }
    }
    if (!options_.Capture.empty())
        remove(options_.Capture.c_str());
    if (!host_.Load(options_.Module, error))
        return false;
    if (!TapDirectSound(host_.ModuleHandle(), options_.SoftSound))
        summary_->SoundNote = "the module imports no DirectSoundCreate: its sounds are not followed";
    if (!EnterSandbox(host_.ModuleHandle(), sandbox_, error)) {
        host_.Unload();
        return false;
    }
    if (options_.Record) {
        std::string path = JoinPath(options_.Out, "events.jsonl");
        events_ = fopen(path.c_str(), "wb");
        if (!events_) {
            *error = "cannot write " + path;
            LeaveSandbox();
            host_.Unload();
            return false;
        }
    }
    ClearSoundEvents();
    ClearHeardTrack();
    host_.TraceServices(false);
    host_.ConnectServices();
    DoInstall();
    summary_->StackMeasured = StackBalanceMeasured;
    return true;
}

void Runner::DoInstall()
{
    if (host_.Installed())
        return;
    host_.Query();
    host_.Install(0);
    host_.Initialize();
    filesChanged_ = true;
}

void Runner::DoKill()
{
    if (!host_.Installed())
        return;
    host_.Kill();
    filesChanged_ = true;
    GatherCapture();
}

// ALSA's file device starts its file anew with each new DirectSound device,
// so what it holds is taken as soon as the device is gone. The device may
// close it a moment later: the file is read once its size stops changing.
void Runner::GatherCapture()
{
    if (options_.Capture.empty() || soft_)
        return;
    long size = -1;
    for (int tries = 0; tries < 20; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        struct stat info;
        long now = stat(options_.Capture.c_str(), &info) == 0 ? long(info.st_size) : -1;
        if (now == size)
            break;
        size = now;
    }
    if (size < 0)
        return;
    Recording part = ReadRecording(options_.Capture);
    if (part.Problem.empty())
        AppendRecording(&capture_, part);
    remove(options_.Capture.c_str());
}

void Runner::Apply(const ScenarioAction& action)
{
    switch (action.What) {
    case ScenarioAction::Airspeed:
    case ScenarioAction::Ramp:
    case ScenarioAction::Noise:
    case ScenarioAction::Track:
        profile_.Apply(action);
        break;
    case ScenarioAction::Press:
        Press(action.X, action.Y, Button(action.Button));
        break;
    case ScenarioAction::Hold:
        StartHold(action.X, action.Y, Button(action.Button), action.Time + action.Duration);
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

// A held press repeats where its area asks for repeats; the area is looked
// up again each time, as the pointer may lie over another after an install.
void Runner::Repeat()
{
    if (!held_.Down)
        return;
    // Repeat times are counted from the press, not summed, so that a
    // release at a whole number of periods is never overtaken by rounding.
    const double tolerance = 1e-9;
    for (;;) {
        double at = held_.Start + RepeatDelay + RepeatPeriod * held_.Repeats;
        if (at > now_ + tolerance || at >= held_.Until - tolerance)
            break;
        MouseArea* area = host_.AreaAt(held_.X, held_.Y, held_.Which);
        if (area && (area->Events & RepeatWhileHeld))
            Run(area, held_.X, held_.Y);
        ++held_.Repeats;
    }
    if (now_ + tolerance >= held_.Until)
        held_.Down = false;
}

void Runner::KnowSpeeds()
{
    if (filesChanged_) {
        for (int i = 0; i < 3; ++i)
            fileKnown_[i] = ReadSpeedFile(SettingsFilePath(sandbox_, i + 1), &fileSpeed_[i]);
        filesChanged_ = false;
    }
    int selected = -1, shown = 0;
    for (int i = 0; i < 3; ++i)
        if (panel_.Marks[i] == 0.0) {
            selected = i;
            ++shown;
        }
    int value = 0;
    bool readout = record_.Installed && shown == 1 && ReadoutNumber(panel_.Readout, &value);
    if (readout) {
        readoutKnown_[selected] = true;
        readoutSpeed_[selected] = value;
    }
    for (int i = 0; i < 3; ++i) {
        record_.SpeedKnown[i] = true;
        if (readout && i == selected)
            record_.Speeds[i] = value;
        else if (fileKnown_[i])
            record_.Speeds[i] = fileSpeed_[i];
        else if (readoutKnown_[i])
            record_.Speeds[i] = readoutSpeed_[i];
        else
            record_.SpeedKnown[i] = false;
    }
}

// The pass's plays and faults, from the tap's and the host's logs.
void Runner::Gather()
{
    const std::vector<SoundEvent>& events = SoundEvents();
    for (; seenEvents_ < events.size(); ++seenEvents_) {
        const SoundEvent& e = events[seenEvents_];
        if (e.What != SoundEvent::Played || e.Result < 0)
            continue;
        const char* clip = e.Clip ? e.Clip : "unknown";
        if (record_.PlayCount < PassRecord::MaxPlays)
            record_.Plays[record_.PlayCount++] = clip;
        summary_->Plays.push_back({now_, clip});
    }
    std::vector<std::string>& faults = summary_->Faults;
    record_.FirstFault = faults.size();
    for (; seenStack_ < host_.StackFaults().size(); ++seenStack_)
        faults.push_back(host_.StackFaults()[seenStack_]);
    for (; seenService_ < host_.ServiceFaults().size(); ++seenService_)
        faults.push_back(host_.ServiceFaults()[seenService_]);
    for (; seenRefusals_ < SandboxRefusals().size(); ++seenRefusals_)
        faults.push_back("the module opened " + SandboxRefusals()[seenRefusals_] +
                         ", outside the settings sandbox; refused");
    record_.FaultCount = faults.size() - record_.FirstFault;
    record_.Faults = &faults;
}

void Runner::Write()
{
    if (!events_)
        return;
    char number[64];
    line_.clear();
    snprintf(number, sizeof number, "{\"pass\":%llu,\"time\":%.6g,\"airspeed\":%.6g,\"installed\":%s",
             static_cast<unsigned long long>(record_.Pass), record_.Time, record_.Airspeed,
             record_.Installed ? "true" : "false");
    line_.append(number);
    if (record_.Installed) {
        line_.append(",\"lamps\":");
        PutBooleans(&line_, panel_.Lamps);
        line_.append(",\"marks\":");
        PutBooleans(&line_, panel_.Marks);
        line_.append(",\"readout\":");
        PutJsonString(&line_, panel_.Readout.data(), panel_.Readout.size());
    } else {
        line_.append(",\"lamps\":null,\"marks\":null,\"readout\":null");
    }
    line_.append(",\"plays\":[");
    for (int i = 0; i < record_.PlayCount; ++i) {
        if (i)
            line_.push_back(',');
        PutJsonString(&line_, record_.Plays[i], strlen(record_.Plays[i]));
    }
    line_.append("],\"speeds\":[");
    for (int i = 0; i < 3; ++i) {
        if (i)
            line_.push_back(',');
        if (record_.SpeedKnown[i]) {
            snprintf(number, sizeof number, "%d", record_.Speeds[i]);
            line_.append(number);
        } else {
            line_.append("null");
        }
    }
    line_.append("],\"handlers\":[");
    for (int i = 0; i < record_.HandlerCount; ++i) {
        snprintf(number, sizeof number, "%s\"area %d\"", i ? "," : "", record_.Handlers[i]);
        line_.append(number);
    }
    line_.push_back(']');
    if (record_.FaultCount) {
        line_.append(",\"stack\":[");
        for (size_t i = 0; i < record_.FaultCount; ++i) {
            if (i)
                line_.push_back(',');
            const std::string& fault = (*record_.Faults)[record_.FirstFault + i];
            PutJsonString(&line_, fault.data(), fault.size());
        }
        line_.push_back(']');
    }
    line_.append("}\n");
    fwrite(line_.data(), 1, line_.size(), events_);
    if (options_.Flush)
        fflush(events_);
}

void Runner::ShowProgress(bool last)
{
    if (!options_.Progress)
        return;
    Clock::time_point wall = Clock::now();
    // Only runs that take more than a moment get a progress line.
    if (!progressShown_ && !last && wall - started_ < std::chrono::seconds(2))
        return;
    if (!last && progressShown_ && wall - lastProgress_ < std::chrono::milliseconds(100))
        return;
    if (last && !progressShown_)
        return;
    double fraction = scenario_.End > 0 ? now_ / scenario_.End : 1;
    if (fraction > 1)
        fraction = 1;
    // Into a log rather than a terminal, a line redrawn in place would be
    // hundreds of lines: there the bar is printed at each quarter only.
    const int quarter = last ? 4 : int(fraction * 4);
    if (!terminal_ && (quarter == 0 || quarter <= quartersShown_))
        return;
    quartersShown_ = quarter;
    lastProgress_ = wall;
    progressShown_ = true;
    char bar[31];
    int filled = int(fraction * 30);
    for (int i = 0; i < 30; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[30] = 0;
    fprintf(stderr, "%s[%s] %3d%%  %.1f s of %.1f s, pass %llu", terminal_ ? "\r" : "", bar, int(fraction * 100),
            now_, scenario_.End, static_cast<unsigned long long>(record_.Pass));
    if (last || !terminal_)
        fputc('\n', stderr);
    fflush(stderr);
}

void Runner::Fly()
{
    const double rate = options_.Rate;
    const uint64_t passes = uint64_t(floor(scenario_.End * rate + 1e-9)) + 1;
    const double samplesPerPass = SOFT_DIRECTSOUND_RATE / rate;
    size_t next = 0;
    started_ = Clock::now();
    for (uint64_t pass = 0; pass < passes && !stop_; ++pass) {
        now_ = double(pass) / rate;
        record_.Pass = pass;
        record_.Time = now_;
        record_.PlayCount = 0;
        record_.HandlerCount = 0;
        while (next < scenario_.Actions.size() && scenario_.Actions[next].Time <= now_ + 1e-9)
            Apply(scenario_.Actions[next++]);
        if (options_.BeforePass)
            options_.BeforePass(*this);
        Repeat();
        record_.Airspeed = profile_.At(now_);
        record_.Installed = host_.Installed();
        if (record_.Installed) {
            host_.Update();
            host_.Pass(record_.Airspeed, &panel_);
        }
        if (options_.Record || options_.AfterPass) {
            Gather();
            KnowSpeeds();
            record_.Panel = record_.Installed ? &panel_ : nullptr;
            record_.Host = &host_;
            Write();
            if (options_.AfterPass)
                options_.AfterPass(record_);
        }
        // The software device's time moves on by this pass's share of whole
        // samples, so that no rounding accumulates over a long run.
        uint64_t from = uint64_t(double(pass) * samplesPerPass);
        uint64_t to = uint64_t(double(pass + 1) * samplesPerPass);
        TapAdvance(uint32_t(to - from));
        if (realTime_) {
            std::this_thread::sleep_until(started_ + std::chrono::duration_cast<Clock::duration>(
                                                         std::chrono::duration<double>(double(pass + 1) / rate)));
        }
        if ((pass & 255) == 0 || realTime_)
            ShowProgress(false);
    }
    summary_->Passes = record_.Pass + 1;
    ShowProgress(true);
}

void Runner::Finish()
{
    // Real DirectSound keeps its own time: a call-out started in the last
    // passes is let to play out before the kill releases it.
    if (!soft_ && host_.Installed())
        std::this_thread::sleep_for(std::chrono::milliseconds(realTime_ ? 500 : 800));
    DoKill();
    if (options_.Record || options_.AfterPass)
        Gather();
    TapFlush();
    LeaveSandbox();
    host_.Unload();
    if (events_)
        fclose(events_);
    events_ = nullptr;
    if (!options_.Record)
        return;
    std::string path = JoinPath(options_.Out, "sound.wav");
    if (soft_) {
        // The track up to the end of the run, silence included.
        std::vector<SoundStretch> stretches;
        for (const HeardStretch& stretch : HeardTrack())
            stretches.push_back({stretch.Start, stretch.Samples.data(), stretch.Samples.size()});
        if (WriteMonoWav(stretches, TapClock(), SOFT_DIRECTSOUND_RATE, path)) {
            summary_->SoundFile = path;
            summary_->SoundNote = "the software DirectSound's mix, 11025 Hz mono, in the run's time";
            summary_->Bursts = int(FindStretchBursts(stretches, SOFT_DIRECTSOUND_RATE, 0.01f).size());
        }
    } else if (!options_.Capture.empty()) {
        if (capture_.Channels && WriteRecordingWav(capture_, path)) {
            summary_->SoundFile = path;
            summary_->SoundNote = "what Wine's DirectSound sent to the sound card (" + std::to_string(capture_.Rate) +
                                  " Hz); the recording device is not paced, so silences are not to scale";
            summary_->Bursts = int(FindBursts(capture_, 0.01f).size());
        } else {
            summary_->SoundNote = "nothing was recorded at " + options_.Capture;
        }
    } else {
        summary_->SoundNote = "real DirectSound, not recorded: no sound.wav (bench/run-bench records a run "
                              "without --window)";
    }
}

} // namespace


bool RunScenario(const RunOptions& options, const Scenario& scenario, RunSummary* summary, std::string* error)
{
    *summary = RunSummary();
    Runner runner(options, scenario, summary);
    if (!runner.Start(error))
        return false;
    runner.Fly();
    runner.Finish();
    return true;
}

std::string DescribeSummary(const RunSummary& s)
{
    std::string text = std::to_string(s.Passes) + " passes.";
    char line[160];
    if (s.Plays.empty()) {
        text += "\nNo call-out was started.";
    } else {
        text += "\nCall-outs started:";
        for (const HeardCallout& play : s.Plays) {
            snprintf(line, sizeof line, " %s at %.2f s;", play.Clip, play.Time);
            text += line;
        }
        text.pop_back();
        text += ".";
    }
    if (!s.SoundFile.empty()) {
        snprintf(line, sizeof line, "\nHeard: %d burst%s of sound in ", s.Bursts, s.Bursts == 1 ? "" : "s");
        text += line + s.SoundFile + " (" + s.SoundNote + ").";
    } else if (!s.SoundNote.empty()) {
        text += "\nSound: " + s.SoundNote + ".";
    }
    if (!s.StackMeasured)
        text += "\nStack balance: not applicable (one calling convention on this platform).";
    else if (s.Faults.empty())
        text += "\nStack balance: every call left the stack as it found it.";
    if (s.Faults.empty()) {
        text += "\nNo faults.";
    } else {
        text += "\n" + std::to_string(s.Faults.size()) + " fault" + (s.Faults.size() == 1 ? "" : "s") + ":";
        for (const std::string& fault : s.Faults)
            text += "\n  " + fault;
    }
    return text;
}
