// Frames are named by their pass (frames/pass-000108.png), so that a frame
// is found from a line of events.jsonl and the folder lists in time order.
// The first failure to write stops the writing, and Finish reports it: a run
// is never stopped for a picture.
#include "bench/pictures/FrameRecorder.h"

#include "bench/files/Files.h"

#include <stdio.h>

#include <utility>

namespace {

// The contact sheet's frames are scaled at most this much: at three times,
// a row of six panels is as wide as a screen, and the labels stay readable.
const int MostSheetScale = 3;
// At most this many frames on the sheet, evenly spaced through the run.
const size_t MostSheetFrames = 24;

} // namespace

// The time and airspeed, and what the panel's reader says changed: what the
// pass started that a person hears, or after a handler the panel's state.
std::string FrameRecorder::Label(const PassRecord& pass) const
{
    char text[64];
    if (!pass.Installed) {
        snprintf(text, sizeof text, "%.2f s  killed", pass.Time);
        return text;
    }
    snprintf(text, sizeof text, "%.2f s  %.0f kn", pass.Time, pass.Airspeed);
    std::string label = text;
    if (!reader_)
        return label;
    const std::string event = reader_->Event();
    const std::string state = pass.HandlerCount > 0 ? reader_->State() : std::string();
    if (!event.empty())
        label += "  " + event;
    else if (!state.empty())
        label += "  " + state;
    return label;
}

std::string FrameName(uint64_t pass, uint64_t lastPass)
{
    int digits = 6;
    for (uint64_t rest = lastPass / 1000000; rest > 0; rest /= 10)
        ++digits;
    char name[48];
    snprintf(name, sizeof name, "pass-%0*llu.png", digits, static_cast<unsigned long long>(pass));
    return name;
}

FrameRecorder::FrameRecorder(const std::string& out, FrameChoice choice, int scale, uint64_t lastPass,
    const GaugeReader* reader)
    : out_(out), folder_(JoinPath(out, "frames")), choice_(choice), scale_(scale < 1 ? 1 : scale),
      lastPass_(lastPass), reader_(reader)
{
}

void FrameRecorder::Take(const PassRecord& pass)
{
    if (choice_ == FrameChoice::None || !painter_.Paint(pass))
        return;
    const Image& frame = painter_.Frame();
    // A change of what the gauge returned need not change the picture.
    const bool changed = painter_.Changed() && frame != lastChanged_;
    if (changed) {
        selector_.Offer(frame, Label(pass));
        lastChanged_ = frame;
    }
    if (!problem_.empty() || (choice_ == FrameChoice::Changes && !changed))
        return;
    if (!folderMade_ && !MakeFolders(folder_)) {
        problem_ = "cannot make " + folder_;
        return;
    }
    folderMade_ = true;
    const std::string path = JoinPath(folder_, FrameName(pass.Pass, lastPass_));
    const std::string* png = nullptr;
    if (!Encoded(frame, &png) || !WriteWholeFile(path, *png)) {
        problem_ = "cannot write " + path;
        return;
    }
    ++written_;
}

bool FrameRecorder::Encoded(const Image& frame, const std::string** png)
{
    for (size_t i = encoded_.size(); i-- > 0;) {
        if (encoded_[i].Frame == frame) {
            *png = &encoded_[i].Png;
            return true;
        }
    }
    EncodedFrame made{frame, {}};
    if (!EncodeFrame(frame, scale_, &made.Png))
        return false;
    if (encoded_.size() == MostEncoded)
        encoded_.erase(encoded_.begin());
    encoded_.push_back(std::move(made));
    *png = &encoded_.back().Png;
    return true;
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
