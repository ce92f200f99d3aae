// The panel of each pass of a run, painted from each element's result as the
// host holds it (the pass's PassRecord), for the frames a run writes and for the bench's window. The
// painter is loaded from the module the run loaded, at the first pass. A pass
// that shows what the one before showed is not painted again, so that a long
// steady stretch costs one comparison a pass and nothing is allocated.
#ifndef LUMIVANE_BENCH_PASSPAINTER_H
#define LUMIVANE_BENCH_PASSPAINTER_H

#include "bench/pictures/PanelPainter.h"
#include "bench/flying/Pass.h"

#include <string>
#include <vector>

class PassPainter {
public:
    // `everyPass`: paint every pass, even one that shows what the one
    // before showed (to measure what painting costs). `ground`: the panel's
    // colour beneath the gauge.
    explicit PassPainter(bool everyPass = false, Rgb ground = PanelPainter::PanelColour)
        : painter_(ground), everyPass_(everyPass), ground_(ground) {}

    // Paints the pass. False, with Problem() saying why, when the module's
    // panel cannot be painted; then every later pass is false too.
    bool Paint(const PassRecord& pass);
    // Whether the last Paint changed the frame (the first always does).
    bool Changed() const { return changed_; }
    // The panel, the size of the module's background; while the gauge is
    // killed, the bare panel it is mounted on.
    const Image& Frame() const { return killed_ ? bare_ : painter_.Frame(); }
    const std::string& Problem() const { return problem_; }
    // Why the readout is not drawn, or empty.
    const std::string& TextProblem() const { return painter_.TextProblem(); }

private:
    bool Load(const PassRecord& pass);

    PanelPainter painter_;
    bool everyPass_;
    Rgb ground_;
    bool loaded_ = false;
    bool failed_ = false;
    std::string problem_;
    Image bare_;
    bool painted_ = false;
    bool killed_ = false;
    bool changed_ = false;
    PassResults last_;
};

#endif
