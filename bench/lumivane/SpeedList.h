// Lumivane's three speeds given as a list, as a link to the page carries
// them ("85,95,105"): taken only if the gauge's own adjusts could have set
// them, each a whole number within its bounds and above the one before;
// anything else is refused whole, with the reason in a sentence.
#ifndef LUMIVANE_BENCH_LUMIVANE_SPEEDLIST_H
#define LUMIVANE_BENCH_LUMIVANE_SPEEDLIST_H

#include "bench/lumivane/LumivaneFacts.h"

#include <stdint.h>

#include <string>

// Reads `text` into `speeds` (Speed1 first); false with `problem`, which
// quotes at most a few characters of the text back.
bool ReadSpeedList(const std::string& text, int32_t speeds[PanelSpeeds], std::string* problem);

#endif
