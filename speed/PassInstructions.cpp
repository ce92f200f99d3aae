// The cost of one pass in instructions, the figure that holds on a busy
// machine: run under callgrind with instrumentation off at the start, it
// makes N passes of one kind with instrumentation on and nothing else, so the
// run's instruction total divided by N is the cost of a pass (and a few
// instructions of the loop around it).
//
//     valgrind --tool=callgrind --instr-atstart=no pass_instructions KIND N
//
// KIND is gauge, minimal or null. Outside valgrind it runs the passes
// uninstrumented and says so.
#include "speed/Passes.h"

#include <valgrind/callgrind.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

// Not inlined, so that callgrind_annotate shows the passes as one entry.
__attribute__((noinline)) double RunPasses(const PassGauge& gauge, long passes)
{
    double sum = 0.0;
    for (long i = 0; i < passes; ++i)
        sum += RunPass(gauge);
    return sum;
}

} // namespace

int main(int argc, char** argv)
{
    int kind = PassKindCount;
    for (int k = 0; argc == 3 && k < PassKindCount; ++k)
        if (strcmp(argv[1], PassName(PassKind(k))) == 0)
            kind = k;
    long passes = argc == 3 ? strtol(argv[2], nullptr, 10) : 0;
    if (kind == PassKindCount || passes <= 0) {
        fprintf(stderr, "usage: %s gauge|minimal|null PASSES\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!CheckPass(PassKind(kind), &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const PassGauge& gauge = *PreparePass(PassKind(kind));
    // Warm: the first passes find nothing cached and, for Lumivane, write
    // the readout that the later ones find in place.
    volatile double sink = RunPasses(gauge, 16);
    CALLGRIND_START_INSTRUMENTATION;
    sink = RunPasses(gauge, passes);
    CALLGRIND_STOP_INSTRUMENTATION;
    (void)sink;
    if (!RUNNING_ON_VALGRIND)
        printf("%ld %s passes, not counted: run under valgrind --tool=callgrind --instr-atstart=no\n", passes,
               argv[1]);
    return 0;
}
