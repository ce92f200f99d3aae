// The frames of a recorded run: each pass's panel as a PNG in the output
// folder's frames/ (every pass, or only those whose picture changed), and at
// the end the contact sheet frames.png of the frames where something changed,
// each labelled with its time and airspeed, and with what the run's reader of
// the gauge's panel says happened. Take is meant for the run's ShowPass; with
// frames off a run is given none, so it paints nothing.
#ifndef LUMIVANE_BENCH_FRAMERECORDER_H
#define LUMIVANE_BENCH_FRAMERECORDER_H

#include "bench/flying/GaugeReader.h"
#include "bench/pictures/ContactSheet.h"
#include "bench/pictures/PassPainter.h"

#include <stdint.h>

#include <string>
#include <vector>

enum class FrameChoice { None, Changes, All };

// A frame's file name, "pass-000108.png": the pass with as many digits as
// the run's last pass needs, six at least, so that the names of a run list
// in pass order however long it is.
std::string FrameName(uint64_t pass, uint64_t lastPass);

class FrameRecorder {
public:
    // `out`: the run's output folder; `scale`: each frame's pixels, as
    // squares of scale × scale; `lastPass`: the number of the run's last
    // pass, which sets how many digits a frame's name gives its pass;
    // `reader`: the run's reader of the gauge's panel, for the labels, or
    // null for labels of time and airspeed alone.
    FrameRecorder(const std::string& out, FrameChoice choice, int scale, uint64_t lastPass = 0,
        const GaugeReader* reader = nullptr);

    // Paints the pass and writes its frame if it is one to keep.
    void Take(const PassRecord& pass);
    // Writes the contact sheet. `note` says what was written and where, or
    // what went wrong; false when something could not be written.
    bool Finish(std::string* note);


private:
    std::string Label(const PassRecord& pass) const;
    // The PNG of `frame`: encoded once for each of the last few pictures,
    // since a panel that flickers shows the same two or three again and
    // again. False when it cannot be encoded.
    bool Encoded(const Image& frame, const std::string** png);

    struct EncodedFrame {
        Image Frame;
        std::string Png;
    };
    static constexpr size_t MostEncoded = 16;
    std::vector<EncodedFrame> encoded_; // the newest last
    std::string out_;
    std::string folder_;
    FrameChoice choice_;
    int scale_;
    uint64_t lastPass_;
    const GaugeReader* reader_;
    PassPainter painter_;
    FrameSelector selector_;
    Image lastChanged_;
    int written_ = 0;
    bool folderMade_ = false;
    std::string problem_;
};

#endif
