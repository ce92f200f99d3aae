// The native bench draws the chart by running bench/pictures/chart.py
// (bench/pictures/PythonScript.h).
#include "bench/pictures/Chart.h"

#include "bench/pictures/PythonScript.h"

namespace {

const char Script[] = LUMIVANE_CHART_SCRIPT;
// chart.py's exit status when it cannot import matplotlib.
const int NoMatplotlib = 3;

} // namespace

void DrawChart(const std::string& events, const std::string& png, const std::string& title, std::string* note)
{
    const ScriptRun run = RunPythonScript(Script, {events, png, "--title", title});
    if (!run.Missing.empty())
        *note = "No chart: " + run.Missing + " (Debian packages python3 and python3-matplotlib)";
    else if (!run.Ran)
        *note = "No chart: " + run.Command + " did not run";
    else if (run.Status == NoMatplotlib)
        *note = "No chart: /usr/bin/python3 has no matplotlib (Debian package python3-matplotlib); with it: " +
            run.Command;
    else if (run.Status != 0)
        *note = "No chart: chart.py failed; to see why: " + run.Command;
    else
        *note = "Chart: " + png;
}
