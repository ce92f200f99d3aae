#!/usr/bin/python3
"""The chart draws any gauge its log describes, and nothing it is not told:
one row a log, each drawn by bench/pictures/chart.py (through the one
reader of events.jsonl, events.py) and held to the exit status and the
lines it prints, or to the file, line and fault it names. A gauge's line
names its speeds and where its lamps go dark; without one the speeds are
numbered.

    ChartLogsTest.py WORK-FOLDER
"""
import json
import re
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "tools"))
# No bytecode left in the source tree by a test.
sys.dont_write_bytecode = True
from Faults import arguments, verdict  # noqa: E402

CHART = Path(__file__).resolve().parents[3] / "bench" / "pictures" / "chart.py"
LUMIVANE = {"gauge": {"name": "Lumivane", "module": "Lumivane.gau", "speeds": ["Speed1", "Speed2", "Speed3"],
                      "lamps_dark_above": {"speed": 3, "by": 10.0},
                      "clips": {"Wave1": {"sound": "single beep", "beeps": 1},
                                "Wave2": {"sound": "double beep", "beeps": 2}}}}
TWO = {"gauge": {"name": "Flaps", "module": "Flaps.gau", "speeds": ["up", "down"], "lamps_dark_above": None,
                 "clips": {"Chime": {"sound": "a chime", "beeps": 1}}}}


def passes(count, speeds, plays=()):
    """`count` passes a quarter second apart, the airspeed climbing, each
    holding `speeds` (and as many lamps, dark); the first plays `plays`."""
    return [{"pass": n, "time": n / 4, "airspeed": 50 + n, "lamps": [False] * len(speeds), "speeds": speeds,
             "plays": list(plays) if n == 0 else []} for n in range(count)]


def log(*lines):
    return "".join((line if isinstance(line, str) else json.dumps(line)) + "\n" for line in lines)


# name, the log, the exit status, and a pattern the output (stdout then
# stderr) must match.
ROWS = [
    ("Lumivane's gauge", log(LUMIVANE, *passes(4, [80, 90, 100], ["Wave2"])), 0,
     r"\Aairspeed 50 to 53\nSpeed1 80 from 0\.00 s to 1\.00 s\nSpeed2 90 from 0\.00 s to 1\.00 s\n"
     r"Speed3 100 from 0\.00 s to 1\.00 s\n\Z"),
    ("another gauge of two speeds", log(TWO, *passes(3, [12, 30], ["Chime"])), 0,
     r"\Aairspeed 50 to 52\nup 12 from 0\.00 s to 0\.75 s\ndown 30 from 0\.00 s to 0\.75 s\n\Z"),
    ("a log without a gauge's line", log(*passes(2, [80, None, 100])), 0,
     r"\Aairspeed 50 to 51\nspeed 1 80 from 0\.00 s to 0\.50 s\nspeed 3 100 from 0\.00 s to 0\.50 s\n\Z"),
    ("blank lines before the gauge's line", "\n\n" + log(TWO, *passes(1, [12, 30])), 0, r"\Aairspeed 50 to 50\n"),
    ("a gauge's line alone", log(LUMIVANE), 2, r"chart\.py: \S+ holds no passes\n\Z"),
    ("passes of more speeds than the gauge names", log(TWO, *passes(2, [1, 2, 3])), 2,
     r"chart\.py: \S+:2: 'lamps' must be null or a list of 2\n\Z"),
    ("speeds that are no names", log({"gauge": {"speeds": [1, 2]}}, *passes(1, [1, 2])), 2,
     r"chart\.py: \S+:1: the gauge's 'speeds' must be a list of at most 16 names\n\Z"),
    ("more speeds than any panel", log({"gauge": {"speeds": ["s"] * 17}}, *passes(1, [1] * 17)), 2,
     r"chart\.py: \S+:1: the gauge's 'speeds' must be a list of at most 16 names\n\Z"),
    ("lamps dark above a speed it has not", log({"gauge": {"speeds": ["a"], "lamps_dark_above": {"speed": 2,
     "by": 10}}}, *passes(1, [1])), 2, r"chart\.py: \S+:1: the gauge's 'lamps_dark_above' must name one of its "),
    ("a gauge's line that is not an object", log({"gauge": [1]}, *passes(1, [1])), 2,
     r"chart\.py: \S+:1: 'gauge' must be an object\n\Z"),
    ("a gauge's line after a pass", log(*passes(1, [1]), LUMIVANE), 2, r"chart\.py: \S+:2: no 'time'\n\Z"),
    ("a line that is not JSON", log(LUMIVANE, "{not json"), 2, r"chart\.py: \S+:2: not JSON \("),
]


def main(work):
    work = Path(work)
    work.mkdir(parents=True, exist_ok=True)
    faults = []
    for index, (name, text, status, pattern) in enumerate(ROWS):
        events = work / f"events-{index}.jsonl"
        events.write_text(text)
        run = subprocess.run([sys.executable, str(CHART), str(events), str(work / f"chart-{index}.png")],
                             capture_output=True, text=True, timeout=120)
        said = run.stdout + run.stderr
        if run.returncode != status or not re.search(pattern, said):
            faults.append(f"{name}: exit {run.returncode} (wanted {status}), said:\n{said}")
    return verdict(faults, None if faults else f"{len(ROWS)} logs drawn or refused as they should be")


if __name__ == "__main__":
    sys.exit(main(*arguments(__doc__, 1)))
