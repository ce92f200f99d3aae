// How many passes a second the painter draws, natively, into memory (no PNG):
// the real module's panel, with the lamps, marks and readout changing from
// pass to pass as on a take-off run, so every pass restores and redraws.
// A measurement to read, not a test:
//   build/native/bench/paint_benchmark
#include "bench/hosting/ModuleFile.h"
#include "bench/measuring/PanelResults.h"
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
    // Lamps light one after another; one mark shown; the readout steps
    // through the starting speeds: the results of every such pass made once,
    // so the loop only paints.
    std::vector<PassResults> passes;
    for (int pass = 0; pass < 24; ++pass) {
        bool lamps[PanelSpeeds], marks[PanelSpeeds];
        for (int k = 0; k < PanelSpeeds; ++k) {
            lamps[k] = (pass >> k) & 1;
            marks[k] = pass % PanelSpeeds == k;
        }
        char readout[16];
        snprintf(readout, sizeof readout, "%3d", int(StartingSpeeds[pass % PanelSpeeds]));
        passes.push_back(PanelResults(lamps, marks, readout));
    }
    uint64_t pass = 0;
    for (auto _ : state) {
        painter.Paint(&passes[pass % passes.size()]);
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
