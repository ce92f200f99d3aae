// What the one reading of Lumivane's panel holds after a pass: what the
// panel displays, the speeds as far as a host can know them, and which
// call-outs the pass started. Everything the bench and the page say of the
// panel is said from this (bench/lumivane/Sentences.h, LumivaneReader.h).
#ifndef LUMIVANE_BENCH_LUMIVANE_PANELREADING_H
#define LUMIVANE_BENCH_LUMIVANE_PANELREADING_H

#include "bench/lumivane/PanelChain.h"

#include <stdint.h>

struct PanelReading {
    // The module's panel is Lumivane's, as its last pass showed; it stays so
    // while the gauge is killed.
    bool Lumivane = false;
    PanelDisplay Display; // this pass's; Display.Lumivane is false while killed
    bool SpeedKnown[PanelSpeeds] = {};
    int32_t Speeds[PanelSpeeds] = {};
    bool Loaded = false; // the gauge has read its settings files: they no longer count
    static constexpr int MostCallouts = PanelSpeeds;
    int Callouts[MostCallouts] = {}; // the speeds (1 to 3) whose call-out started this pass, 0 unknown
    int CalloutCount = 0;
};

#endif
