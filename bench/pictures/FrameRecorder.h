// The frames of a recorded run: each pass's panel as a PNG in the output
// folder's frames/ (every pass, or only those whose picture changed), and at
// the end the contact sheet frames.png of the frames where something changed,
// each labelled with its time and airspeed. Take is meant for the run's
// ShowPass; with frames off a run is given none, so it paints nothing.
#ifndef LUMIVANE_BENCH_FRAMERECORDER_H
#define LUMIVANE_BENCH_FRAMERECORDER_H

#include "bench/pictures/ContactSheet.h"
#include "bench/pictures/PassPainter.h"

#include <string>

enum class FrameChoice { None, Changes, All };

class FrameRecorder {
public:
    // `out`: the run's output folder; `scale`: each frame's pixels, as
    // squares of scale × scale.
    FrameRecorder(const std::string& out, FrameChoice choice, int scale);

    // Paints the pass and writes its frame if it is one to keep.
    void Take(const PassRecord& pass);
    // Writes the contact sheet. `note` says what was written and where, or
    // what went wrong; false when something could not be written.
    bool Finish(std::string* note);


private:
    std::string out_;
    std::string folder_;
    FrameChoice choice_;
    int scale_;
    PassPainter painter_;
    FrameSelector selector_;
    Image lastChanged_;
    int written_ = 0;
    bool folderMade_ = false;
    std::string problem_;
};

#endif
