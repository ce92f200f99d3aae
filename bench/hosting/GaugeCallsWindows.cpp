// The calls of bench/hosting/GaugeCalls.h in the windows build: the arguments
// are pushed as the simulator pushes them, word by word, through the assembly
// probe (StackProbe.cpp), which also measures how far each call leaves the
// stack from where it was.
#include "bench/hosting/GaugeCalls.h"

#include <string.h>

extern "C" int32_t CallMeasuringStack(const void* routine, const uint32_t* words, int32_t count,
                                      double* floatResult, uint32_t* integerResult);

const bool StackBalanceMeasured = true;

int32_t CallGaugeRoutine(GaugeRoutine routine)
{
    return CallMeasuringStack(reinterpret_cast<const void*>(routine), nullptr, 0, nullptr, nullptr);
}

int32_t CallGaugeRoutine(GaugeRoutineWithValue routine, uint32_t value)
{
    return CallMeasuringStack(reinterpret_cast<const void*>(routine), &value, 1, nullptr, nullptr);
}

int32_t CallIconCallback(IconCallback callback, void* element, double* result)
{
    uint32_t word = reinterpret_cast<uint32_t>(element);
    return CallMeasuringStack(reinterpret_cast<const void*>(callback), &word, 1, result, nullptr);
}

int32_t CallTextCallback(TextCallback callback, double argument, double* result)
{
    // One double is 8 bytes of arguments, low word pushed last.
    uint32_t words[2];
    memcpy(words, &argument, sizeof words);
    return CallMeasuringStack(reinterpret_cast<const void*>(callback), words, 2, result, nullptr);
}

int32_t CallAreaHandler(AreaHandler handler, uint32_t point, uint32_t events, int32_t* result)
{
    uint32_t words[2] = {point, events};
    uint32_t value = 0;
    int32_t drift = CallMeasuringStack(reinterpret_cast<const void*>(handler), words, 2, nullptr, &value);
    *result = int32_t(value);
    return drift;
}
