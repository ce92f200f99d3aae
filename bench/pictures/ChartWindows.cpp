// The windows bench draws no chart: a pilot's Windows machine has no Python
// to lean on. It says how one is made from the run's events.jsonl.
#include "bench/pictures/Chart.h"

void DrawChart(const std::string& events, const std::string& png, const std::string&, std::string* note)
{
    *note = "No chart: this bench does not draw one. With Python 3 and matplotlib, bench/pictures/chart.py from "
            "Lumivane's sources draws it: python chart.py " + events + " " + png;
}
