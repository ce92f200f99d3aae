// The three speed lamps and the call-outs they sound: a lamp is lit while the
// airspeed lies between its speed and Speed3 + 10, and each call-out sounds
// once per take-off run, in order, re-armed when the airspeed falls below
// Speed1.
#ifndef LUMIVANE_CALLOUTS_LAMPS_H
#define LUMIVANE_CALLOUTS_LAMPS_H

#include "host/Records.h"

#include <stdint.h>

// The airspeed's variable record (host variable 61), refreshed through the
// host's variable lookup service (hostcalls/HostCalls.h) before every
// comparison.
extern VariableRecord Airspeed;

// 0 to 3: the call-outs sounded since the sequence was last armed.
extern int32_t CalloutStage;

double GAUGE_STDCALL Lamp1Callback(void* element);
double GAUGE_STDCALL Lamp2Callback(void* element);
double GAUGE_STDCALL Lamp3Callback(void* element);

#endif
