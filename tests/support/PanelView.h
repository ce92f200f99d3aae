// Lumivane's panel as a test reads it from a pass of the bench's host: each
// lamp's and mark's result exactly as its callback returned it, and the
// readout's text and result, found where the panel's one reading
// (bench/lumivane/PanelChain.h) says they lie in the chain. Tests of the gauge's callbacks judge the values
// themselves, not only whether a lamp is drawn.
#ifndef LUMIVANE_TESTS_SUPPORT_PANELVIEW_H
#define LUMIVANE_TESTS_SUPPORT_PANELVIEW_H

#include "bench/lumivane/PanelChain.h"

#include <string>

struct PanelView {
    double Lamps[PanelSpeeds] = {};
    double Marks[PanelSpeeds] = {}; // Speed1 (bottom), Speed2, Speed3 (top)
    std::string Readout;
    double ReadoutResult = 0;
};

// The view of a pass known to be of Lumivane's chain, for a test that hosts
// the gauge itself and reads it without the panel's reader.
inline PanelView ViewOfLumivane(const PassResults& results)
{
    PanelView view;
    for (int k = 0; k < PanelSpeeds; ++k) {
        view.Lamps[k] = results.Elements[PanelLampElements[k]].Result;
        view.Marks[k] = results.Elements[PanelMarkElements[k]].Result;
    }
    view.Readout = results.Elements[PanelReadoutElement].Text;
    view.ReadoutResult = results.Elements[PanelReadoutElement].Result;
    return view;
}

inline PanelView ViewOf(const PassResults& results)
{
    return ReadDisplay(&results).Lumivane ? ViewOfLumivane(results) : PanelView();
}

#endif
