// Lumivane's panel recognised from what a host holds: its element chain (a
// background, six icons and a text element, with the module's own bitmap
// ids) and its registered mouse areas (decrease, increase, then the three
// selector buttons from the top). What one pass shows is read from the
// elements' results alone. A module whose records differ is another gauge,
// and nothing here is said of it.
#ifndef LUMIVANE_BENCH_LUMIVANE_PANELCHAIN_H
#define LUMIVANE_BENCH_LUMIVANE_PANELCHAIN_H

#include "bench/flying/GaugeReader.h"
#include "bench/hosting/GaugeHost.h"
#include "bench/lumivane/LumivaneFacts.h"

#include <stdint.h>

// The chain, background first and readout last: each element's kind and
// bitmap id.
constexpr int PanelChainLength = 8;
extern const int32_t PanelChainKinds[PanelChainLength];
extern const int32_t PanelChainBitmaps[PanelChainLength];

// Where the lamps (lamp 1, 2, 3), the selector marks (Speed1, 2, 3: bottom,
// middle, top) and the readout lie in the chain, counted from the
// background, 0.
constexpr int PanelLampElements[PanelSpeeds] = {1, 2, 3};
constexpr int PanelMarkElements[PanelSpeeds] = {4, 5, 6};
constexpr int PanelReadoutElement = 7;

// What one pass of Lumivane's panel displays.
struct PanelDisplay {
    bool Lumivane = false;         // the chain is Lumivane's; nothing below holds otherwise
    bool Lamps[PanelSpeeds] = {};  // lamp 1, 2, 3 lit
    bool Marks[PanelSpeeds] = {};  // the selector square of Speed1, 2, 3 lit
    int Selected = -1;             // the one speed whose square is lit, 0 to 2; -1 when not exactly one
    const char* Readout = "";      // the readout's text, valid while the pass's results are
    bool Formatted = false;        // the readout's callback handed the host's argument back
    bool LoadStopped = false;      // it said a settings file would not open (ReadoutLoadStopped)
};

// Reads one pass's element results as Lumivane's panel; Lumivane is false for
// any other chain (another gauge's, or the gauge killed: no results).
PanelDisplay ReadDisplay(const PassResults* results);

// The readout's text as the number "%3d" made of it: blanks, an optional
// minus and digits, nothing else; false for anything else ("***" among it).
bool ReadoutNumber(const char* text, int32_t* value);

// The control of Lumivane's registered list `areas` that area `number` is
// (the group's start is 0); None for any other number or list.
PanelControl AreaControl(const MouseArea* areas, int number);
// The middle of the area of `control` in the registered list `areas`; false
// while none is registered or the list is not Lumivane's.
bool ControlMiddle(const MouseArea* areas, PanelControl control, int* x, int* y);

#endif
