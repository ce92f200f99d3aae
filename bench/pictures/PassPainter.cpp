// The icons of the chain are matched with what a pass records the way the
// host's own pass takes them (bench/hosting/GaugeHost.h): the first three icons are
// the lamps, the next three the marks, in chain order; any further icon has
// no recorded result and shows nothing.
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
    const std::vector<PaintedElement>& elements = painter_.Elements();
    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].Kind == IconKind)
            icons_.push_back(int(i));
    results_.assign(elements.size(), -1.0);
    // The background's size is the panel's: the first paint gives it.
    painter_.Paint(results_, nullptr);
    bare_ = Image(painter_.Frame().Width, painter_.Frame().Height, PanelPainter::PanelColour);
    return true;
}

bool PassPainter::Paint(const PassRecord& pass)
{
    changed_ = false;
    if (!loaded_ && !Load(pass))
        return false;
    if (failed_)
        return false;
    if (!pass.Panel) {
        changed_ = !painted_ || !killed_;
        killed_ = true;
        painted_ = true;
        return true;
    }
    if (painted_ && !killed_ && *pass.Panel == last_ && !everyPass_)
        return true;
    for (size_t k = 0; k < icons_.size(); ++k)
        results_[size_t(icons_[k])] = k < 3 ? pass.Panel->Lamps[k] : k < 6 ? pass.Panel->Marks[k - 3] : -1.0;
    painter_.Paint(results_, pass.Panel->Readout.c_str());
    last_ = *pass.Panel;
    killed_ = false;
    painted_ = true;
    changed_ = true;
    return true;
}
