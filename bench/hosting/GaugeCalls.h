// How the bench calls into a gauge module, one function per routine form of
// host/RoutineForms.h. In the 32-bit windows build every call goes through
// CallMeasuringStack (bench/hosting/StackProbe.cpp), which reports how far the stack
// pointer moved: a routine built with the wrong convention leaves its
// arguments behind, and in the simulator that is a crash. A 64-bit build has
// one convention only, so there the calls are plain and balance is not
// applicable.
#ifndef LUMIVANE_BENCH_CALLS_H
#define LUMIVANE_BENCH_CALLS_H

#include "host/RoutineForms.h"

#include <stdint.h>

// True where the stack balance of each call is measured.
extern const bool StackBalanceMeasured;

// Each returns the stack pointer's drift over the call in bytes: 0 when the
// routine removed exactly its own arguments (always 0 where not measured).
int32_t CallGaugeRoutine(GaugeRoutine routine);
int32_t CallGaugeRoutine(GaugeRoutineWithValue routine, uint32_t value);
int32_t CallIconCallback(IconCallback callback, void* element, double* result);
int32_t CallTextCallback(TextCallback callback, double argument, double* result);
int32_t CallAreaHandler(AreaHandler handler, uint32_t point, uint32_t events, int32_t* result);

#endif
