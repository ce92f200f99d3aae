#!/usr/bin/python3
"""The bench's command examples in README.md and docs/*.md, run as a reader
would run them, so that none can go stale. An example is a line of a code
block (indented or fenced; a line ending in a backslash goes on) that starts
with one of the programs below. Each page's examples run in order, in a
folder of their own where the tree's folders and build/native are at hand
and /tmp/ is the page's own scratch folder, so one example may use what an
earlier one on its page made.

- build/native/lumivane-bench, and /usr/bin/python3 with a script of the
  tree: run, and must end with status 0.
- bench/run-bench: the windows bench under Wine. Its arguments are handed to
  the native bench as the launcher hands them on, with the windows build's
  module in the native one's place. A window cannot open natively, so a
  --window example must get as far as the window (every option taken, the
  scenario and panel read) and be refused there; any other must fly clean.
  Its pictures are left out (--frames none, unless it names its frames, and
  no chart or video): under Wine the launcher draws them, and the tests of
  bench/run-bench judge them.
- lumivane-bench: the windows bench as a pilot runs it from the release zip,
  on the pilot's own files. Every option it names must be one --help lists.

    DocExamplesTest.py SOURCE-ROOT NATIVE-BUILD WORK-DIR
"""
import os
import re
import shlex
import shutil
import subprocess
import sys
from pathlib import Path

# No bytecode left in the source tree by a test run.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "support"))
from RowTable import run_table  # noqa: E402

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
from Faults import arguments, verdict  # noqa: E402

SOURCE, BUILD, WORK = map(Path, arguments(__doc__, 3))
BENCH = "build/native/lumivane-bench"
MODULE = "build/native/Lumivane.gau"
SECONDS = 120
# The leak check would judge the programs the bench starts (the chart's and
# the video's), not the bench.
ENV = dict(os.environ, ASAN_OPTIONS="detect_leaks=0:" + os.environ.get("ASAN_OPTIONS", ""))
# The native bench's answer to --window, once everything before the window
# has been taken.
NO_WINDOW = "--window needs the windows build"
# bench/run-bench's options that take a value; any other word not starting
# with a dash is the module.
RUN_BENCH_VALUES = {"--scenario", "--settings", "--out", "--panel", "--gauges", "--rate", "--capture", "--frames",
                    "--scale", "--log", "--install", "--uninstall", "--at", "--in-window"}
# Where the launcher names no module: the bench takes the panel's, or the one
# beside itself.
NO_MODULE = {"--panel", "--install", "--uninstall"}
PROGRAMS = (BENCH, "bench/run-bench", "lumivane-bench", "/usr/bin/python3")


def pages():
    return [SOURCE / "README.md"] + sorted((SOURCE / "docs").glob("*.md"))


def examples(page):
    """(line number, words) of each example on the page, in order."""
    found, fenced, pending, start = [], False, "", 0
    for number, line in enumerate(page.read_text(encoding="utf-8").splitlines(), 1):
        if line.lstrip().startswith("```"):
            fenced = not fenced
            continue
        if not (fenced or line.startswith("    ") or pending):
            continue
        if not pending:
            start = number
        pending += line.strip()
        if pending.endswith("\\"):
            pending = pending[:-1] + " "
            continue
        text, pending = pending, ""
        if text.split(" ", 1)[0] in PROGRAMS:
            try:
                found.append((start, shlex.split(text)))
            except ValueError as error:
                found.append((start, ["unreadable", text, str(error)]))
    return found


def scratch_for(page):
    """The page's folder: the tree's own folders by link, build/native as the
    build, and tmp/ for /tmp/."""
    folder = WORK / page.stem
    shutil.rmtree(folder, ignore_errors=True)
    here = folder / "tree"
    (here / "build").mkdir(parents=True)
    for entry in SOURCE.iterdir():
        if entry.name not in {"build", ".git"}:
            (here / entry.name).symlink_to(entry)
    (here / "build" / "native").symlink_to(BUILD)
    (folder / "tmp").mkdir()
    return here, folder / "tmp"


def run(words, here, tmp, env=ENV):
    words = [str(tmp) + word[len("/tmp"):] if word.startswith("/tmp/") else word for word in words]
    if words[0] == "/usr/bin/python3":
        words[0] = sys.executable
    try:
        done = subprocess.run(words, cwd=here, env=env, capture_output=True, text=True, timeout=SECONDS)
    except subprocess.TimeoutExpired:
        return None, f"still running after {SECONDS} s"
    return done.returncode, done.stdout + done.stderr


def as_native(words):
    """bench/run-bench's arguments as the native bench takes them."""
    given = [word.replace("build/windows", "build/native", 1) if word.startswith("build/windows") else word
             for word in words[1:]]
    module, taken, i = None, [], 0
    while i < len(given):
        if given[i] in RUN_BENCH_VALUES and i + 1 < len(given):
            taken += given[i:i + 2]
            i += 2
            continue
        if given[i].startswith("-"):
            taken.append(given[i])
        else:
            module = given[i]
        i += 1
    named = options_of([""] + taken)
    if module is None and not NO_MODULE & set(named):
        module = MODULE
    if "--out" in named and "--window" not in named and "--frames" not in named:
        taken += ["--frames", "none"]
    return [BENCH] + ([module] if module else []) + taken


def options_of(words):
    return [word.split("=", 1)[0] for word in words[1:] if word.startswith("--")]


def main():
    for program in (BENCH, MODULE):
        if not (BUILD / program[len("build/native/"):]).exists():
            return verdict([f"the pages name {program}, and the native build has no such file"])
    listed = subprocess.run([BUILD / "lumivane-bench", "--help"], env=ENV, capture_output=True, text=True,
                            timeout=SECONDS).stdout
    rows = []
    for page in pages():
        for number, words in examples(page):
            rows.append((f"{page.relative_to(SOURCE)}:{number}: {shlex.join(words)}", page, words))
    if not rows:
        return verdict(["no command examples found in README.md or docs/"])
    scratch = {}

    def run_row(_, row):
        _, page, words = row
        if words[0] == "unreadable":
            return f"not a command line a shell reads: {words[2]}"
        if page not in scratch:
            scratch[page] = scratch_for(page)
        here, tmp = scratch[page]
        if words[0] == "lumivane-bench":
            unknown = [option for option in options_of(words) if not re.search(rf"(^|\s){re.escape(option)}\b", listed,
                                                                                 re.MULTILINE)]
            return f"--help lists no {', '.join(unknown)}" if unknown else None
        window = words[0] == "bench/run-bench" and "--window" in words
        launched = words[0] == "bench/run-bench"
        native = as_native(words) if launched else words
        status, said = run(native, here, tmp, dict(ENV, LUMIVANE_PYTHON=str(WORK / "no-python")) if launched else ENV)
        if window:
            if status == 1 and NO_WINDOW in said:
                return None
            return f"ran natively as {shlex.join(native)}: status {status}, not refused at the window:\n{said}"
        if status != 0:
            return f"status {status}:\n{said}"
        return None

    return run_table(rows, WORK, run_row)


if __name__ == "__main__":
    sys.exit(main())
