#!/usr/bin/python3
# The native bench's command line, one row a run: each step of what a run
# does (parse, check the options together, load the scenario, fly, write the
# pictures, report) ends the run with its own exit status and message, or
# lets the next one go on, and a run leaves exactly the records it was asked
# for. Every run is held to a time limit.
#
# Usage: CommandLineTest.py BENCH MODULE WORK_FOLDER
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

# No bytecode left in the source tree by a test run.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "support"))
from RowTable import run_table  # noqa: E402

BENCH, MODULE, WORK = sys.argv[1], sys.argv[2], Path(sys.argv[3])
SECONDS = 60  # a run with every frame also makes its video
ENV = dict(os.environ, ASAN_OPTIONS="detect_leaks=0:" + os.environ.get("ASAN_OPTIONS", ""))

# name, arguments ({module}, {scenario}, {out}, {absent} filled in), exit
# status, the stream and the pattern it must match, the files the output
# folder must hold (None: the folder must not exist) and must not hold.
ROWS = [
    ("no module", [], 2, "stderr", r"module is required", None, []),
    ("a module alone", ["{module}"], 2, "stderr", r"--scenario and --out are needed \(or --window\)", None, []),
    ("no --out", ["{module}", "--scenario", "{scenario}"], 2, "stderr", r"--scenario and --out are needed", None, []),
    ("no --scenario", ["{module}", "--out", "{out}"], 2, "stderr", r"--scenario and --out are needed", None, []),
    ("--frames with --window but no --out", ["{module}", "--window", "--frames", "all"], 2, "stderr",
     r"--frames needs --out, the folder to write them in", None, []),
    ("--real-time and --fast", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--real-time", "--fast"],
     2, "stderr", r"--real-time excludes --fast", None, []),
    ("--scale 17", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--scale", "17"], 2, "stderr",
     r"--scale", None, []),
    ("--help", ["--help"], 0, "stdout", r"Exit status: 0 for a clean run, 1 when the module could not be loaded",
     None, []),
    ("a scenario that is not there", ["{module}", "--scenario", "{absent}", "--out", "{out}"], 2, "stderr",
     r"cannot read the scenario", None, []),
    ("a module that is not there", ["{absent}", "--scenario", "{scenario}", "--out", "{out}"], 1, "stderr",
     r"^lumivane-bench: cannot read the module", None, []),
    ("--window in the native build", ["{module}", "--window"], 1, "stderr", r"--window needs the windows build",
     None, []),
    ("a quiet run without frames", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--quiet",
     "--frames", "none"], 0, "stdout", r"^$", ["events.jsonl", "sound.wav", "s.png"], ["frames", "frames.png", "s.mp4"]),
    ("a run with every frame", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--frames", "all",
     "--scale", "1"], 0, "stdout", r"^19 passes\.\n(.|\n)*No faults\.\nFrames: 19 in (.|\n)*Video: ",
     ["events.jsonl", "sound.wav", "frames/pass-000018.png", "frames.png", "s.png", "s.mp4"],
     ["frames/pass-000019.png"]),
]


def run_row(index, row):
    name, arguments, status, stream, pattern, holds, lacks = row
    folder = WORK / f"row{index:02}"
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    scenario = folder / "s.txt"
    scenario.write_text("0 airspeed 0\n1 end\n")
    out = folder / "out"
    filled = {"module": MODULE, "scenario": str(scenario), "out": str(out), "absent": str(folder / "absent")}
    command = [BENCH] + [argument.format(**filled) for argument in arguments]
    try:
        result = subprocess.run(command, capture_output=True, timeout=SECONDS, env=ENV)
    except subprocess.TimeoutExpired:
        return f"still running after {SECONDS} s"
    text = (result.stdout if stream == "stdout" else result.stderr).decode(errors="replace")
    problems = []
    if result.returncode != status:
        problems.append(f"exit {result.returncode}, wanted {status}")
    if not re.search(pattern, text, re.MULTILINE if pattern != r"^$" else 0):
        problems.append(f"{stream} does not match {pattern!r}: {text[:400]!r}")
    if holds is None and out.exists():
        problems.append("a run that never started made its output folder")
    for file in holds or []:
        if not (out / file).exists():
            problems.append(f"no {file} in the output folder")
    for file in lacks:
        if (out / file).exists():
            problems.append(f"{file} in the output folder, not asked for")
    if problems:
        return "; ".join(problems)
    print(f"ok    {name}: exit {result.returncode}")
    return None


if __name__ == "__main__":
    sys.exit(run_table(ROWS, WORK, run_row))
