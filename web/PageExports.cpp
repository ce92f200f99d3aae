// What the page's script calls: one plain C function per thing it asks or
// tells, numbers and pointers only, so that the script needs no binding
// layer. The pass itself is PagePass; the settings folder is mounted and
// kept by the script (IndexedDB), which is told here when to save it. Every
// number of the gauge's the script needs (the pass rate, the panel's size,
// the speeds and their bounds, the cursors) comes from here, so the script
// names none.
#include "bench/lumivane/Sentences.h"
#include "bench/lumivane/SpeedList.h"
#include "bench/sound/ModuleClips.h"
#include "web/PagePass.h"

#include <emscripten/emscripten.h>

#include <string>
#include <vector>

namespace {

PagePass Page;
std::string Problem;
std::string SpeedsProblem;
std::vector<uint8_t> Rgba;
std::vector<PagePass::Play> Plays;
std::string Sentence;

} // namespace

extern "C" {

// 1 when the gauge is installed; else page_problem says why.
EMSCRIPTEN_KEEPALIVE int page_start(const char* settings)
{
    Problem.clear();
    return Page.Start(settings, &Problem) ? 1 : 0;
}

// Why the start was refused, else what stopped the painter, else "".
EMSCRIPTEN_KEEPALIVE const char* page_problem()
{
    if (Problem.empty())
        return Page.Problem().c_str();
    return Problem.c_str();
}

EMSCRIPTEN_KEEPALIVE void page_step()
{
    Page.Step();
}

EMSCRIPTEN_KEEPALIVE void page_down(int x, int y)
{
    Page.Down(x, y);
}

EMSCRIPTEN_KEEPALIVE void page_up()
{
    Page.Up();
}

// The passes a second the page's clock flies, as the bench does.
EMSCRIPTEN_KEEPALIVE double page_pass_rate()
{
    return PagePass::Rate;
}

// The panel's size in its own pixels, which the pointer's points are in:
// the gauge's own, once page_start has loaded it (0 before).
EMSCRIPTEN_KEEPALIVE int page_panel_width()
{
    return Page.PanelWidth();
}

EMSCRIPTEN_KEEPALIVE int page_panel_height()
{
    return Page.PanelHeight();
}

// How many speeds the gauge keeps: page_speed, page_lamp and page_mark take
// 1 to this.
EMSCRIPTEN_KEEPALIVE int page_speed_count()
{
    return PanelSpeeds;
}

// Speeds as a link carries them ("85,95,105"): why they cannot be the
// gauge's, or "" when they can; then page_set_speeds writes them into the
// page's settings folder, before the gauge is started (1 when written).
EMSCRIPTEN_KEEPALIVE const char* page_speeds_problem(const char* text)
{
    int32_t speeds[PanelSpeeds];
    SpeedsProblem.clear();
    ReadSpeedList(text ? text : "", speeds, &SpeedsProblem);
    return SpeedsProblem.c_str();
}

EMSCRIPTEN_KEEPALIVE int page_set_speeds(const char* folder, const char* text)
{
    int32_t speeds[PanelSpeeds];
    std::string problem;
    return folder && text && ReadSpeedList(text, speeds, &problem) && PagePass::SetSpeeds(folder, speeds) ? 1 : 0;
}

// The keys, one table (bench/flying/HandInput.h): the script builds its key
// map, its buttons and its text from these, by the key's row in the table.
EMSCRIPTEN_KEEPALIVE int page_key_count()
{
    return HandKeyCount;
}

EMSCRIPTEN_KEEPALIVE const char* page_key_name(int row)
{
    return row >= 0 && row < HandKeyCount ? HandKeys[row].Name : "";
}

// The KeyboardEvent.key values of the row, blank-separated.
EMSCRIPTEN_KEEPALIVE const char* page_key_web(int row)
{
    return row >= 0 && row < HandKeyCount ? HandKeys[row].WebKey : "";
}

// What the row's key does, and its label, in the gauge's words.
EMSCRIPTEN_KEEPALIVE const char* page_key_does(int row)
{
    return row >= 0 && row < HandKeyCount ? KeyDoes(HandKeys[row], &Page.Description()) : "";
}

EMSCRIPTEN_KEEPALIVE const char* page_key_hint(int row)
{
    return row >= 0 && row < HandKeyCount ? KeyHint(HandKeys[row], &Page.Description()) : "";
}

// 1 for a key that presses the gauge's panel, 0 for an airspeed key.
EMSCRIPTEN_KEEPALIVE int page_key_presses(int row)
{
    return row >= 0 && row < HandKeyCount && HandKeys[row].Control != PanelControl::None ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void page_key_down(int row, int repeat)
{
    if (row >= 0 && row < HandKeyCount)
        Page.KeyDown(HandKeys[row].Code, repeat != 0);
}

EMSCRIPTEN_KEEPALIVE void page_key_up(int row)
{
    if (row >= 0 && row < HandKeyCount)
        Page.KeyUp(HandKeys[row].Code);
}

EMSCRIPTEN_KEEPALIVE void page_reset()
{
    Page.ResetSpeeds();
}

// The cursor the gauge's area asks for at panel pixel x, y, by name: "up"
// (an up arrow), "down", "hand", or "" for the ordinary arrow.
EMSCRIPTEN_KEEPALIVE const char* page_cursor(int x, int y)
{
    switch (Page.CursorAt(x, y)) {
    case UpArrowCursor:
        return "up";
    case DownArrowCursor:
        return "down";
    case HandCursor:
        return "hand";
    default:
        return "";
    }
}

// The panel as RGBA, for the canvas, page_frame_width × page_frame_height.
EMSCRIPTEN_KEEPALIVE const uint8_t* page_frame()
{
    const Image& frame = Page.Frame();
    Rgba.resize(size_t(frame.Width) * size_t(frame.Height) * 4);
    for (size_t from = 0, to = 0; from < frame.Pixels.size(); from += 3, to += 4) {
        Rgba[to] = frame.Pixels[from];
        Rgba[to + 1] = frame.Pixels[from + 1];
        Rgba[to + 2] = frame.Pixels[from + 2];
        Rgba[to + 3] = 255;
    }
    return Rgba.data();
}

EMSCRIPTEN_KEEPALIVE int page_frame_width()
{
    return Page.Frame().Width;
}

EMSCRIPTEN_KEEPALIVE int page_frame_height()
{
    return Page.Frame().Height;
}

EMSCRIPTEN_KEEPALIVE int page_frame_changed()
{
    return Page.FrameChanged() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE double page_airspeed()
{
    return Page.Airspeed();
}

// Everything below is the one reading of the panel (PagePass::Reading).

// Speed 1, 2 or 3 as the gauge holds it, -1 while it cannot be known. The
// gauge's own speeds lie between -99 and 999 on its readout; a value beyond
// is still given as it is.
EMSCRIPTEN_KEEPALIVE int page_speed_known(int speed)
{
    const PanelReading& reading = Page.Reading();
    return speed >= 1 && speed <= PanelSpeeds && reading.Lumivane && reading.SpeedKnown[speed - 1] ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int page_speed(int speed)
{
    if (!page_speed_known(speed))
        return -1;
    return Page.Reading().Speeds[speed - 1];
}

// Lamp 1, 2 or 3: 1 lit.
EMSCRIPTEN_KEEPALIVE int page_lamp(int lamp)
{
    const PanelDisplay& display = Page.Reading().Display;
    return lamp >= 1 && lamp <= PanelSpeeds && display.Lamps[lamp - 1] ? 1 : 0;
}

// Selector square 1 (Speed1, bottom), 2 or 3 (Speed3, top): 1 lit.
EMSCRIPTEN_KEEPALIVE int page_mark(int mark)
{
    const PanelDisplay& display = Page.Reading().Display;
    return mark >= 1 && mark <= PanelSpeeds && display.Marks[mark - 1] ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* page_readout()
{
    return Page.Reading().Display.Readout;
}

// "Speed2 selected: 91", or empty while no one speed is selected.
EMSCRIPTEN_KEEPALIVE const char* page_selection()
{
    Sentence = SelectionSentence(Page.Reading());
    return Sentence.c_str();
}

// The plays started since the last call; then page_play_clip names each and
// page_play_callout says which call-out it is ("Speed1: single beep").
EMSCRIPTEN_KEEPALIVE int page_take_plays()
{
    Plays = Page.TakePlays();
    return int(Plays.size());
}

EMSCRIPTEN_KEEPALIVE const char* page_play_clip(int index)
{
    return index >= 0 && size_t(index) < Plays.size() ? Plays[size_t(index)].Clip : "";
}

EMSCRIPTEN_KEEPALIVE const char* page_play_callout(int index)
{
    return index >= 0 && size_t(index) < Plays.size() ? Plays[size_t(index)].Callout.c_str() : "";
}

EMSCRIPTEN_KEEPALIVE int page_files_changed()
{
    return Page.TakeFilesChanged() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE double page_measure(int passes)
{
    return Page.Measure(passes);
}

// The module's usable clips, as the bench's tap read them when the run loaded
// the module (bench/sound/ModuleClips.h): the very bytes the gauge copies into
// its DirectSound buffers, for Web Audio to play.
EMSCRIPTEN_KEEPALIVE int page_clip_count()
{
    return ModuleClipCount();
}

EMSCRIPTEN_KEEPALIVE const char* page_clip_name(int index)
{
    const ModuleClip* clip = ModuleClipAt(index);
    return clip ? clip->Name : "";
}

EMSCRIPTEN_KEEPALIVE const uint8_t* page_clip_data(int index)
{
    const ModuleClip* clip = ModuleClipAt(index);
    return clip ? clip->Data : nullptr;
}

EMSCRIPTEN_KEEPALIVE int page_clip_bytes(int index)
{
    const ModuleClip* clip = ModuleClipAt(index);
    return clip ? int(clip->Bytes) : 0;
}

EMSCRIPTEN_KEEPALIVE int page_clip_rate(int index)
{
    const ModuleClip* clip = ModuleClipAt(index);
    return clip ? int(clip->Rate) : 0;
}

EMSCRIPTEN_KEEPALIVE int page_clip_channels(int index)
{
    const ModuleClip* clip = ModuleClipAt(index);
    return clip ? clip->Channels : 0;
}

EMSCRIPTEN_KEEPALIVE int page_clip_bits(int index)
{
    const ModuleClip* clip = ModuleClipAt(index);
    return clip ? clip->Bits : 0;
}

} // extern "C"
