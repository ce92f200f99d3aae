"""What every section of the figures shares: where the runs and the report
go, the long runs' lengths from the environment, the failures met so far
(the report names them, and the figures end non-zero), and how a command is
run for a figure: its output logged, and a build that fails the end of it.
"""
import os
import re
import sys
from pathlib import Path

from Commands import run as run_timed

ROOT = Path(__file__).resolve().parents[2]
OUT = ROOT / "build" / "figures"
RUNS = OUT / "runs"
# The gauge, the minimal gauge (the null gauge and one wsprintfA) and the null gauge.
KINDS = ("gauge", "minimal", "null")


def setting(name, default):
    value = os.environ.get(name, "")
    return int(value) if value.strip().isdigit() and int(value) > 0 else default


FUZZ_SECONDS = setting("FIGURES_FUZZ_SECONDS", 300)
STORM_PRESSES = setting("FIGURES_STORM_PRESSES", 100000)
SOAK_TAKEOFFS = setting("FIGURES_SOAK_TAKEOFFS", 10000)
PASSES = setting("FIGURES_PASSES", 1000000)
REPETITIONS = setting("FIGURES_REPETITIONS", 10)
RUN_MUTANTS = os.environ.get("FIGURES_MUTANTS", "") == "1"
RUN_FRONT_DOOR = os.environ.get("FIGURES_FRONT_DOOR", "1") != "0"
WINE_PASSES = max(PASSES // 5, 1000)
INSTALL_KILLS = setting("FIGURES_INSTALL_KILLS", 500)

failures = []


def say(text):
    print(f"figures: {text}", flush=True)


def run(command, cwd=ROOT, env=None, check=True, log=None):
    """A command's (exit status, seconds, output), its output written to
    `log` when given; with `check`, one that fails ends the figures."""
    ran = run_timed([str(c) for c in command], cwd, env=env)
    if log:
        Path(log).write_text(ran.output)
    if check and ran.status != 0:
        sys.stdout.write(ran.output[-4000:])
        sys.exit(f"figures: {' '.join(map(str, command))} failed")
    return ran


def figure_lines(text):
    """The "figure: NAME key=value ..." lines of a run, by name."""
    figures = {}
    for line in text.splitlines():
        if line.startswith("figure: "):
            name, _, rest = line[len("figure: "):].partition(" ")
            figures.setdefault(name, []).append(
                {k: v.strip('"') for k, v in re.findall(r'([\w/-]+)=("[^"]*"|\S+)', rest)})
    return figures
