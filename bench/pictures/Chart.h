// The take-off chart of a recorded run, <scenario>.png beside its
// events.jsonl, drawn by bench/pictures/chart.py with Debian's Python and matplotlib.
// The native bench runs the script itself; the windows bench draws no chart
// (bench/run-bench draws it after a run under Wine) and says how to make one.
#ifndef LUMIVANE_BENCH_CHART_H
#define LUMIVANE_BENCH_CHART_H

#include <string>

// Draws `png` from `events`, titled `title`; `note` names the chart, or says
// why there is none and how to make it.
void DrawChart(const std::string& events, const std::string& png, const std::string& title, std::string* note);

#endif
