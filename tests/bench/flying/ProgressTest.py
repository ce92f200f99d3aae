#!/usr/bin/python3
# The progress line of a run that lasts, one row a kind of standard error:
# into a pipe (a log), a line at each quarter reached after the first two
# seconds, each ending its line, never a carriage return; into a terminal (a
# pseudo-terminal here), the line drawn again in place, and ended once, at
# 100%. The run is flown in real time so that it lasts as long on any
# machine; nothing is judged by how fast it went. A quarter of an hour flown
# as fast as the machine goes, 16,200 passes, still writes a log at most a
# line a quarter (or none, on a machine that flies it in under two seconds).
#
# Usage: ProgressTest.py WORK_FOLDER BENCH MODULE            (the native bench)
#        ProgressTest.py WORK_FOLDER WINE_RUN STATE BENCH MODULE  (under Wine)
import os
import pty
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
from WinePath import windows_path  # noqa: E402

WORK, COMMAND = Path(sys.argv[1]), sys.argv[2:]
WINE = len(COMMAND) == 4
SHORT = ("0 airspeed 0\n2.5 end\n", ["--real-time"])
LONG = ("0 airspeed 0\n900 end\n", ["--fast"])
LINE = rb"\[[#.]{30}\] +\d+%  \d+\.\d s of (2\.5|900\.0) s, pass \d+"


def windows(path):
    return windows_path(path) if WINE else str(path)


def fly(folder, terminal, flight):
    folder.mkdir(parents=True)
    text, pace = flight
    (folder / "s.txt").write_text(text)
    *start, module = COMMAND
    command = [*start, windows(module), "--scenario", windows(folder / "s.txt"), "--out", windows(folder / "out"),
               "--frames", "none", *pace] + (["--soft-sound"] if WINE else [])
    if not terminal:
        run = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=120)
        return run.returncode, run.stderr
    leader, follower = pty.openpty()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=follower)
    os.close(follower)
    said = b""
    while True:
        try:
            chunk = os.read(leader, 4096)
        except OSError:  # the terminal's other end is gone
            break
        if not chunk:
            break
        said += chunk
    os.close(leader)
    return process.wait(timeout=120), said


def judge_log(said, least=1):
    # A Windows program's text mode ends its lines with "\r\n".
    if WINE:
        said = said.replace(b"\r\n", b"\n")
    if least == 0 and said == b"":
        return []
    lines = said.split(b"\n")
    problems = [] if lines[-1] == b"" else ["the last line is not ended"]
    lines = lines[:-1]
    if b"\r" in said:
        problems.append("a carriage return in a log")
    if not least <= len(lines) <= 4 or not all(re.fullmatch(LINE, line) for line in lines):
        problems.append(f"lines {lines}")
    elif not lines[-1].startswith(b"[" + b"#" * 30 + b"] 100%"):
        problems.append(f"the last line is {lines[-1]!r}, not 100%")
    return problems


def judge_terminal(said):
    # The terminal turns the one line end into "\r\n".
    ends = said.count(b"\n")
    if ends != 1 or not said.endswith(b"\r\n"):
        return [f"{ends} line ends, not one at the end"]
    drawn = said[:-2].split(b"\r")
    if drawn[0] != b"" or len(drawn) < 3 or not all(re.fullmatch(LINE, line) for line in drawn[1:]):
        return [f"not a line drawn again in place: {drawn[:4]}"]
    if not drawn[-1].startswith(b"[" + b"#" * 30 + b"] 100%"):
        return [f"the last drawing is {drawn[-1]!r}, not 100%"]
    return []


ROWS = [("into a log", False, judge_log, SHORT),
        ("a quarter of an hour flown fast, into a log", False, lambda said: judge_log(said, least=0), LONG)] + \
    ([] if WINE else [("into a terminal", True, judge_terminal, SHORT)])
shutil.rmtree(WORK, ignore_errors=True)
failures = []
for name, terminal, judge, flight in ROWS:
    status, said = fly(WORK / name.replace(" ", "-").replace(",", ""), terminal, flight)
    problems = ([] if status == 0 else [f"exit status {status}"]) + judge(said)
    if problems:
        failures.append(f"{name}: " + "; ".join(problems) + f"\n  said: {said[-400:]!r}")
    else:
        print(f"ok    {name}")
sys.exit(verdict(failures))
