// How many passes a second the painter draws, natively, into memory (no PNG):
// the real module's panel, with the lamps, marks and readout changing from
// pass to pass as on a take-off run, so every pass restores and redraws.
// A measurement to read, not a test:
//   build/native/bench/paint_benchmark
#include "bench/hosting/ModuleFile.h"
#include "bench/pictures/PanelPainter.h"

#include <benchmark/benchmark.h>

#include <stdio.h>

namespace {

void PaintPasses(benchmark::State& state)
{
    LoadedModule module;
    std::string problem;
    PanelPainter painter;
    if (!LoadModule(LUMIVANE_NATIVE_MODULE, &module, &problem) ||
        !painter.Load(module.Handle, module.Linkage, &problem)) {
        state.SkipWithError(("cannot paint " LUMIVANE_NATIVE_MODULE ": " + problem).c_str());
        return;
    }
    const char* readouts[] = {" 80", " 90", "100"};
    std::vector<double> results(painter.Elements().size(), -1.0);
    uint64_t pass = 0;
    for (auto _ : state) {
        // Lamps light one after another; one mark shown; the readout steps.
        for (size_t lamp = 0; lamp < 3 && lamp + 1 < results.size(); ++lamp)
            results[lamp + 1] = (pass >> lamp) & 1 ? 0.0 : -1.0;
        for (size_t mark = 0; mark < 3 && mark + 4 < results.size(); ++mark)
            results[mark + 4] = pass % 3 == mark ? 0.0 : -1.0;
        painter.Paint(results, readouts[pass % 3]);
        benchmark::DoNotOptimize(painter.Frame().Pixels.data());
        ++pass;
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
    state.SetLabel("items/s = paints a second");
    if (!painter.TextProblem().empty())
        fprintf(stderr, "%s\n", painter.TextProblem().c_str());
    UnloadModule(&module);
}

} // namespace

BENCHMARK(PaintPasses);
BENCHMARK_MAIN();
