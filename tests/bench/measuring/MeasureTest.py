#!/usr/bin/python3
# lumivane-measure under Wine, one row a run: what `make figures` reads of it.
# Nothing is judged by how fast anything is, only by what each line must
# hold whatever the speed: every module and every state named once, the
# rounds and passes asked for, the median between the least and the most
# (their mean for two rounds), the ratio the medians give, the calls a pass
# makes as counted; and a module that cannot be driven, or a folder that
# cannot be made, is an error that says so.
#
# Usage: MeasureTest.py WINE_RUN WINE_STATE MEASURE_EXE BUILD_FOLDER WORK_FOLDER
import re
import shutil
import subprocess
import sys
from pathlib import Path

# No bytecode left in the source tree by a test run.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "support"))
sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "tools"))
from Faults import verdict  # noqa: E402
from WinePath import windows_path as windows  # noqa: E402

WINE_RUN, STATE, MEASURE, BUILD, WORK = sys.argv[1], sys.argv[2], sys.argv[3], Path(sys.argv[4]), Path(sys.argv[5])

STATES = ["settings loaded, at rest", "settings loaded, take-off with the sounds playing",
          "every settings file missing", "Speed3's file missing, the first read", "Speed2's file missing, the last read"]
COUNTED = ["LocalAlloc", "LocalFree", "fopen", "failed-fopen", "fgetc", "fputs", "fclose", "DirectSoundCreate"]


def measure(*arguments):
    run = subprocess.run([WINE_RUN, STATE, MEASURE, *arguments], capture_output=True, text=True, timeout=240)
    return run.returncode, run.stdout, run.stderr


def figures(text, name):
    """Each `figure: NAME key=value ...` line as a dict."""
    found = []
    for line in text.splitlines():
        if line.startswith(f"figure: {name} "):
            found.append(dict(re.findall(r'([A-Za-z-]+)=("[^"]*"|\S+)', line[len(f"figure: {name} "):])))
    return found


def check_passes(rounds, passes, out):
    problems = []
    kinds = figures(out, "wine-pass")
    if [k.get("kind") for k in kinds] != ["gauge", "minimal", "null"]:
        problems.append(f"kinds {[k.get('kind') for k in kinds]}")
    medians = {}
    for k in kinds:
        least, median, most = float(k["min-ns"]), float(k["median-ns"]), float(k["max-ns"])
        medians[k["kind"]] = median
        if (k["rounds"], k["passes"]) != (str(rounds), str(passes)):
            problems.append(f"{k['kind']}: rounds {k['rounds']}, passes {k['passes']}")
        if not 0 < least <= median <= most:
            problems.append(f"{k['kind']}: min {least}, median {median}, max {most}")
        if rounds == 2 and abs(median - (least + most) / 2) > 0.051:
            problems.append(f"{k['kind']}: the median of two rounds {median} is not their mean")
        if rounds == 1 and not least == median == most:
            problems.append(f"{k['kind']}: one round, yet min {least}, median {median}, max {most}")
    if len(figures(out, "wine-timer")) != 1 or int(figures(out, "wine-timer")[0]["frequency"]) <= 0:
        problems.append("no timer frequency")
    ratio = re.search(r"Gauge / minimal under Wine: ([0-9.]+) \(median ns a pass: gauge ([0-9.]+), "
                      r"minimal ([0-9.]+), null ([0-9.]+)\)", out)
    if not ratio:
        problems.append("no ratio line")
    elif medians and (float(ratio.group(2)), float(ratio.group(3)), float(ratio.group(4))) != \
            (medians["gauge"], medians["minimal"], medians["null"]) or \
            abs(float(ratio.group(1)) - medians["gauge"] / medians["minimal"]) > 0.0051:
        problems.append(f"the ratio line {ratio.group(0)!r} is not the medians'")
    return problems


def check_calls(out):
    problems = []
    per_pass = figures(out, "calls-per-pass")
    if [p["state"].strip('"') for p in per_pass] != STATES:
        return [f"states {[p['state'] for p in per_pass]}"]
    # 50 passes at rest; the take-off from 60 to 120 knots at 10 a second,
    # 18 passes a second, is six seconds of passes and the last: 109.
    for p, passes in zip(per_pass, [50, 109, 50, 50, 50]):
        if p["steady"] != "yes" or int(p["passes"]) != passes or any(k not in p for k in COUNTED):
            problems.append(f"{p['state']}: {p}, not {passes} steady passes")
    # At rest with the settings loaded a pass calls nothing; a missing file
    # is asked for once a pass.
    if any(per_pass[0][k] != "0" for k in COUNTED):
        problems.append(f"at rest: {per_pass[0]}")
    if (per_pass[1]["plays"], per_pass[2]["fopen"], per_pass[2]["failed-fopen"]) != ("3", "1", "1"):
        problems.append(f"take-off or missing files: {per_pass[1]}, {per_pass[2]}")
    # Install and kill are printed for the first state and those that play.
    for name in ["calls-at-install", "calls-at-kill"]:
        said = [f["state"].strip('"') for f in figures(out, name)]
        if said != STATES[:2]:
            problems.append(f"{name} for {said}")
    for kill in figures(out, "calls-at-kill"):
        if kill["blocks-left"] != "0" or kill["LocalFree"] != "2":
            problems.append(f"kill: {kill}")
    for install in figures(out, "calls-at-install"):
        if (install["LocalAlloc"], install["DirectSoundCreate"]) != ("2", "1"):
            problems.append(f"install: {install}")
    return problems


shutil.rmtree(WORK, ignore_errors=True)
WORK.mkdir(parents=True)
(WORK / "a-file").write_text("")
settings = windows(WORK / "settings")
gauge, minimal, null = (windows(BUILD / name) for name in ["Lumivane.gau", "MinimalGauge.gau", "NullGauge.gau"])

# name, arguments, exit status, a check of the output or texts stderr holds
ROWS = [
    ("passes, one round", ["passes", "--settings", settings, "--rounds", "1", "--passes", "5"], 0,
     lambda out: check_passes(1, 5, out)),
    ("passes, two rounds", ["passes", "--settings", settings, "--rounds", "2", "--passes", "3"], 0,
     lambda out: check_passes(2, 3, out)),
    ("passes, three rounds", ["passes", "--settings", settings, "--rounds", "3", "--passes", "7"], 0,
     lambda out: check_passes(3, 7, out)),
    ("calls", ["calls", "--settings", settings], 0, check_calls),
    ("the null gauge as the gauge", ["passes", "--settings", settings, "--gauge", null], 1,
     ["NullGauge.gau does not import what Lumivane.gau imports"]),
    ("the null gauge as the minimal", ["passes", "--settings", settings, "--minimal", null, "--passes", "1"], 1,
     ['the minimal gauge shows "", not "100": it does not do its work']),
    ("the minimal gauge as the null", ["passes", "--settings", settings, "--null", minimal, "--passes", "1"], 1,
     ['the null gauge shows "100", not "": it does not do its work']),
    ("no module there", ["calls", "--settings", settings, "--gauge", windows(WORK / "absent.gau")], 1,
     ["absent.gau"]),
    ("a settings folder that cannot be made", ["calls", "--settings", windows(WORK / "a-file" / "below")], 1,
     ["cannot make the settings folder"]),
    ("no rounds", ["passes", "--settings", settings, "--rounds", "0"], 105, ["--rounds"]),
]

failures = []
for name, arguments, status, judge in ROWS:
    code, out, err = measure(*arguments)
    problems = [] if code == status else [f"exit status {code}, not {status}"]
    problems += judge(out) if callable(judge) else [f"no {w!r} in stderr" for w in judge if w not in err]
    if problems:
        failures.append(f"{name}: " + "; ".join(problems) + f"\n  stdout: {out[-600:]}\n  stderr: {err[-600:]}")
sys.exit(verdict(failures, None if failures else f"{len(ROWS)} runs of lumivane-measure as expected"))
