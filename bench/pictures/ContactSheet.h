// Frames of a run as pictures a person looks at: one frame as a PNG, scaled
// up with whole pixels kept sharp, and a contact sheet of chosen frames in a
// grid, each labelled (say, with its time and airspeed). PNGs are written
// with stb_image_write (Debian's libstb-dev).
#ifndef LUMIVANE_BENCH_FRAMES_H
#define LUMIVANE_BENCH_FRAMES_H

#include "bench/pictures/Image.h"

#include <stddef.h>

#include <string>
#include <vector>

// `image` scaled up `scale` times, nearest neighbour.
Image ScaleUp(const Image& image, int scale);

// `image` scaled `scale` times as the bytes of a PNG; false when it cannot.
bool EncodeFrame(const Image& image, int scale, std::string* png);

struct LabelledFrame {
    Image Frame;
    std::string Label;
};

// Keeps, from the frames of a run offered one by one, those that differ from
// the frame before them (and the first), for a contact sheet. However long
// the run, it holds at most MostKept frames: when that many are kept, every
// other one is let go and from then on only every other new one is kept, so
// those kept stay evenly spread over the run; the last one offered is always
// kept.
class FrameSelector {
public:
    static const size_t MostKept = 256;

    void Offer(const Image& frame, const std::string& label);
    // At most `limit` of the kept frames, evenly spaced, the first and last
    // among them.
    std::vector<LabelledFrame> Pick(size_t limit = 24) const;
    // Frames that differed from the one before them, kept or not.
    size_t Offered() const { return offered_; }

private:
    std::vector<LabelledFrame> kept_;
    LabelledFrame latest_; // the last one offered
    bool latestKept_ = true;
    size_t offered_ = 0;
    size_t stride_ = 1;
};

// The frames in a grid, each scaled `scale` times with its label beneath in
// the bench's typeface. False, with the reason, when the font is missing (the
// sheet is still made, without labels) or there are no frames.
bool MakeContactSheet(const std::vector<LabelledFrame>& frames, int scale, Image* sheet, std::string* problem);

// MakeContactSheet, written as a PNG (frames.png for a run).
bool WriteContactSheet(const std::string& path, const std::vector<LabelledFrame>& frames, int scale,
    std::string* problem);

#endif
