// The host's results are the chain's, element by element, so the painter
// needs no knowledge of what any element means to the gauge.
#include "bench/pictures/PassPainter.h"

bool PassPainter::Load(const PassRecord& pass)
{
    loaded_ = true;
    if (!pass.Host || !pass.Host->Loaded()) {
        problem_ = "no module is loaded";
        failed_ = true;
        return false;
    }
    if (!painter_.Load(pass.Host->ModuleHandle(), pass.Host->Linkage(), &problem_)) {
        problem_ = "the panel cannot be painted: " + problem_;
        failed_ = true;
        return false;
    }
    // The background's size is the panel's: the first paint gives it.
    painter_.Paint(nullptr);
    bare_ = Image(painter_.Frame().Width, painter_.Frame().Height, ground_);
    return true;
}

bool PassPainter::Paint(const PassRecord& pass)
{
    changed_ = false;
    if (!loaded_ && !Load(pass))
        return false;
    if (failed_)
        return false;
    if (!pass.Results) {
        changed_ = !painted_ || !killed_;
        killed_ = true;
        painted_ = true;
        return true;
    }
    if (painted_ && !killed_ && *pass.Results == last_ && !everyPass_)
        return true;
    painter_.Paint(pass.Results);
    last_ = *pass.Results;
    killed_ = false;
    painted_ = true;
    changed_ = true;
    return true;
}
