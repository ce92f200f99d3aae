"""The windows build under Wine, through the bench: lumivane-measure.exe in
the bench's own Wine prefix (build/windows/bench-wine), whose server is
stopped at the end. The pass is timed with the performance counter beside
the null and minimal gauges built as modules of their own, and the calls
per pass are counted through the bench's import hooks and held to the
native count (figures/calls.py).
"""
import os
import subprocess
from pathlib import Path

from Markdown import heading, paragraph, table
from figures import calls, reliability
from figures.common import KINDS, REPETITIONS, ROOT, RUNS, WINE_PASSES, failures, figure_lines, run, say

TARGETS = {"windows": ["Lumivane.gau", "lumivane-measure", "lumivane-bench"], **reliability.TARGETS}
STATE = ROOT / "build/windows/bench-wine"


def windows_path(path):
    # Wine sees the Linux root as drive Z:.
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def measure():
    """{"passes" | "calls": {ok, figures, output}} of the two runs."""
    program, settings = ROOT / "build/windows/lumivane-measure.exe", windows_path(RUNS / "wine-settings")
    commands = {
        "passes": [ROOT / "cmake/wine-run", STATE, program, "passes", "--settings", settings,
                   "--rounds", str(REPETITIONS), "--passes", str(WINE_PASSES)],
        "calls": [ROOT / "cmake/wine-run", STATE, program, "calls", "--settings", settings],
    }
    results = {}
    try:
        for what, command in commands.items():
            say(f"under Wine: {what}" + (f", {REPETITIONS} rounds of {WINE_PASSES} passes" if what == "passes" else ""))
            ran = run(command, check=False, log=RUNS / f"wine.{what}.txt")
            if ran.status:
                failures.append(f"wine {what}")
            results[what] = {"ok": ran.status == 0, "figures": figure_lines(ran.output), "output": ran.output}
    finally:
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=str(STATE / "prefix")),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return results


def pass_cost(passes):
    timed = {f["kind"]: f for f in passes.get("figures", {}).get("wine-pass", [])}
    md = heading("Pass cost under Wine", 3)
    if not (passes.get("ok") and all(k in timed for k in KINDS)):
        return md + paragraph("FAILED: see `build/figures/runs/wine.passes.txt`.")
    frequency = passes["figures"].get("wine-timer", [{}])[0].get("frequency", "?")
    gauge, minimal, null = (float(timed[k]["median-ns"]) for k in KINDS)
    return md + paragraph(
        "build/windows/Lumivane.gau (i686-w64-mingw32, -Os, as shipped) with its settings loaded (all three",
        "files in the bench's sandbox, one pass made first) and the airspeed below Speed1, beside",
        "build/windows/MinimalGauge.gau and NullGauge.gau: modules of their own with the same element chain",
        "and callbacks of the same forms (speed/ReferenceModule.cpp). Each is loaded and installed as",
        "the simulator does and driven by the bench's host; a pass is its seven element callbacks in chain",
        "order, called as the bench calls them (each through its stack-balance probe).") + \
        table(["pass", f"ns a pass, median of {REPETITIONS} rounds", "fastest round", "slowest round"],
              [[k, timed[k]["median-ns"], timed[k]["min-ns"], timed[k]["max-ns"]] for k in KINDS]) + [""] + \
        paragraph(f"Gauge / minimal under Wine: **{gauge / minimal:.2f}** in time (aim: at most 1.2); "
                  f"gauge / null: {gauge / null:.2f}.") + paragraph(
        f"Each round times {WINE_PASSES} passes of each module in turn with QueryPerformanceCounter",
        f"({frequency} counts a second), the first module changing from round to round. The bench's own",
        "work per pass (the probe, the panel state it keeps) is in every figure alike.",
        f"`cmake/wine-run $PWD/build/windows/bench-wine build/windows/lumivane-measure.exe passes --settings DIR "
        f"--rounds {REPETITIONS} --passes {WINE_PASSES}`",
        "(log: `build/figures/runs/wine.passes.txt`).")


def calls_counted(counted, native):
    wine = counted.get("figures", {})
    md = heading("Calls to the system per pass under Wine (counted through the bench's import hooks)", 3)
    if wine.get("calls-per-pass"):
        md += paragraph(
            "The module's imports of the counted functions point at counting replacements into the record of",
            "`platform/CallCounts.h`, each passing the call on to what the slot held (the settings sandbox's",
            "fopen, the sound tap's DirectSoundCreate in front of the bench's software device). Each state",
            "starts from a freshly loaded module; its first pass is not counted.")
        md += table(calls.HEADER, calls.rows(wine)) + [""]
        md += calls.notes(wine, "calls-at-install", "Install") + calls.notes(wine, "calls-at-kill", "Kill")
        unsteady = [f["state"] for f in wine["calls-per-pass"] if f.get("steady") != "yes"]
        plays = sum(int(f.get("plays", 0)) for f in wine["calls-per-pass"])
        md += paragraph(f"Every counted pass of a state made the same calls"
                        f"{': except ' + ', '.join(unsteady) if unsteady else ''}; "
                        f"{plays} call-outs started during the take-off.")
        native_rows = {row[0]: row[2:] for row in calls.rows(native)}
        wine_rows = {row[0]: row[2:] for row in calls.rows(wine)}
        differ = [state for state in wine_rows if native_rows.get(state) != wine_rows[state]]
        differ += [state for state in native_rows if state not in wine_rows]
        if not native_rows:
            md += paragraph("Not set beside the native count: the native run gave no table.")
        elif differ:
            failures.append("native and Wine calls per pass differ")
            md += paragraph("DIFFER from the native count in: " + "; ".join(differ) + ".")
        else:
            md += paragraph("The same calls as the native count above, state for state.")
        md += paragraph(
            "`cmake/wine-run $PWD/build/windows/bench-wine build/windows/lumivane-measure.exe calls --settings DIR`",
            "(log: `build/figures/runs/wine.calls.txt`).")
    if not counted.get("ok"):
        md += paragraph("FAILED: see `build/figures/runs/wine.calls.txt`.")
    return md


def section():
    results = measure()
    md = pass_cost(results.get("passes", {})) + calls_counted(results.get("calls", {}), reliability.runs().figures)
    return ["<!-- wine-figures: begin -->"] + heading("Under Wine (through the bench)") + \
        (md[:-1] if md and md[-1] == "" else md) + ["<!-- wine-figures: end -->", ""]
