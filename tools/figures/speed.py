"""The cost of one pass over the seven element callbacks, natively: Google
Benchmark's times (the `figures` preset, optimised as the module is, no
sanitizers) and callgrind's instruction counts, the gauge beside a minimal
and a null gauge, and where the gauge's instructions go.
"""
import json
import re

from Markdown import code, heading, paragraph, table
from figures.common import KINDS, PASSES, REPETITIONS, ROOT, RUNS, run, say

TARGETS = {"figures": ["pass_benchmark", "pass_instructions"]}
PROGRAMS = ROOT / "build/figures/build/speed"


def benchmark():
    say(f"pass benchmark, {REPETITIONS} repetitions")
    out = RUNS / "pass_benchmark.json"
    run([PROGRAMS / "pass_benchmark", f"--benchmark_repetitions={REPETITIONS}",
         "--benchmark_report_aggregates_only=true", f"--benchmark_out={out}", "--benchmark_out_format=json"],
        log=RUNS / "pass_benchmark.txt")
    times = {}
    for b in json.loads(out.read_text())["benchmarks"]:
        kind = b["run_name"].split("/")[-1]
        # One repetition reports the run itself, more report their median.
        name = b.get("aggregate_name", "median") if b.get("run_type") == "aggregate" else "median"
        if name in ("median", "stddev"):
            times.setdefault(kind, {})[name] = (b["real_time"], b["cpu_time"])
    return times


def instructions():
    counts = {}
    for kind in KINDS:
        say(f"callgrind, {PASSES} {kind} passes")
        out = RUNS / f"callgrind.{kind}.out"
        run(["valgrind", "--tool=callgrind", "--instr-atstart=no", f"--callgrind-out-file={out}",
             PROGRAMS / "pass_instructions", kind, str(PASSES)], log=RUNS / f"callgrind.{kind}.txt")
        total = None
        for line in out.read_text().splitlines():
            if line.startswith(("summary:", "totals:")):
                total = int(line.split()[1])
        counts[kind] = total / PASSES
    annotate = run(["callgrind_annotate", "--inclusive=yes", RUNS / "callgrind.gauge.out"], check=False)
    where = []
    for line in annotate.output.splitlines():
        m = re.match(r"\s*([\d,]+)\s+\(\s*([\d.]+)%\)\s+(.*)", line)
        if m and "PROGRAM TOTALS" not in line:
            function = re.sub(r"\s*\[[^\]]*\]$", "", m.group(3)).replace("???:", "")
            where.append((int(m.group(1).replace(",", "")) / PASSES, float(m.group(2)), function))
    return counts, where[:12]


def section():
    times = benchmark()
    counts, where = instructions()
    rows = [[kind, f"{counts[kind]:.1f}", f"{times[kind]['median'][0]:.1f}", f"{times[kind]['median'][1]:.1f}"]
            for kind in KINDS]
    ratio_i = counts["gauge"] / counts["minimal"]
    ratio_t = times["gauge"]["median"][1] / times["minimal"]["median"][1]
    return heading("Speed: one pass over the seven element callbacks") + paragraph(
        "Native build, `figures` preset (clang, -Os, no sanitizers). Lumivane with its settings loaded and the",
        "airspeed below Speed1; the minimal gauge is the null gauge plus one `wsprintfA(buffer, \"%3d\", value)`;",
        "the null gauge makes the same three airspeed lookups and answers every callback with a constant.") + \
        table(["pass", "instructions a pass (callgrind)", f"ns a pass, median of {REPETITIONS} (wall)",
               "ns a pass, median (CPU)"], rows) + [""] + paragraph(
        f"Gauge / minimal: **{ratio_i:.2f}** in instructions, **{ratio_t:.2f}** in CPU time (aim: at most 1.2).",
        f"Gauge / null: {counts['gauge'] / counts['null']:.2f} in instructions.") + paragraph(
        f"Instructions are counted by `valgrind --tool=callgrind --instr-atstart=no` over {PASSES} passes of",
        "each kind (`build/figures/build/speed/pass_instructions KIND N`), loop included; times by",
        f"`pass_benchmark --benchmark_repetitions={REPETITIONS}`. Raw output: `build/figures/runs/`.") + paragraph(
        "Where the gauge's instructions go (callgrind_annotate, inclusive, per pass):") + \
        code([f"{ir:8.1f}  {pct:5.1f}%  {fn}" for ir, pct, fn in where])
