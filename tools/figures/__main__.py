"""Regenerates the gauge's figures of speed, size and reliability and writes
them as one short Markdown report, build/figures/figures.md, whose path is the
last line printed. `make figures` runs it; it builds what it runs. Each
section is a file of this folder, in the report's order:

  machine      the processor, system and tools the figures were taken with
  speed        the pass benchmark (Google Benchmark, the `figures` preset:
               optimised as the module is, no sanitizers) and callgrind's
               instruction counts per pass, the gauge beside a minimal and a
               null gauge, and where the gauge's instructions go
  size         build/windows/Lumivane.gau: bytes, sections, imports, checked
  calls        the gauge's calls to the system per pass (native counting)
  wine         the windows build under Wine, through the bench
               (build/windows/lumivane-measure.exe, in the bench's own Wine
               prefix, build/windows/bench-wine): the pass timed with the
               performance counter beside the null and minimal gauges built
               as modules of their own, and the calls per pass counted
               through the bench's import hooks, set beside the native count
  web          the page (build/web) in headless Chromium: one pass with
               painting, timed by the page's own benchmark, and the bytes
               its files take with gzip (tests/web/PageTest.py)
  reliability  the long forms: every fuzzer (fuzzing.py), the sound fault
               matrix, host faults, the settings storm and the soak, in the
               native preset under AddressSanitizer and
               UndefinedBehaviorSanitizer
  front_door   `make demo` and `make test` (so `.ci/run`) in a fresh clone of
               HEAD, cold (an empty compiler cache) and warm (the cache the
               cold run filled), stage by stage; then `make check` after an
               edit of bench/flying/Run.cpp in the warm clone
  mutants      the share of plausible slips the tests catch in each room,
               from the latest run of tools/mutate saved in docs/mutants/
               (a room takes hours on two cores, so they are run apart, by
               `make mutants ROOM=...`, or all first with FIGURES_MUTANTS=1)
  flights      a take-off, an hour and a day, steady and flickering, through
               bench/run-bench --fast --soft-sound and the native bench:
               wall time, peak memory and outputs
  installs     the bench killed at random moments of installs and
               uninstalls, and what each kill left

The long runs' lengths come from the environment (the Makefile passes its
variables of the same names):
  FIGURES_FUZZ_SECONDS   seconds for each fuzzer        (default 300)
  FIGURES_STORM_PRESSES  presses of the settings storm  (default 100000)
  FIGURES_SOAK_TAKEOFFS  take-offs of the soak          (default 10000)
  FIGURES_PASSES         passes counted by callgrind    (default 1000000),
                         and a fifth of it a round under Wine
  FIGURES_REPETITIONS    repetitions of the benchmark,  (default 10)
                         and rounds under Wine
  FIGURES_MUTANTS        1: run tools/mutate over every room first (hours)
  FIGURES_FRONT_DOOR     0: leave out the front door's times (half an hour)
  FIGURES_INSTALL_KILLS  installs and uninstalls killed (default 500)
Nothing here passes or fails on a figure; a run that fails is reported as
failed, and the script exits non-zero after writing the report.

    python3 tools/figures [--only SECTION...]

A section is a module with TARGETS ({preset: [targets]}, or a targets()
that gives them once the builds are configured) and section(), which runs
what it measures and gives its Markdown lines; it joins the report by its
place in SECTIONS below.
"""
import argparse
import os
import sys
from pathlib import Path

# Run as `python3 tools/figures`: its sections are imported as the package
# they are, beside the tools they use.
sys.path[0] = str(Path(__file__).resolve().parent.parent)

from figures import (calls, flights, front_door, installs, machine, mutants, reliability, size,  # noqa: E402
                     speed, web, wine)
from figures.common import OUT, ROOT, RUNS, failures, run, say  # noqa: E402

SECTIONS = [machine, speed, size, calls, wine, web, reliability, front_door, mutants, flights, installs]
PRESETS = ["figures", "native", "windows", "web"]


def build(sections):
    """Configures every build a section needs, as the Makefile does, so
    that it knows targets added since it last configured; then builds what
    the sections run."""
    for preset in [p for p in PRESETS if any(p in s.TARGETS for s in sections)]:
        run([ROOT / "tools/configure", preset])
    wanted = {}
    for s in sections:
        for preset, targets in (s.targets() if hasattr(s, "targets") else s.TARGETS).items():
            wanted[preset] = wanted.get(preset, []) + [t for t in targets if t not in wanted.get(preset, [])]
    for preset in [p for p in PRESETS if wanted.get(p)]:
        say(f"building {', '.join(wanted[preset])} ({preset})")
        run(["cmake", "--build", "--preset", preset, "-j", str(os.cpu_count() or 2), "--target", *wanted[preset]])


def main(argv):
    parser = argparse.ArgumentParser(prog="tools/figures", description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--only", nargs="+", choices=[s.__name__.split(".")[-1] for s in SECTIONS],
                        metavar="SECTION", help="these sections alone, in the report's order")
    only = parser.parse_args(argv).only
    sections = [s for s in SECTIONS if not only or s.__name__.split(".")[-1] in only]
    RUNS.mkdir(parents=True, exist_ok=True)
    build(sections)
    body = [line for s in sections for line in s.section()]
    status = "All runs passed." if not failures else "FAILED: " + ", ".join(failures)
    path = OUT / "figures.md"
    path.write_text("\n".join(["# Lumivane figures", "", f"Regenerated by `make figures` (tools/figures). {status}",
                               ""] + body))
    print(path)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
