// The calls of bench/hosting/GaugeCalls.h in the native build and the page:
// through the typed pointers, since x86-64 and WebAssembly have one calling
// convention each, and no stack balance to measure.
#include "bench/hosting/GaugeCalls.h"

const bool StackBalanceMeasured = false;

int32_t CallGaugeRoutine(GaugeRoutine routine)
{
    routine();
    return 0;
}

int32_t CallGaugeRoutine(GaugeRoutineWithValue routine, uint32_t value)
{
    routine(value);
    return 0;
}

int32_t CallIconCallback(IconCallback callback, void* element, double* result)
{
    *result = callback(element);
    return 0;
}

int32_t CallTextCallback(TextCallback callback, double argument, double* result)
{
    *result = callback(argument);
    return 0;
}

int32_t CallAreaHandler(AreaHandler handler, uint32_t point, uint32_t events, int32_t* result)
{
    *result = handler(point, events);
    return 0;
}
