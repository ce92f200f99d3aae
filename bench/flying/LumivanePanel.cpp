// The panel is known by its chain: a background, six icons and a text
// element, with the module's own bitmap ids, and by its registered areas:
// decrease, increase, then the three selector buttons from the top. A module
// whose records differ is another gauge, and nothing here is said of it.
//
// The speeds follow the gauge's own steps as a host can watch them: the
// handlers it ran, the readout's result after each pass, and the settings
// files at that moment. Within a pass the lamps are evaluated before the
// readout, so a load in that pass changes the speeds only after the lamps
// have judged the airspeed; the call-out sequence is followed in that order.
#include "bench/flying/LumivanePanel.h"

#include "bench/hosting/SettingsSandbox.h"
#include "platform/ScanInteger.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

// The chain: kinds and bitmap ids, background first, readout last.
constexpr int ChainLength = 8;
const int32_t ChainKinds[ChainLength] = {StaticImageKind, IconKind, IconKind, IconKind,
                                         IconKind,        IconKind, IconKind, TextStringKind};
const int32_t ChainBitmaps[ChainLength] = {4096, 8192, 8195, 8198, 12288, 12291, 12294, -1};
constexpr int ReadoutElement = PanelReadoutElement;

// The areas after the group's start, in list order, with their cursors.
constexpr int AreaCount = 5;
const PanelArea AreaRoles[AreaCount] = {PanelArea::Decrease, PanelArea::Increase, PanelArea::SelectSpeed3,
                                        PanelArea::SelectSpeed2, PanelArea::SelectSpeed1};
const int32_t AreaCursors[AreaCount] = {DownArrowCursor, UpArrowCursor, HandCursor, HandCursor, HandCursor};

// The gauge's starting values at a fresh load, and its selection then.
const int32_t StartingSpeeds[PanelSpeeds] = {80, 90, 100};
constexpr int StartingSelection = 2;

// The read order of the settings files, by speed.
const int ReadOrder[PanelSpeeds] = {3, 1, 2};

// Far more than any number a person writes; a file that holds white space or
// digits beyond this is not followed to its end.
constexpr long MostBytes = 65536;

bool IsLumivaneAreas(const MouseArea* areas)
{
    if (!areas || areas[0].Type != AreaGroupStart)
        return false;
    for (int i = 0; i < AreaCount; ++i)
        if (areas[i + 1].Type != AreaInGroup || areas[i + 1].Cursor != AreaCursors[i])
            return false;
    return areas[AreaCount + 1].Type == AreaGroupEnd;
}

// Which speed's call-out a clip is, where the clip alone tells: only Speed3's
// is the double beep.
int CalloutOfClip(const char* clip)
{
    return clip && strcmp(clip, "Wave2") == 0 ? 3 : 0;
}

bool SameClip(int speed, const char* clip)
{
    return clip && strcmp(clip, speed == 3 ? "Wave2" : "Wave1") == 0;
}

} // namespace

PanelShows ReadPanel(const PassResults* results)
{
    PanelShows shows;
    if (!results || results->Count != ChainLength)
        return shows;
    for (int i = 0; i < ChainLength; ++i)
        if (results->Elements[i].Kind != ChainKinds[i] || results->Elements[i].BitmapId != ChainBitmaps[i])
            return shows;
    shows.Lumivane = true;
    int lit = 0;
    for (int k = 0; k < PanelSpeeds; ++k) {
        shows.Lamps[k] = results->Elements[PanelLampElements[k]].Image == 0;
        shows.Marks[k] = results->Elements[PanelMarkElements[k]].Image == 0;
        if (shows.Marks[k]) {
            shows.Selected = k;
            ++lit;
        }
    }
    if (lit != 1)
        shows.Selected = -1;
    const ElementResult& readout = results->Elements[ReadoutElement];
    shows.Readout = readout.Text;
    shows.Formatted = readout.Called && readout.Result == readout.Argument;
    return shows;
}

PassResults PanelResults(const bool lamps[PanelSpeeds], const bool marks[PanelSpeeds], const char* readout)
{
    PassResults results;
    results.Count = ChainLength;
    for (int i = 0; i < ChainLength; ++i) {
        ElementResult& element = results.Elements[i];
        element.Kind = ChainKinds[i];
        element.BitmapId = ChainBitmaps[i];
        element.Called = i > 0;
    }
    for (int k = 0; k < PanelSpeeds; ++k) {
        ElementResult& lamp = results.Elements[PanelLampElements[k]];
        lamp.Result = lamps[k] ? 0.0 : -1.0;
        lamp.Image = lamps[k] ? 0 : -1;
        ElementResult& mark = results.Elements[PanelMarkElements[k]];
        mark.Result = marks[k] ? 0.0 : -1.0;
        mark.Image = marks[k] ? 0 : -1;
    }
    ElementResult& text = results.Elements[ReadoutElement];
    text.Argument = GaugeHost::TextArgument;
    text.Result = GaugeHost::TextArgument;
    size_t length = 0;
    while (readout && length < size_t(ElementResult::TextBytes) && readout[length])
        ++length;
    memcpy(text.Text, readout ? readout : "", length);
    text.Text[length] = 0;
    return results;
}

bool ReadoutNumber(const char* text, int32_t* value)
{
    size_t i = 0;
    while (text[i] == ' ')
        ++i;
    const bool negative = text[i] == '-';
    if (negative)
        ++i;
    const size_t digits = i;
    int64_t number = 0;
    for (; text[i] >= '0' && text[i] <= '9' && i - digits < 10; ++i)
        number = number * 10 + (text[i] - '0');
    if (i == digits || text[i] != 0)
        return false;
    number = negative ? -number : number;
    if (number < INT32_MIN || number > INT32_MAX)
        return false;
    *value = int32_t(number);
    return true;
}

PanelArea AreaRole(const MouseArea* areas, int number)
{
    if (number < 1 || number > AreaCount || !IsLumivaneAreas(areas))
        return PanelArea::None;
    return AreaRoles[number - 1];
}

bool AreaMiddle(const MouseArea* areas, PanelArea area, int* x, int* y)
{
    if (!IsLumivaneAreas(areas))
        return false;
    for (int i = 0; i < AreaCount; ++i) {
        if (AreaRoles[i] != area)
            continue;
        const MouseArea& a = areas[i + 1];
        *x = a.X + a.Width / 2;
        *y = a.Y + a.Height / 2;
        return true;
    }
    return false;
}

const char* SettingsFileOf(int speed)
{
    return speed == 1 ? "C:\\pelmo1" : speed == 2 ? "C:\\pelmo2" : "C:\\pelmo";
}

std::string SettingsFilePath(const std::string& sandbox, int speed)
{
    return SandboxedPath(sandbox, SettingsFileOf(speed));
}

SettingsNumber ScanSettingsFile(const std::string& path, int32_t* value)
{
    // Text mode, as the gauge opens it: the same C library turns the same
    // bytes into the same characters (under Wine, msvcrt's end of file at
    // Ctrl-Z among them).
    FILE* file = fopen(path.c_str(), "r");
    if (!file)
        return SettingsNumber::Unopened;
    long read = 0;
    bool cut = false;
    auto next = [&]() {
        if (++read > MostBytes) {
            cut = true;
            return EOF;
        }
        return fgetc(file);
    };
    int32_t scanned = 0;
    const bool number = ScanIntegerFrom(next, &scanned);
    cut = cut || ferror(file);
    fclose(file);
    if (cut)
        return SettingsNumber::TooLong;
    if (!number)
        return SettingsNumber::NoNumber;
    *value = scanned;
    return SettingsNumber::Number;
}

void PanelReader::ModuleLoaded(const std::string& sandbox)
{
    sandbox_ = sandbox;
    reading_ = PanelReading();
    // Known once a pass shows the chain.
    reading_.Lumivane = false;
    for (int s = 0; s < PanelSpeeds; ++s) {
        reading_.SpeedKnown[s] = true;
        reading_.Speeds[s] = StartingSpeeds[s];
        adjusted_[s] = false;
    }
    selected_ = StartingSelection;
    selectedKnown_ = true;
    stage_ = 0;
    stageKnown_ = true;
}

void PanelReader::Forget()
{
    for (int s = 0; s < PanelSpeeds; ++s)
        reading_.SpeedKnown[s] = false;
}

void PanelReader::HandlerRan(const MouseArea* areas, int area)
{
    switch (AreaRole(areas, area)) {
    case PanelArea::SelectSpeed1:
    case PanelArea::SelectSpeed2:
    case PanelArea::SelectSpeed3:
        selected_ = AreaRole(areas, area) == PanelArea::SelectSpeed1   ? 0
                    : AreaRole(areas, area) == PanelArea::SelectSpeed2 ? 1
                                                                       : 2;
        selectedKnown_ = true;
        break;
    case PanelArea::Decrease:
    case PanelArea::Increase:
        // The adjust writes the selected speed's file as it leaves memory.
        if (selectedKnown_)
            adjusted_[selected_] = true;
        else
            Forget();
        break;
    case PanelArea::None:
        break;
    }
}

void PanelReader::ReadFile(int speed, bool keepWithoutNumber, bool* opened)
{
    int32_t value = 0;
    const SettingsNumber number = ScanSettingsFile(SettingsFilePath(sandbox_, speed), &value);
    *opened = number != SettingsNumber::Unopened;
    bool& known = reading_.SpeedKnown[speed - 1];
    if (number == SettingsNumber::Number) {
        known = true;
        reading_.Speeds[speed - 1] = value;
    } else if (number == SettingsNumber::TooLong || !keepWithoutNumber) {
        known = false;
    }
}

// Lamp k sounds call-out k when it is lit and call-out k - 1 was the last
// one sounded; lamp 1 dark below Speed1 re-arms the sequence, but dark above
// Speed3 + 10, or for an airspeed that is not a number, it does not.
void PanelReader::FollowStage(double airspeed, const char* const* plays, int playCount)
{
    int expected[PanelSpeeds];
    int expectedCount = 0;
    for (int k = 1; k <= PanelSpeeds; ++k) {
        if (reading_.Shows.Lamps[k - 1]) {
            if (stageKnown_ && stage_ == k - 1) {
                expected[expectedCount++] = k;
                stage_ = k;
            }
        } else if (k == 1 && !isnan(airspeed)) {
            if (!reading_.SpeedKnown[0])
                stageKnown_ = false;
            else if (airspeed < double(reading_.Speeds[0])) {
                stage_ = 0;
                stageKnown_ = true;
            }
        }
    }
    bool matched = expectedCount == playCount;
    for (int i = 0; matched && i < playCount; ++i)
        matched = SameClip(expected[i], plays[i]);
    for (int i = 0; i < playCount && reading_.CalloutCount < PanelReading::MostCallouts; ++i)
        reading_.Callouts[reading_.CalloutCount++] = matched ? expected[i] : CalloutOfClip(plays[i]);
    // A play the steps did not foresee: the sequence is no longer followed.
    if (!matched && playCount > 0)
        stageKnown_ = false;
}

void PanelReader::Passed(const PassResults* results, double airspeed, const char* const* plays, int playCount)
{
    reading_.CalloutCount = 0;
    reading_.Shows = ReadPanel(results);
    // Killed, the gauge evaluates nothing and keeps what it holds.
    if (!results)
        return;
    const PanelShows& shows = reading_.Shows;
    reading_.Lumivane = shows.Lumivane;
    if (!shows.Lumivane) {
        Forget();
        return;
    }
    // The marks are evaluated after every handler of the pass.
    if (shows.Selected >= 0) {
        selected_ = shows.Selected;
        selectedKnown_ = true;
    }
    bool opened = false;
    for (int s = 0; s < PanelSpeeds; ++s) {
        if (adjusted_[s])
            ReadFile(s + 1, false, &opened);
        adjusted_[s] = false;
    }
    FollowStage(airspeed, plays, playCount);
    if (!reading_.Loaded) {
        const ElementResult& readout = results->Elements[ReadoutElement];
        if (shows.Formatted) {
            // Every file was opened and read in this pass.
            for (int speed : ReadOrder) {
                ReadFile(speed, true, &opened);
                if (!opened)
                    reading_.SpeedKnown[speed - 1] = false;
            }
            reading_.Loaded = true;
        } else if (readout.Called && readout.Result == 1.0) {
            // The load stopped at the first file that would not open.
            for (int speed : ReadOrder) {
                ReadFile(speed, true, &opened);
                if (!opened)
                    break;
            }
        } else {
            Forget();
        }
    }
    int32_t shown = 0;
    if (shows.Formatted && selectedKnown_ && ReadoutNumber(shows.Readout, &shown)) {
        // The readout is what the gauge holds; a reading that disagrees with
        // it has lost the gauge's steps, and knows only what it shows.
        if (reading_.SpeedKnown[selected_] && reading_.Speeds[selected_] != shown)
            Forget();
        reading_.SpeedKnown[selected_] = true;
        reading_.Speeds[selected_] = shown;
    }
}

std::string SelectionSentence(const PanelReading& reading)
{
    const int s = reading.Shows.Selected;
    if (!reading.Shows.Lumivane || s < 0)
        return std::string();
    return "Speed" + std::to_string(s + 1) + " selected: " +
           (reading.SpeedKnown[s] ? std::to_string(reading.Speeds[s]) : std::string("?"));
}

std::string CalloutSentence(int speed)
{
    if (speed < 1 || speed > PanelSpeeds)
        return "A call-out";
    return "Speed" + std::to_string(speed) + (speed == 3 ? ": double beep" : ": single beep");
}
