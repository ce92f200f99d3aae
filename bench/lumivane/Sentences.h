// What a person is told of Lumivane's panel, in words, wherever the bench or
// the page tells it: the status line, the frames' captions, the page's live
// region.
#ifndef LUMIVANE_BENCH_LUMIVANE_SENTENCES_H
#define LUMIVANE_BENCH_LUMIVANE_SENTENCES_H

#include "bench/lumivane/PanelReading.h"

#include <string>

// "Speed2 selected: 91" ("?" for a speed not known); empty for a panel that
// is not Lumivane's or shows no selection.
std::string SelectionSentence(const PanelReading& reading);
// "Speed1: single beep" for call-out 1; "A call-out" when its speed is not
// known.
std::string CalloutSentence(int speed);

#endif
