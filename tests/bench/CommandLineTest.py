#!/usr/bin/python3
# The native bench's command line, one row a run: each step of what a run
# does (parse, check the options together, load the scenario, fly, write the
# pictures, report) ends the run with its own exit status and message, or
# lets the next one go on, and a run leaves exactly the records it was asked
# for. Every kind of end has its rows (0 clean, 1 not loaded, 2 refused, 3
# faults found, and a module's crash, which natively the sanitizer reports
# with a status of its own), and each option's limits are met exactly and
# just passed. Every run is held to a time limit.
#
# Usage: CommandLineTest.py BENCH MODULE OTHER_MODULE FAULTING_MODULE WORK_FOLDER
# (OTHER_MODULE: TwinLamps.gau, which misbehaves beyond 900,000 knots;
# FAULTING_MODULE: Faulting.gau, which crashes at 1000 knots and when pressed)
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

BENCH, MODULE, OTHER, FAULTING, WORK = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], Path(sys.argv[5])
# The status of a run the process did not end itself: the sanitizer's, or
# without one the signal's.
NONZERO = "non-zero"
# A run still under way when its row has seen enough: what it printed before
# it started is judged, and the run is stopped.
STILL_RUNNING = "still running"
STILL_RUNNING_SECONDS = 3
SECONDS = 180  # a hang guard: a run with every frame also makes its video, slowly on a busy machine
ENV = dict(os.environ, ASAN_OPTIONS="detect_leaks=0:" + os.environ.get("ASAN_OPTIONS", ""))

# The files a row may name besides the module: a scenario of a second, one
# that flies TwinLamps.gau where it calls a service no host serves, one with a
# bad line, and module files that are no module.
SCENARIOS = {"scenario": "0 airspeed 0\n1 end\n", "stray": "0 airspeed 0\n0.2 airspeed 950000\n0.5 end\n",
             "crash": "0 airspeed 60\n1 airspeed 1000\n2 end\n", "long": "0 airspeed 0\n3601 end\n",
             "minute": "0 airspeed 0\n61 end\n",
             "presses": "0 airspeed 0\n" + "0.5 press 10 57\n" * 20 + "1 end\n",
             "callout": "settings speed1 80\nsettings speed2 90\nsettings speed3 100\n0 airspeed 70\n1 airspeed 85\n"
                        "1.5 airspeed 86\n2 end\n", "pressed": "0 airspeed 60\n0.5 press 50 30\n2 end\n",
             "bad": "0 airspeed 0\n1 ramp 10\n2 end\n", "settings": "settings speed1 80\n0 airspeed 0\n1 end\n",
             "offgauge": "0 airspeed 0\n0.5 press 100 10\n1 end\n"}
MODULES = {"text": lambda: b"not a module\n", "empty": lambda: b"",
           "cut": lambda: Path(MODULE).read_bytes()[:4096]}
SERVED_NOT = r"the module called service entry 30, which the bench does not serve"

# name, arguments ({module}, {other}, {faulting}, each scenario and module file above,
# {out}, {absent}, and {blocked} and {walled}, a settings folder and an
# output folder where Speed1's file and sound.wav are folders, and
# {nomatplotlib}, a folder whose matplotlib cannot be imported, filled in),
# exit status, the stream (or a file of the output folder) and the pattern it
# must match, the files the output folder must hold (None: the folder must not
# exist) and must not hold; then, if given, what the run's environment changes.
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
    ("--help", ["--help"], 0, "stdout", r"Exit status: 0 for a clean run, 1 when the module could not be loaded"
     r"(.|\n)*, 4 when the module crashed \((.|\n)*, 5 when the bench itself failed\.", None, []),
    ("a scenario that is not there", ["{module}", "--scenario", "{absent}", "--out", "{out}"], 2, "stderr",
     r"cannot read the scenario", None, []),
    # Under bench/run-bench the paths are Wine's, printed in Linux form: a
    # path on Z: runs to the first blank or quote.
    ("a Wine path printed in Linux form", ["{module}", "--scenario", "Z:\\absent dir\\x.txt", "--out", "{out}",
     "--from-linux"], 2, "stderr", r"^cannot read the scenario: /absent dir\\x\.txt does not exist", None, []),
    ("a Wine path up to its quote", ["{module}", "--scenario", "Z:\\absent\\it's\\x.txt", "--out", "{out}",
     "--from-linux"], 2, "stderr", r"^cannot read the scenario: /absent/it's\\x\.txt does not exist", None, []),
    # The launcher's capture file means Wine's device; natively the option is
    # taken and the software device's mix is what is heard.
    ("--capture in the native build", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--frames", "none",
     "--capture", "{absent}"], 0, "stdout", r"the software DirectSound's mix", ["sound.wav"], []),
    ("a module that is not there", ["{absent}", "--scenario", "{scenario}", "--out", "{out}"], 1, "stderr",
     r"^lumivane-bench: cannot read the module", None, []),
    ("--window in the native build", ["{module}", "--window"], 1, "stderr", r"--window needs the windows build",
     None, []),
    # --panel reads an aircraft's panel instead, and takes the module from its
    # Gauges folder (tests/bench/aircraft/ has the panels themselves).
    ("--panel and a module", ["{module}", "--panel", "{absent}"], 2, "stderr",
     r"--panel takes the module from the Gauges folder", None, []),
    ("--gauges without --panel", ["{module}", "--gauges", "{out}", "--window"], 2, "stderr",
     r"--gauges goes with --panel", None, []),
    ("--panel and a scenario without the window", ["--panel", "{absent}", "--scenario", "{scenario}"], 2, "stderr",
     r"--panel flies a --scenario only in its --window", None, []),
    ("--panel that is not there", ["--panel", "{absent}", "--out", "{out}"], 2, "stderr",
     r"^\S*absent\S*: cannot read the panel configuration: \S* does not exist\n$", None, []),
    # --install and --uninstall go alone, with their own options (the panels
    # and the faults are tests/bench/aircraft/'s).
    ("--at without --install", ["--panel", "{absent}", "--at", "1,2"], 2, "stderr",
     r"--at, --in-window, --replace and --dry-run go with --install", None, []),
    ("--install and --uninstall", ["--install", "{absent}", "--uninstall", "{absent}"], 2, "stderr",
     r"--install and --uninstall go alone, without --panel, --scenario or --window", None, []),
    ("--install and --panel", ["--install", "{absent}", "--panel", "{absent}"], 2, "stderr",
     r"--install and --uninstall go alone", None, []),
    ("--uninstall and --at", ["--uninstall", "{absent}", "--at", "1,2"], 2, "stderr",
     r"--uninstall takes no module, --at, --in-window or --replace", None, []),
    ("--at that is not X,Y", ["--install", "{absent}", "--at", "1;2"], 2, "stderr",
     r"--at wants X,Y, two whole numbers from 0 to 32767, not '1;2'", None, []),
    ("--at past the units", ["--install", "{absent}", "--at", "1,32768"], 2, "stderr", r"--at wants X,Y", None, []),
    ("--in-window 1000", ["--install", "{absent}", "--in-window", "1000"], 2, "stderr", r"--in-window", None, []),
    ("--install of a panel that is not there", ["--install", "{absent}"], 2, "stderr",
     r"^\S*absent\S*: cannot read the panel configuration: \S* does not exist\nlumivane-bench: nothing was "
     r"changed: the panel could not be read\n$", None, []),
    # Run in the row's folder: a relative output folder is that folder's.
    ("a relative --out", ["{module}", "--scenario", "{scenario}", "--out", "out", "--frames", "none"], 0, "stdout",
     r"\nNo faults\.\nChart: /\S*/out/s\.png\n", ["events.jsonl", "sound.wav", "s.png"], []),
    ("a quiet run without frames", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--quiet",
     "--frames", "none"], 0, "stdout", r"^$", ["events.jsonl", "sound.wav", "s.png"], ["frames", "frames.png", "s.mp4"]),
    ("a bad scenario line", ["{module}", "--scenario", "{bad}", "--out", "{out}"], 2, "stderr",
     r"^[^\n]*bad\.txt:2: ramp needs a target and a duration: TIME ramp TARGET over SECONDS\n$", None, []),
    # A press is held to the gauge's own size once its module is loaded:
    # the run does not start, and leaves nothing.
    ("a press off the gauge's own panel", ["{module}", "--scenario", "{offgauge}", "--out", "{out}"], 1, "stderr",
     r"^lumivane-bench: \S*offgauge\.txt:2: the point 100,10 is off the panel, which is 100 × 70 pixels from 0,0 "
     r"at the top left\n$", None, []),
    ("a text file as the module", ["{text}", "--scenario", "{scenario}", "--out", "{out}"], 1, "stderr",
     r"^lumivane-bench: \S*text\.gau is not a gauge module this bench can load: it is neither a DLL nor a shared "
     r"object", None, []),
    ("an empty module", ["{empty}", "--scenario", "{scenario}", "--out", "{out}"], 1, "stderr",
     r"\S*empty\.gau is not a gauge module this bench can load: it is an empty file", None, []),
    ("the module's first 4 KB", ["{cut}", "--scenario", "{scenario}", "--out", "{out}"], 1, "stderr",
     r"\S*cut\.gau .*ELF shared object cut short", None, []),
    ("a run that finds faults", ["{other}", "--scenario", "{stray}", "--out", "{out}", "--frames", "none"], 3,
     "stdout", r"^10 passes\.\n(.|\n)*\n6 faults:\n  " + SERVED_NOT + r" \(6 times\)\n",
     ["events.jsonl", "sound.wav", "stray.png"], ["frames", "stray.mp4"]),
    ("faults found in a quiet run", ["{other}", "--scenario", "{stray}", "--out", "{out}", "--frames", "none",
     "--quiet"], 3, "events.jsonl", r'\A\{"gauge":.*\n((?!.*"stack").*\n){4}(.*"stack":\["' + SERVED_NOT +
     r'"\]\}\n){6}\Z', ["events.jsonl"], ["frames"]),
    # A module that crashes ends the run in the pass it crashed: natively the
    # sanitizer says where, and the log holds whole lines of the passes
    # before it, never one past; nothing is drawn from the cut-off run.
    ("a module that crashes in a callback", ["{faulting}", "--scenario", "{crash}", "--out", "{out}"], NONZERO,
     "events.jsonl", r'\A\{"gauge":.*\}\n(\{"pass":(\d|1[0-7]),"time".*\}\n)*\Z', ["events.jsonl"],
     ["crash.png", "crash.mp4"]),
    ("a module that crashes in a handler", ["{faulting}", "--scenario", "{pressed}", "--out", "{out}", "--quiet"],
     NONZERO, "events.jsonl", r'\A\{"gauge":.*\}\n(\{"pass":\d,"time".*\}\n)*\Z', ["events.jsonl"],
     ["pressed.png", "pressed.mp4", "frames.png"]),
    # A run in real time longer than a minute says first how long it takes.
    ("a long run in real time", ["{module}", "--scenario", "{long}", "--out", "{out}", "--real-time", "--frames",
     "none"], STILL_RUNNING, "stdout", r"^This run is flown in real time, as the gauge sounds in the simulator: it "
     r"will take 1 h 0 min\. --fast flies it as fast as the machine goes, through the bench's software "
     r"DirectSound\.\n", ["settings"], []),
    ("a long run flown fast", ["{module}", "--scenario", "{minute}", "--out", "{out}", "--quiet", "--frames", "none"],
     0, "stdout", r"^$", ["events.jsonl", "sound.wav"], []),
    # A log of the changes: the gauge's line, the first pass, the call-out's,
    # and the last; not the pass that only changed the airspeed.
    ("--log changes", ["{module}", "--scenario", "{callout}", "--out", "{out}", "--frames", "none", "--quiet",
     "--log", "changes"], 0, "events.jsonl",
     r'\A\{"gauge":\{"name":"Lumivane",.*\}\}\n\{"pass":0,"time":0\.0,"airspeed":70\.0,.*"plays":\[\].*\n'
     r'\{"pass":18,"time":1\.0,"airspeed":85\.0,.*"lamps":\[true,false,false\].*"plays":\["Wave1"\].*\n'
     r'\{"pass":36,"time":2\.0,"airspeed":86\.0,.*\n\Z', ["events.jsonl", "sound.wav"], []),
    # Twenty presses in one pass: the log names the first sixteen handlers
    # and counts the rest.
    ("twenty presses in one pass", ["{module}", "--scenario", "{presses}", "--out", "{out}", "--frames", "none",
     "--quiet"], 0, "events.jsonl", r'\n\{"pass":9,.*"handlers":\[("area 5",){15}"area 5"\],"handlers_left_out":4\}\n',
     ["events.jsonl"], []),
    ("--log bogus", ["{module}", "--scenario", "{callout}", "--out", "{out}", "--log", "bogus"], 2, "stderr",
     r"--log: bogus not in \{every,changes\}", None, []),
    ("--rate 1, the least", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--frames", "none",
     "--rate", "1"], 0, "stdout", r"^2 passes\.\n", ["events.jsonl"], []),
    ("--rate 0.999", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--rate", "0.999"], 2, "stderr",
     r"--rate: Value 0\.999 not in range 1\.000000 to 1000\.000000", None, []),
    ("--rate 1000, the most", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--frames", "none",
     "--rate", "1000"], 0, "stdout", r"^1001 passes\.\n", ["events.jsonl"], []),
    ("--rate 1000.001", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--rate", "1000.001"], 2,
     "stderr", r"--rate: Value 1000\.001 not in range 1\.000000 to 1000\.000000", None, []),
    ("--scale 16, the most", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--quiet", "--scale", "16"],
     0, "stdout", r"^$", ["frames/pass-000000.png", "frames.png"], []),
    ("--scale 0", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--scale", "0"], 2, "stderr",
     r"--scale: Value 0 not in range 1 to 16", None, []),
    ("a settings file that cannot be written", ["{module}", "--scenario", "{settings}", "--out", "{out}",
     "--settings", "{blocked}", "--frames", "none"], 1, "stderr",
     r"^lumivane-bench: cannot write the settings file \S*blocked/C:\\pelmo1$", [], ["events.jsonl"]),
    ("a sound.wav that cannot be written", ["{module}", "--scenario", "{scenario}", "--out", "{walled}",
     "--frames", "none"], 1, "stderr", r"^lumivane-bench: cannot write \S*walled/sound.wav$", [], []),
    ("a chart without matplotlib", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--frames", "none"], 0,
     "stdout", r"^No chart: /usr/bin/python3 has no matplotlib \(Debian package python3-matplotlib\); with it: "
     r"/usr/bin/python3 \S+/chart\.py \S+/events\.jsonl \S+/s\.png --title s\.txt$", ["events.jsonl"], ["s.png"],
     {"PYTHONPATH": "{nomatplotlib}"}),
    ("a run with every frame", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--frames", "all",
     "--scale", "1"], 0, "stdout",
     r"^19 passes\.\n(.|\n)*No faults\.\nFrames: 19 in \S*frames\.\n(.|\n)*\nChart: \S*s\.png\nVideo: \S*s\.mp4\n",
     ["events.jsonl", "sound.wav", "frames/pass-000018.png", "frames.png", "s.png", "s.mp4"],
     ["frames/pass-000019.png"], {"LUMIVANE_PYTHON": ""}),
    ("pictures without Python", ["{module}", "--scenario", "{scenario}", "--out", "{out}", "--frames", "all",
     "--scale", "1"], 0, "stdout",
     r"\nNo chart: there is no \S+/absent \(Debian packages python3 and python3-matplotlib\)\n"
     r"No video: there is no \S+/absent \(Debian packages python3 and python3-pil\)\n",
     ["events.jsonl", "frames.png"], ["s.png", "s.mp4"], {"LUMIVANE_PYTHON": "{absent}"}),
]


def run_row(index, row):
    name, arguments, status, stream, pattern, holds, lacks, *environment = row
    folder = WORK / f"row{index:02}"
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    out = folder / "out"
    filled = {"module": MODULE, "other": OTHER, "faulting": FAULTING, "out": str(out), "absent": str(folder / "absent"),
              "blocked": str(folder / "blocked"), "walled": str(folder / "walled")}
    (folder / "walled" / "sound.wav").mkdir(parents=True)
    filled["nomatplotlib"] = str(folder / "nomatplotlib")
    (folder / "nomatplotlib" / "matplotlib").mkdir(parents=True)
    (folder / "nomatplotlib" / "matplotlib" / "__init__.py").write_text("raise ImportError('not here')\n")
    (folder / "blocked" / "C:\\pelmo1").mkdir(parents=True)
    for key, text in SCENARIOS.items():
        filled[key] = str(folder / ("s.txt" if key == "scenario" else key + ".txt"))
        Path(filled[key]).write_text(text)
    for key, make in MODULES.items():
        filled[key] = str(folder / (key + ".gau"))
        Path(filled[key]).write_bytes(make())
    command = [BENCH] + [argument.format(**filled) for argument in arguments]
    limit = STILL_RUNNING_SECONDS if status == STILL_RUNNING else SECONDS
    try:
        env = dict(ENV, **{k: v.format(**filled) for k, v in environment[0].items()}) if environment else ENV
        result = subprocess.run(command, capture_output=True, timeout=limit, env=env, cwd=folder)
    except subprocess.TimeoutExpired as stopped:
        if status != STILL_RUNNING:
            return f"still running after {SECONDS} s"
        result = subprocess.CompletedProcess(command, STILL_RUNNING, stopped.stdout or b"", stopped.stderr or b"")
    if stream in ("stdout", "stderr"):
        text = (result.stdout if stream == "stdout" else result.stderr).decode(errors="replace")
    else:
        text = (out / stream).read_text(errors="replace") if (out / stream).is_file() else ""
    problems = []
    if result.returncode != status and not (status == NONZERO and result.returncode != 0):
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
