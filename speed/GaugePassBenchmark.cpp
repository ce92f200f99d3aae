// The cost of one pass, in time: Lumivane's pass beside the minimal and the
// null gauge's, in one run, so that the three share the machine's state.
// Times on a shared machine wander; the instruction counts of
// speed/PassInstructions.cpp are the figure that holds still. Nothing
// here passes or fails on a time.
#include "speed/Passes.h"

#include <benchmark/benchmark.h>

#include <stdio.h>
#include <string>

namespace {

void MeasurePass(benchmark::State& state, PassKind kind)
{
    const PassGauge& gauge = *PreparePass(kind);
    for (auto _ : state)
        benchmark::DoNotOptimize(RunPass(gauge));
    state.SetLabel(PassName(kind));
}

} // namespace

int main(int argc, char** argv)
{
    // A kind that does not do its work would make a flattering figure.
    for (int kind = 0; kind < PassKindCount; ++kind) {
        std::string error;
        if (!CheckPass(PassKind(kind), &error)) {
            fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    for (int kind = 0; kind < PassKindCount; ++kind)
        benchmark::RegisterBenchmark((std::string("pass/") + PassName(PassKind(kind))).c_str(), MeasurePass,
                                     PassKind(kind));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
