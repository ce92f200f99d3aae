// The three speed lamps and the call-outs they sound: a lamp is lit while the
// airspeed lies between its speed and Speed3 + 10, and each call-out sounds
// once per take-off run, in order, re-armed when the airspeed falls below
// Speed1.
#ifndef LUMIVANE_CALLOUTS_LAMPS_H
#define LUMIVANE_CALLOUTS_LAMPS_H

#include "panel/RoutineForms.h"

#include <stdint.h>

// The host's variable record, refreshed through the variable lookup service.
#pragma pack(push, 4)
struct AirspeedVariable {
    int32_t Id; // 61, the aircraft's airspeed
    uint32_t HostWords[2];
    double Value; // written by the lookup service
    uint32_t HostTail[3];
};
#pragma pack(pop)

extern AirspeedVariable Airspeed;

// 0 to 3: the call-outs sounded since the sequence was last armed.
extern int32_t CalloutStage;

double GAUGE_STDCALL Lamp1Callback(void* element);
double GAUGE_STDCALL Lamp2Callback(void* element);
double GAUGE_STDCALL Lamp3Callback(void* element);

#endif
