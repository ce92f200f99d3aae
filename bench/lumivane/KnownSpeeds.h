// The speeds as a host can know them. A host sees the element results, the
// settings files and the handlers it ran, never the gauge's memory; where
// those leave a speed open it is unknown, never a guess from a file the
// gauge did not read.
//
// At a fresh load the gauge holds its starting speeds with Speed3 selected,
// and has read no file. Until its readout hands the host's argument back,
// every pass reads the files in the gauge's order up to the first it cannot
// open, and a file without a number keeps its speed. From then on only the
// adjusts change a speed, and each leaves memory and file equal. The
// readout, once formatted, is the selected speed.
#ifndef LUMIVANE_BENCH_LUMIVANE_KNOWNSPEEDS_H
#define LUMIVANE_BENCH_LUMIVANE_KNOWNSPEEDS_H

#include "bench/lumivane/PanelReading.h"

#include <string>

class KnownSpeeds {
public:
    // A fresh load of the module, whose settings files lie in the sandbox
    // folder `sandbox`; the reading's speeds become the starting ones.
    void ModuleLoaded(const std::string& sandbox, PanelReading* reading);
    // A handler of `control` ran, before the pass that follows.
    void HandlerRan(PanelControl control, PanelReading* reading);
    // Nothing of the panel is known any more (another gauge's, or steps lost).
    static void Forget(PanelReading* reading);
    // In a pass of Lumivane's panel, what the handlers before it did: the
    // selection the marks show, the files the adjusts wrote.
    void AfterHandlers(PanelReading* reading);
    // Then what the readout did, evaluated after the lamps: the load, and
    // the selected speed it shows.
    void AfterReadout(PanelReading* reading);

private:
    void ReadFile(int speed, bool keepWithoutNumber, bool* opened, PanelReading* reading);

    std::string sandbox_;
    int selected_ = StartingSelection;
    bool selectedKnown_ = true;
    bool adjusted_[PanelSpeeds] = {};
};

#endif
