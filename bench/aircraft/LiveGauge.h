// The gauge as it is set into a picture of an aircraft's window, pass by
// pass: where its art leaves the panel to show (pure black under the
// transparency flag, anything no element draws), the window's own bitmap
// must show, whatever colours the art uses. So each pass is painted twice,
// over a black and over a white panel, by the bench's one painter: a pixel
// that comes out the same over both is the gauge's, one that differs is the
// panel's beneath. Nothing of what the gauge's elements mean is known here.
#ifndef LUMIVANE_BENCH_AIRCRAFT_LIVEGAUGE_H
#define LUMIVANE_BENCH_AIRCRAFT_LIVEGAUGE_H

#include "bench/flying/Pass.h"
#include "bench/pictures/PassPainter.h"

#include <string>

class LiveGauge {
public:
    LiveGauge();

    // Paints the pass. False, with Problem() saying why, when the module's
    // panel cannot be painted.
    bool Paint(const PassRecord& pass);
    // Whether the last Paint changed what the gauge shows.
    bool Changed() const { return dark_.Changed(); }
    const std::string& Problem() const { return dark_.Problem(); }
    const std::string& TextProblem() const { return dark_.TextProblem(); }

    int Width() const { return dark_.Frame().Width; }
    int Height() const { return dark_.Frame().Height; }
    // Whether the gauge draws gauge pixel x, y, and in what colour.
    bool Covers(int x, int y, Rgb* colour) const
    {
        *colour = dark_.Frame().At(x, y);
        return *colour == light_.Frame().At(x, y);
    }

private:
    PassPainter dark_, light_;
};

#endif
