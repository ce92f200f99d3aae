#!/usr/bin/python3
# Hostile inputs handed to the native bench as a user would hand them, one
# row each: the file or the generator of one, and the exit status and message
# class it must give, or the records it must leave. Every run is held to a
# time and a memory limit, so that a run that goes on for ever or grows
# without end fails its row instead of hanging the test.
#
# Usage: HostileInputsTest.py BENCH MODULE WORK_FOLDER
import json
import math
import os
import re
import shutil
import struct
import subprocess
import sys
import time
from pathlib import Path

# No bytecode left in the source tree by a test run.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "support"))
from RowTable import run_table  # noqa: E402

BENCH, MODULE, WORK = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3])
SECONDS = 60  # per run, ASan's start included: no row needs more than a few seconds alone, but
# make test runs other tests beside this one, so only a run that never ends may
# reach it
ENV = dict(os.environ, ASAN_OPTIONS="hard_rss_limit_mb=512:detect_leaks=0:" + os.environ.get("ASAN_OPTIONS", ""))

BAD_INPUT, NOT_LOADED = 2, 1


def scenario(text):
    """A row's scenario from its text (bytes allowed, for a NUL inside it)."""
    def make(folder):
        path = folder / "s.txt"
        path.write_bytes(text if isinstance(text, bytes) else text.encode())
        return path
    return make


def with_track(lines, make_track):
    """A scenario naming the track that make_track(folder) leaves as t.csv."""
    def make(folder):
        make_track(folder / "t.csv")
        return scenario(lines)(folder)
    return make


def write_csv(text):
    return lambda path: path.write_text(text)


def fifo(path):
    os.mkfifo(path)


def folder(path):
    path.mkdir()


def big_track(path):
    # 200,000 rows, about 3 MB: read 400 times, it would pass the memory limit.
    path.write_text("".join(f"{i / 10:.1f},{i % 200}\n" for i in range(200000)))


def track_many_times(folder_):
    big_track(folder_ / "t.csv")
    lines = "".join(f"{i / 10:.1f} track t.csv\n" for i in range(400))
    return scenario(lines + "41 end\n")(folder_)


def long_line(folder_):
    path = folder_ / "s.txt"
    with open(path, "wb") as out:
        out.write(b"0 airspeed ")
        chunk = b"9" * (1 << 20)
        for _ in range(100):
            out.write(chunk)
        out.write(b"\n1 end\n")
    return path


def long_word(folder_):
    return scenario("0 airspeed " + "9" * (1 << 20) + "x\n1 end\n")(folder_)


def cut_module(size):
    def make(folder_):
        path = folder_ / f"cut{size}.gau"
        path.write_bytes(MODULE.read_bytes()[:size])
        return path
    return make


def loaded_segments(data):
    """(offset, size in the file) of each segment an ELF64 module loads."""
    at, size, count = struct.unpack_from("<Q", data, 32)[0], *struct.unpack_from("<HH", data, 54)
    segments = []
    for i in range(count):
        kind, _, offset, _, _, file_size = struct.unpack_from("<IIQQQQ", data, at + i * size)
        if kind == 1:
            segments.append((offset, file_size))
    return segments


def cut_in_segment(where):
    """The module cut inside the last segment it loads, `where` of the way
    through it: its start is in the file, its end is not."""
    def make(folder_):
        data = MODULE.read_bytes()
        offset, size = max(loaded_segments(data))
        path = folder_ / "cut-in-segment.gau"
        path.write_bytes(data[:offset + max(1, min(size - 1, int(size * where)))])
        return path
    return make


def module_folder(folder_):
    path = folder_ / "module.gau"
    path.mkdir()
    return path


def elf_needing(file, names, times=1):
    """A 64-bit shared object whose dynamic section names each of `names`,
    each a string of its own in the string table, `times` times over: one
    PT_LOAD over the whole file, one PT_DYNAMIC."""
    def make(folder_):
        offsets, table = [], b"\0"
        for name in names:
            offsets.append(len(table))
            table += name + b"\0"
        count = len(names) * times
        phoff, phnum = 64, 2
        dyn_at = phoff + 56 * phnum
        str_at = dyn_at + 16 * (count + 2)
        size = str_at + len(table)
        header = b"\x7fELF" + bytes([2, 1, 1]) + bytes(9)
        header += struct.pack("<HHIQQQIHHHHHH", 3, 62, 1, 0, phoff, 0, 0, 64, 56, phnum, 64, 0, 0)
        load = struct.pack("<IIQQQQQQ", 1, 5, 0, 0, 0, size, size, 0x1000)
        dynamic = struct.pack("<IIQQQQQQ", 2, 6, dyn_at, dyn_at, dyn_at, 16 * (count + 2), 16 * (count + 2), 8)
        needed = b"".join(struct.pack("<QQ", 1, at) for at in offsets)
        entries = needed * times + struct.pack("<QQ", 5, str_at) + struct.pack("<QQ", 0, 0)
        path = folder_ / file
        path.write_bytes(header + load + dynamic + entries + table)
        return path
    return make


def scenario_of_size(size):
    """A one-second scenario padded by a comment to exactly `size` bytes."""
    def make(folder_):
        path = folder_ / "s.txt"
        text = b"0 airspeed 0\n1 end\n#"
        with open(path, "wb") as out:
            out.write(text)
            left = size - len(text)
            chunk = b"x" * (1 << 20)
            while left:
                out.write(chunk[:min(left, len(chunk))])
                left -= min(left, len(chunk))
        return path
    return make


ABSENT = b"liblumivane-absent.so.1"
MOST_BYTES = 64 << 20

TAKEOFF = scenario("0 airspeed 0\n1 ramp 120 over 3\n5 end\n")

# name, scenario maker, module maker (None: the real one), extra arguments,
# exit status, stderr pattern (None: none asked), records to check.
ROWS = [
    ("end at 1e300", scenario("0 airspeed 0\n1e300 end\n"), None, [], BAD_INPUT, r"s\.txt:2: the time '1e300' is past 86400", None),
    ("two +1e308 steps", scenario("0 airspeed 0\n+1e308 airspeed 5\n+1e308 end\n"), None, [], BAD_INPUT, r"s\.txt:2: the time '\+1e308' is past 86400", None),
    ("end at 1e15", scenario("0 airspeed 0\n1e15 end\n"), None, [], BAD_INPUT, r"s\.txt:2: the time '1e15' is past 86400", None),
    ("airspeed 1e300", scenario("0 airspeed 1e300\n1 end\n"), None, [], BAD_INPUT, r"s\.txt:1: the airspeed 1e300 is beyond ±1e6", None),
    ("ramp between ±1e6", scenario("0 airspeed -1e6\n0.5 ramp 1e6 over 1\n2 ramp -1e6 over 0.5\n3 end\n"), None, [], 0, None, "finite"),
    ("airspeed nan then a ramp", scenario("0 airspeed nan\n1 ramp 100 over 1\n3 end\n"), None, [], 0, None, "nan"),
    ("noise 1e308", scenario("0 noise 1e308\n1 end\n"), None, [], BAD_INPUT, r"s\.txt:1: the airspeed 1e308 is beyond ±1e6", None),
    ("track with extreme rows", with_track("0 track t.csv\n2 end\n", write_csv("0,0\n1,1e308\n")), None, [], BAD_INPUT, r"t\.csv:2: the airspeed is beyond ±1e6", None),
    ("track with a time past a day", with_track("0 track t.csv\n2 end\n", write_csv("0,0\n1e300,5\n")), None, [], BAD_INPUT, r"t\.csv:2: the time '1e300' is past the longest run, 86400 s", None),
    ("track naming /dev/zero", scenario("0 track /dev/zero\n1 end\n"), None, [], BAD_INPUT, r"s\.txt:1: cannot read the track /dev/zero: /dev/zero is not a regular file", None),
    ("track naming a FIFO", with_track("0 track t.csv\n1 end\n", fifo), None, [], BAD_INPUT, r"cannot read the track t\.csv: .*t\.csv is not a regular file", None),
    ("track that is a folder", with_track("0 track t.csv\n1 end\n", folder), None, [], BAD_INPUT, r"cannot read the track t\.csv: .*t\.csv is a folder", None),
    ("missing track", scenario("0 track absent.csv\n1 end\n"), None, [], BAD_INPUT, r"cannot read the track absent\.csv: .*/absent\.csv (does not exist|.*No such file)", None),
    ("one CSV track named on 400 lines", track_many_times, None, [], 0, None, "finite"),
    ("a 100 MB line", long_line, None, [], BAD_INPUT, r"cannot read the scenario: .*s\.txt is 101 MB, more than the 64 MB the bench reads", None),
    ("a 1 MB number", long_word, None, [], BAD_INPUT, r"s\.txt:1: '9{40}\.\.\.' \(1048577 characters\) is not a number", None),
    ("a NUL inside a number", scenario(b"0 airspeed 50\0junk\n1 end\n"), None, [], BAD_INPUT, r"s\.txt:1: '50\\x00junk' is not a number$", None),
    ("++1", scenario("0 airspeed 0\n++1 end\n"), None, [], BAD_INPUT, r"s\.txt:2: '\+\+1' is neither a time", None),
    ("--rate nan", TAKEOFF, None, ["--rate", "nan"], BAD_INPUT, r"--rate: not a finite number: nan", None),
    ("a press outside the panel", scenario("1 press 500 -3\n2 end\n"), None, [], BAD_INPUT, r"s\.txt:1: the point 500,-3 is off the panel", None),
    ("a folder as the module", TAKEOFF, module_folder, [], NOT_LOADED, r"cannot read the module: .*module\.gau is a folder", None),
    ("3,000 bytes of the module", TAKEOFF, cut_module(3000), [], NOT_LOADED, r"cut3000\.gau .*ELF shared object cut short", None),
    ("20,000 bytes of the module", TAKEOFF, cut_module(20000), [], NOT_LOADED, r"cut20000\.gau .*ELF shared object cut short", None),
    # Cut inside a segment, past its start: only its end is missing.
    ("the module cut a byte into its last segment", TAKEOFF, cut_in_segment(0), [], NOT_LOADED,
     r"cut-in-segment\.gau .*ELF shared object cut short: a segment it loads runs to byte \d+", None),
    ("the module cut a byte short of its end", TAKEOFF, cut_in_segment(1), [], NOT_LOADED,
     r"cut-in-segment\.gau .*ELF shared object cut short: a segment it loads runs to byte \d+", None),
    ("one missing library named a million times", TAKEOFF, elf_needing("needs-absent.gau", [ABSENT], 1000000), [],
     NOT_LOADED, r"needs-absent\.gau needs liblumivane-absent\.so\.1, which this system does not have", None),
    # Each limit of the readers met exactly, then just passed.
    ("a scenario of 64 MB, the most", scenario_of_size(MOST_BYTES), None, ["--frames", "none"], 0, None, "finite"),
    ("a scenario of 64 MB and a byte", scenario_of_size(MOST_BYTES + 1), None, [], BAD_INPUT,
     r"^cannot read the scenario: \S*s\.txt is 65 MB, more than the 64 MB the bench reads\n$", None),
    ("1,024 library entries, the most", TAKEOFF, elf_needing("many.gau", [ABSENT] * 1024), [], NOT_LOADED,
     r"many\.gau needs liblumivane-absent\.so\.1, which this system does not have\n$", None),
    ("1,025 library entries", TAKEOFF, elf_needing("many.gau", [ABSENT] * 1025), [], NOT_LOADED,
     r"many\.gau .*an ELF shared object that names more than 1024 different libraries it needs", None),
    ("a library name of 255 bytes, the longest", TAKEOFF, elf_needing("long.gau", [b"lib" + b"x" * 249 + b".so"]),
     [], NOT_LOADED, r"long\.gau needs libx{249}\.so, which this system does not have", None),
    ("a library name of 256 bytes", TAKEOFF, elf_needing("long.gau", [b"lib" + b"x" * 250 + b".so"]), [],
     NOT_LOADED, r"long\.gau .*an ELF shared object with an unreadable library name \(string 1 of its table\)", None),
    ("1,024 different missing libraries", TAKEOFF,
     elf_needing("many.gau", [b"liblumivane-absent-%04d.so" % i for i in range(1024)]), [], NOT_LOADED,
     r"many\.gau needs liblumivane-absent-0000\.so, liblumivane-absent-0001\.so, liblumivane-absent-0002\.so and "
     r"1021 more, which this system does not have\n$", None),
    ("a bad line after good ones", scenario("0 airspeed 0\n1 ramp 100 over 2\n2 ramp 50\n4 end\n"), None, [], BAD_INPUT, r"s\.txt:3: ramp needs a target and a duration", None),
]


def check_records(out, kind):
    """Every events.jsonl line is JSON with finite numbers or nulls; with
    kind "nan", a null airspeed says what it was. The first line describes
    the gauge, every other is a pass."""
    lines = (out / "events.jsonl").read_text().splitlines()
    if not lines:
        return "events.jsonl is empty"
    nulls = 0
    for number, line in enumerate(lines, 1):
        def refuse(word):
            raise ValueError(f"{word} in a record")
        try:
            record = json.loads(line, parse_constant=refuse)
        except ValueError as error:
            return f"events.jsonl:{number}: {error}: {line[:200]}"
        stack = [record]
        while stack:
            value = stack.pop()
            if isinstance(value, dict):
                stack.extend(value.values())
            elif isinstance(value, list):
                stack.extend(value)
            elif isinstance(value, float) and not math.isfinite(value):
                return f"events.jsonl:{number}: a number that is not finite"
        if number == 1 and "gauge" in record:
            continue
        if record["airspeed"] is None:
            nulls += 1
            if record.get("airspeed_is") not in ("nan", "inf", "-inf"):
                return f"events.jsonl:{number}: a null airspeed without airspeed_is"
    if kind == "finite" and nulls:
        return f"{nulls} records have no airspeed"
    if kind == "nan" and not nulls:
        return "no record has the null airspeed the scenario asked for"
    return None


def run_row(index, row):
    name, make_scenario, make_module, extra, status, pattern, records = row
    folder_ = WORK / f"row{index:02}"
    shutil.rmtree(folder_, ignore_errors=True)
    folder_.mkdir(parents=True)
    scenario_path = make_scenario(folder_)
    module = make_module(folder_) if make_module else MODULE
    out = folder_ / "out"
    command = [BENCH, str(module), "--scenario", str(scenario_path), "--out", str(out), "--quiet", *extra]
    started = time.monotonic()
    try:
        result = subprocess.run(command, capture_output=True, timeout=SECONDS, env=ENV)
    except subprocess.TimeoutExpired:
        return f"still running after {SECONDS} s"
    seconds = time.monotonic() - started
    stderr = result.stderr.decode(errors="replace")
    problems = []
    if result.returncode != status:
        problems.append(f"exit {result.returncode}, wanted {status}")
    if pattern and not re.search(pattern, stderr):
        problems.append(f"stderr does not match {pattern!r}")
    if len(result.stderr) > 2048:
        problems.append(f"stderr is {len(result.stderr)} bytes, more than 2 KB")
    if status == BAD_INPUT and out.exists() and any(out.iterdir()):
        problems.append("a refused run left files in the output folder: " + ", ".join(p.name for p in out.iterdir()))
    if status == 0 and not problems:
        trouble = check_records(out, records)
        if trouble:
            problems.append(trouble)
    if problems:
        return "; ".join(problems) + f"\n    stderr: {stderr[:600].strip()}"
    print(f"ok    {name}: exit {result.returncode} in {seconds:.1f} s" +
          (f": {stderr.strip()[:160]}" if stderr.strip() else ""))
    return None


if __name__ == "__main__":
    sys.exit(run_table(ROWS, WORK, run_row))
