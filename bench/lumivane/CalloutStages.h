// Lumivane's call-out sequence as a host can follow it: which call-outs a
// pass started, told from the lamps it lit and the clips it played. Lamp k
// sounds call-out k when it is lit and call-out k - 1 was the last one
// sounded; lamp 1 dark below Speed1 re-arms the sequence. A play the steps
// did not foresee is named by its clip alone, and the sequence is no longer
// followed until it is re-armed.
#ifndef LUMIVANE_BENCH_LUMIVANE_CALLOUTSTAGES_H
#define LUMIVANE_BENCH_LUMIVANE_CALLOUTSTAGES_H

#include "bench/lumivane/PanelReading.h"

class CalloutStages {
public:
    // A fresh load: no call-out sounded since the last re-arm.
    void ModuleLoaded();
    // One pass of Lumivane's panel at `airspeed`, with the clips whose play
    // started in it, judged against the speeds the reading knows before
    // this pass's load: fills the reading's call-outs.
    void Follow(double airspeed, const char* const* plays, int playCount, PanelReading* reading);

private:
    int stage_ = 0; // call-outs sounded since the last re-arm
    bool stageKnown_ = true;
};

// The call-out a clip is where the clip alone tells: only Speed3's is the
// double beep (0: not known).
int CalloutOfClip(const char* clip);

#endif
