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
#include <stdlib.h>

#include <chrono>

namespace {

// The bench window's limits and take-off: from 0 to this far above Speed3
// (past Speed3 + 10, where every lamp goes dark) over TakeOffSeconds, then held.
const double MostAirspeed = 999;
const double TakeOffBeyondSpeed3 = 20, TakeOffSeconds = 10;
const int DefaultSpeed3 = 100;

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

// The readout's number, as the bench's run reads it: blanks, then digits.
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

} // namespace

bool PagePass::Start(const std::string& settings, std::string* error)
{
    settings_ = settings;
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
    filesChanged_ = true;
}

void PagePass::Run(MouseArea* area, int x, int y)
{
    host_.RunHandler(area, x, y);
    if (record_.HandlerCount < PassRecord::MaxHandlers)
        record_.Handlers[record_.HandlerCount++] = host_.AreaNumber(area);
    filesChanged_ = true;
    syncNeeded_ = true;
}

// The first repeat comes RepeatDelay after the press, then one every
// RepeatPeriod, while the button is down; the tolerance keeps a repeat due
// exactly at a pass's time from slipping to the next through rounding.
void PagePass::Repeat(double now)
{
    if (!held_)
        return;
    const double tolerance = 1e-9;
    for (;;) {
        double at = heldStart_ + RepeatDelay + RepeatPeriod * repeats_;
        if (at > now + tolerance)
            break;
        MouseArea* area = host_.AreaAt(heldX_, heldY_, Button::Left);
        if (area && (area->Events & RepeatWhileHeld))
            Run(area, heldX_, heldY_);
        ++repeats_;
    }
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
            held_ = true;
            heldX_ = input.X;
            heldY_ = input.Y;
            heldStart_ = now;
            repeats_ = 0;
            if (MouseArea* area = host_.AreaAt(input.X, input.Y, Button::Left))
                Run(area, input.X, input.Y);
            break;
        case Input::Up:
            held_ = false;
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
    Repeat(now);
    record_.Airspeed = airspeed_;
    record_.Installed = host_.Installed();
    if (record_.Installed) {
        host_.Update();
        host_.Pass(airspeed_, &panel_);
    }
    Gather();
    KnowSpeeds();
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

void PagePass::KnowSpeeds()
{
    if (filesChanged_) {
        for (int i = 0; i < 3; ++i)
            fileKnown_[i] = ReadSpeedFile(SettingsFilePath(settings_, i + 1), &fileSpeed_[i]);
        filesChanged_ = false;
    }
    int selected = -1, shown = 0;
    for (int i = 0; i < 3; ++i)
        if (panel_.Marks[i] == 0.0) {
            selected = i;
            ++shown;
        }
    int value = 0;
    const bool readout = record_.Installed && shown == 1 && ReadoutNumber(panel_.Readout, &value);
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

// The first area of the group under the point; elsewhere the group's own, as
// the bench's window chooses its cursor.
int32_t PagePass::CursorAt(int x, int y) const
{
    const MouseArea* areas = host_.MouseAreas();
    if (!areas || x < 0 || y < 0 || x >= GaugeHost::GaugeWidth || y >= GaugeHost::GaugeHeight)
        return NoCursor;
    int32_t code = areas[0].Type == AreaGroupStart ? areas[0].Cursor : NoCursor;
    for (const MouseArea* area = areas; area->Type != AreaListEnd && area - areas < 256; ++area)
        if (area->Type == AreaInGroup && x >= area->X && x < area->X + area->Width && y >= area->Y &&
            y < area->Y + area->Height)
            return area->Cursor;
    return code;
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
