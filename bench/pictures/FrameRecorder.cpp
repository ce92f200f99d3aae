// Frames are named by their pass (frames/pass-000108.png), so that a frame
// is found from a line of events.jsonl and the folder lists in time order.
// The first failure to write stops the writing, and Finish reports it: a run
// is never stopped for a picture.
#include "bench/pictures/FrameRecorder.h"

#include "bench/files/Files.h"

#include <errno.h>
#include <stdio.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#endif

namespace {

// The contact sheet's frames are scaled at most this much: at three times,
// a row of six panels is as wide as a screen, and the labels stay readable.
const int MostSheetScale = 3;
// At most this many frames on the sheet, evenly spaced through the run.
const size_t MostSheetFrames = 24;

// The time and airspeed, and what the panel's reading says changed: the
// call-out a play started, or after a handler the selected speed.
std::string Label(const PassRecord& pass)
{
    char text[64];
    if (!pass.Installed) {
        snprintf(text, sizeof text, "%.2f s  killed", pass.Time);
        return text;
    }
    snprintf(text, sizeof text, "%.2f s  %.0f kn", pass.Time, pass.Airspeed);
    std::string label = text;
    const PanelReading* reading = pass.Reading;
    if (reading && reading->CalloutCount > 0)
        label += "  " + CalloutSentence(reading->Callouts[reading->CalloutCount - 1]);
    else if (reading && pass.HandlerCount > 0 && !SelectionSentence(*reading).empty())
        label += "  " + SelectionSentence(*reading);
    return label;
}

} // namespace

FrameRecorder::FrameRecorder(const std::string& out, FrameChoice choice, int scale)
    : out_(out), folder_(JoinPath(out, "frames")), choice_(choice), scale_(scale < 1 ? 1 : scale)
{
}

void FrameRecorder::Take(const PassRecord& pass)
{
    if (choice_ == FrameChoice::None || !painter_.Paint(pass))
        return;
    const Image& frame = painter_.Frame();
    // A change of what the gauge returned need not change the picture.
    const bool changed = painter_.Changed() && frame != lastChanged_;
    if (changed)
        selector_.Offer(frame, Label(pass));
    if (!problem_.empty() || (choice_ == FrameChoice::Changes && !changed))
        return;
    if (!folderMade_ && !MakeFolders(folder_)) {
        problem_ = "cannot make " + folder_;
        return;
    }
    folderMade_ = true;
    char name[40];
    snprintf(name, sizeof name, "pass-%06llu.png", static_cast<unsigned long long>(pass.Pass));
    const std::string path = JoinPath(folder_, name);
    if (!WriteFrame(path, frame, scale_)) {
        problem_ = "cannot write " + path;
        return;
    }
    if (changed)
        lastChanged_ = frame;
    ++written_;
}

bool FrameRecorder::Finish(std::string* note)
{
    if (choice_ == FrameChoice::None) {
        note->clear();
        return true;
    }
    if (!painter_.Problem().empty()) {
        *note = "No frames: " + painter_.Problem() + ".";
        return false;
    }
    std::string text = "Frames: " + std::to_string(written_) + " in " + folder_;
    if (!problem_.empty())
        text += ", then " + problem_;
    text += ".";
    const std::string sheet = JoinPath(out_, "frames.png");
    const std::vector<LabelledFrame> picked = selector_.Pick(MostSheetFrames);
    const int sheetScale = scale_ < MostSheetScale ? scale_ : MostSheetScale;
    std::string why;
    const bool complete = WriteContactSheet(sheet, picked, sheetScale, &why);
    // Without the font the sheet is still written, only without labels.
    if (complete || (!picked.empty() && why.rfind("the labels", 0) == 0))
        text += "\nContact sheet: " + sheet + ", " + std::to_string(picked.size()) + " of the " +
                std::to_string(selector_.Offered()) + " frames where something changed" +
                (complete ? "" : " (" + why + ")") + ".";
    else
        text += "\nNo contact sheet: " + why + ".";
    if (!painter_.TextProblem().empty())
        text += "\n" + painter_.TextProblem() + ".";
    *note = text;
    return problem_.empty() && complete;
}
