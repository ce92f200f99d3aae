// What the page's script calls: one plain C function per thing it asks or
// tells, numbers and pointers only, so that the script needs no binding
// layer. The pass itself is PagePass; the settings folder is mounted and
// kept by the script (IndexedDB), which is told here when to save it.
#include "bench/sound/ModuleClips.h"
#include "web/PagePass.h"

#include <emscripten/emscripten.h>

#include <string>
#include <vector>

namespace {

PagePass Page;
std::string Problem;
std::vector<uint8_t> Rgba;
std::vector<const char*> Plays;

} // namespace

extern "C" {

// 1 when the gauge is installed; else page_problem says why.
EMSCRIPTEN_KEEPALIVE int page_start(const char* settings)
{
    if (!Page.Start(settings, &Problem))
        return 0;
    return 1;
}

EMSCRIPTEN_KEEPALIVE const char* page_problem()
{
    if (Problem.empty())
        Problem = Page.Problem();
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

// 0 up, 1 down, 2 page up, 3 page down, 4 home, 5 take-off.
EMSCRIPTEN_KEEPALIVE void page_key(int key)
{
    if (key >= 0 && key <= 5)
        Page.Key(AirspeedKey(key));
}

EMSCRIPTEN_KEEPALIVE void page_reset()
{
    Page.ResetSpeeds();
}

EMSCRIPTEN_KEEPALIVE int page_cursor(int x, int y)
{
    return Page.CursorAt(x, y);
}

// The panel as RGBA, for the canvas, 100 × 70 for Lumivane.gau.
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

EMSCRIPTEN_KEEPALIVE double page_passes()
{
    return double(Page.Passes());
}

EMSCRIPTEN_KEEPALIVE double page_airspeed()
{
    return Page.Airspeed();
}

// Speed 1, 2 or 3, -1 while unknown.
EMSCRIPTEN_KEEPALIVE int page_speed(int speed)
{
    const PassRecord& record = Page.Record();
    if (speed < 1 || speed > 3 || !record.SpeedKnown[speed - 1])
        return -1;
    return record.Speeds[speed - 1];
}

// Lamp 1, 2 or 3: 1 lit.
EMSCRIPTEN_KEEPALIVE int page_lamp(int lamp)
{
    const PassRecord& record = Page.Record();
    if (lamp < 1 || lamp > 3 || !record.Panel)
        return 0;
    return record.Panel->Lamps[lamp - 1] == 0.0 ? 1 : 0;
}

// Selector square 1 (Speed1, bottom), 2 or 3 (Speed3, top): 1 lit.
EMSCRIPTEN_KEEPALIVE int page_mark(int mark)
{
    const PassRecord& record = Page.Record();
    if (mark < 1 || mark > 3 || !record.Panel)
        return 0;
    return record.Panel->Marks[mark - 1] == 0.0 ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* page_readout()
{
    const PassRecord& record = Page.Record();
    return record.Panel ? record.Panel->Readout.c_str() : "";
}

// The plays started since the last call; then page_play_clip names each.
EMSCRIPTEN_KEEPALIVE int page_take_plays()
{
    Plays = Page.TakePlays();
    return int(Plays.size());
}

EMSCRIPTEN_KEEPALIVE const char* page_play_clip(int index)
{
    return index >= 0 && size_t(index) < Plays.size() ? Plays[size_t(index)] : "";
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
