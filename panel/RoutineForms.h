// The three forms of routine that the element tree and the mouse area list
// bind. The host calls every one of them with the callee-cleans convention: an
// icon callback removes 4 bytes of arguments, the text callback 8 (one double)
// and an area handler 8. A routine declared with another form would unbalance
// the host's stack, so the panel records store only these pointer types.
#ifndef LUMIVANE_PANEL_ROUTINEFORMS_H
#define LUMIVANE_PANEL_ROUTINEFORMS_H

#include "platform/Platform.h"

#include <stdint.h>

// Result: the image to show, 0.0 for the icon's one image, -1.0 for none.
typedef double(GAUGE_STDCALL* IconCallback)(void* element);

// Argument and result are the host's; the gauge hands the argument back.
typedef double(GAUGE_STDCALL* TextCallback)(double value);

// Both arguments are the host's and go unread; the result is always 1.
typedef int32_t(GAUGE_STDCALL* AreaHandler)(uint32_t point, uint32_t events);

#endif
