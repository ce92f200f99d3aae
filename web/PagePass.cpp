// The page's pass, step by step as the bench's run flies one (bench/flying/
// Run.cpp) and as its window feeds it (bench/window/WindowWindows.cpp); see
// PagePass.h. The page calls Step once for each pass its clock says is due,
// so the passes, the repeats and the take-off are counted in passes and are
// the same however the browser spaces its frames.
#include "web/PagePass.h"

#include "bench/hosting/SettingsSandbox.h"
#include "bench/sound/SoundTap.h"
#include "platform/SoftDirectSound.h"
#include "platform/web/LinkedModule.h"

#include <math.h>
#include <stdio.h>

#include <chrono>

namespace {

// The bench window's limits and take-off: from 0 to this far above Speed3
// (past Speed3 + 10, where every lamp goes dark) over TakeOffSeconds, then held.
const double MostAirspeed = 999;
const double TakeOffBeyondSpeed3 = 20, TakeOffSeconds = 10;
const int DefaultSpeed3 = 100;

} // namespace

bool PagePass::Start(const std::string& settings, std::string* error)
{
    settings_ = settings;
    speeds_ = LoggedSpeeds(settings_);
    if (!host_.Load(LINKED_MODULE_NAME, error))
        return false;
    // The module imports DirectSoundCreate from the program, whose definition
    // is the tap's: every play reaches the log the page's sound follows.
    TapDirectSound(host_.ModuleHandle(), true);
    if (!EnterSandbox(host_.ModuleHandle(), settings_, error)) {
        host_.Unload();
        return false;
    }
    ClearSoundEvents();
    ClearHeardTrack();
    host_.TraceServices(false);
    host_.ConnectServices();
    Install();
    return true;
}

void PagePass::Install()
{
    if (host_.Installed())
        return;
    host_.Query();
    host_.Install(0);
    host_.Initialize();
    speeds_.FilesChanged();
}

void PagePass::Run(MouseArea* area, int x, int y)
{
    host_.RunHandler(area, x, y);
    if (record_.HandlerCount < PassRecord::MaxHandlers)
        record_.Handlers[record_.HandlerCount++] = host_.AreaNumber(area);
    speeds_.FilesChanged();
    syncNeeded_ = true;
}

void PagePass::Step()
{
    const double now = double(pass_) / Rate;
    record_.Pass = pass_;
    record_.Time = now;
    record_.PlayCount = 0;
    record_.HandlerCount = 0;
    for (const Input& input : inputs_) {
        switch (input.What) {
        case Input::Down:
            held_.Start(input.X, input.Y, Button::Left, now, INFINITY);
            if (MouseArea* area = host_.AreaAt(input.X, input.Y, Button::Left))
                Run(area, input.X, input.Y);
            break;
        case Input::Up:
            held_.Release();
            break;
        case Input::Airspeed:
            takingOff_ = false;
            airspeed_ = input.Value;
            break;
        case Input::TakeOff:
            takingOff_ = true;
            takeOffStart_ = now;
            takeOffTop_ = (record_.SpeedKnown[2] ? record_.Speeds[2] : DefaultSpeed3) + TakeOffBeyondSpeed3;
            break;
        }
    }
    inputs_.clear();
    aimed_ = false;
    if (takingOff_) {
        const double part = (now - takeOffStart_) / TakeOffSeconds;
        airspeed_ = takeOffTop_ * (part < 1 ? part : 1);
        takingOff_ = part < 1; // then held where it got to
    }
    held_.Repeat(host_, now, [this](MouseArea* area, int x, int y) { Run(area, x, y); });
    record_.Airspeed = airspeed_;
    record_.Installed = host_.Installed();
    if (record_.Installed) {
        host_.Update();
        host_.Pass(airspeed_, &panel_);
    }
    Gather();
    record_.Panel = record_.Installed ? &panel_ : nullptr;
    speeds_.Know(&record_);
    record_.Panel = record_.Installed ? &panel_ : nullptr;
    record_.Host = &host_;
    if (!painter_.Paint(record_))
        problem_ = painter_.Problem();
    // The software device's time moves on by this pass's share of whole
    // samples, so that no rounding accumulates.
    const double samplesPerPass = SOFT_DIRECTSOUND_RATE / Rate;
    const uint64_t from = uint64_t(double(pass_) * samplesPerPass);
    const uint64_t to = uint64_t(double(pass_ + 1) * samplesPerPass);
    TapAdvance(uint32_t(to - from));
    ++pass_;
}

void PagePass::Gather()
{
    const std::vector<SoundEvent>& events = SoundEvents();
    for (; seenEvents_ < events.size(); ++seenEvents_) {
        const SoundEvent& e = events[seenEvents_];
        if (e.What != SoundEvent::Played || e.Result < 0)
            continue;
        const char* clip = e.Clip ? e.Clip : "unknown";
        if (record_.PlayCount < PassRecord::MaxPlays)
            record_.Plays[record_.PlayCount++] = clip;
        plays_.push_back({pass_, clip});
    }
}

void PagePass::Down(int x, int y)
{
    inputs_.push_back({Input::Down, x, y, 0});
}

void PagePass::Up()
{
    inputs_.push_back({Input::Up, 0, 0, 0});
}

void PagePass::Key(AirspeedKey key)
{
    // Steps count from what earlier keys asked for, even before a pass has
    // applied it, so that a held key's repeats add up.
    const double from = aimed_ ? aim_ : floor(airspeed_ + 0.5);
    double to = from;
    switch (key) {
    case AirspeedKey::Up:
        to = from + 1;
        break;
    case AirspeedKey::Down:
        to = from - 1;
        break;
    case AirspeedKey::PageUp:
        to = from + 10;
        break;
    case AirspeedKey::PageDown:
        to = from - 10;
        break;
    case AirspeedKey::Home:
        to = 0;
        break;
    case AirspeedKey::TakeOff:
        aimed_ = false;
        inputs_.push_back({Input::TakeOff, 0, 0, 0});
        return;
    }
    to = to < 0 ? 0 : to > MostAirspeed ? MostAirspeed : to;
    aimed_ = true;
    aim_ = to;
    inputs_.push_back({Input::Airspeed, 0, 0, to});
}

void PagePass::ResetSpeeds()
{
    if (host_.Installed())
        host_.Kill();
    for (int speed = 1; speed <= 3; ++speed)
        remove(SettingsFilePath(settings_, speed).c_str());
    syncNeeded_ = true;
}

int32_t PagePass::CursorAt(int x, int y) const
{
    return host_.CursorCodeAt(x, y);
}

double PagePass::Measure(int passes)
{
    if (passes < 1 || !host_.Installed())
        return 0;
    PassRecord record = record_;
    record.Panel = &panel_;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < passes; ++i) {
        host_.Update();
        host_.Pass(airspeed_, &panel_);
        measured_.Paint(record);
    }
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / passes;
}

std::vector<StartedPlay> PagePass::TakePlays()
{
    std::vector<StartedPlay> taken;
    taken.swap(plays_);
    return taken;
}

bool PagePass::TakeFilesChanged()
{
    const bool changed = syncNeeded_;
    syncNeeded_ = false;
    return changed;
}
