// Passes of Lumivane's panel made up rather than flown: the results a host
// holds of the panel showing given lamps, marks and readout, which the one
// reading of the panel (bench/lumivane/PanelChain.h) reads back as such. For
// a program that makes passes of its own: the paint benchmark, the tests of
// the reading, the scenario fuzzer's log lines. Nothing the bench flies
// uses it.
#ifndef LUMIVANE_BENCH_MEASURING_PANELRESULTS_H
#define LUMIVANE_BENCH_MEASURING_PANELRESULTS_H

#include "bench/lumivane/PanelChain.h"

#include <string.h>

// The readout holds `readout` cut to the host's buffer, formatted.
inline PassResults PanelResults(const bool lamps[PanelSpeeds], const bool marks[PanelSpeeds], const char* readout)
{
    PassResults results;
    results.Count = PanelChainLength;
    for (int i = 0; i < PanelChainLength; ++i) {
        ElementResult& element = results.Elements[i];
        element.Kind = PanelChainKinds[i];
        element.BitmapId = PanelChainBitmaps[i];
        element.Called = i > 0;
    }
    for (int k = 0; k < PanelSpeeds; ++k) {
        ElementResult& lamp = results.Elements[PanelLampElements[k]];
        lamp.Result = lamps[k] ? 0.0 : -1.0;
        lamp.Image = lamps[k] ? 0 : -1;
        ElementResult& mark = results.Elements[PanelMarkElements[k]];
        mark.Result = marks[k] ? 0.0 : -1.0;
        mark.Image = marks[k] ? 0 : -1;
    }
    ElementResult& text = results.Elements[PanelReadoutElement];
    text.Argument = GaugeHost::TextArgument;
    text.Result = GaugeHost::TextArgument;
    size_t length = 0;
    while (readout && length < size_t(ElementResult::TextBytes) && readout[length])
        ++length;
    memcpy(text.Text, readout ? readout : "", length);
    text.Text[length] = 0;
    return results;
}

#endif
