#!/usr/bin/python3
"""Flights through the bench for `make figures`: a take-off of 12 seconds, a
flight of an hour and one of a day, each steady (five changes of the panel)
and flickering (an airspeed that wavers about Speed1, some ten changes a
second), flown through `bench/run-bench --fast --soft-sound` (the windows
bench under Wine) and through the native bench of the `figures` preset
(optimised, no sanitizers). For each: the wall time of the whole run (passes,
log, sound, frames, contact sheet, chart and video), the peak memory of the
bench's own process, and the size of each output.

The day's flickering flight is flown with --frames none: it changes the
panel some 770,000 times, and its frames (3.4 GB) and their video (hours)
would measure the disk and ffmpeg, not the bench. Its other outputs are
written as any other's.

    tools/figures/flights.py [--only NAME...]   (prints the Markdown)
tools/figures runs it as one of its sections; the runs' outputs are left in
build/figures/flights/.
"""
import argparse
import shutil
import subprocess
import sys
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
WORK = ROOT / "build" / "figures" / "flights"
NATIVE = ROOT / "build" / "figures" / "build"
WINDOWS = ROOT / "build" / "windows"

SPEEDS = "settings speed1 80\nsettings speed2 90\nsettings speed3 100\n"
# A take-off, then cruise with noise that never reaches a lamp's bound: the
# panel changes five times, and three call-outs sound.
STEADY = SPEEDS + "0 airspeed 0\n2 ramp 60 over 2\n4 ramp 120 over 6\n10 airspeed 120\n12 noise 5 seed 3\n"
# An airspeed that wavers about Speed1 from the start.
FLICKER = SPEEDS + "0 airspeed 80\n0 noise 2 seed 7\n"
FLIGHTS = [
    ("take-off, 12 s", 12, STEADY, []),
    ("12 s, flickering", 12, FLICKER, []),
    ("an hour", 3600, STEADY, []),
    ("an hour, flickering", 3600, FLICKER, []),
    ("a day", 86400, STEADY, []),
    ("a day, flickering", 86400, FLICKER, ["--frames", "none"]),
]
OUTPUTS = ["events.jsonl", "sound.wav", "frames/", "frames.png", "flight.png", "flight.mp4"]
TARGETS = {"figures": ["lumivane-bench", "Lumivane.gau"], "windows": ["Lumivane.gau", "lumivane-bench"]}


def callouts(output):
    """How many call-outs the bench's summary says were started."""
    for line in output.splitlines():
        if line.startswith("No call-out"):
            return 0
        if line.startswith("Call-outs started:"):
            return line.count(" at ")
        if " call-outs started: " in line:
            return int(line.split()[0])
    return None


def peak_of(pid):
    """The peak resident memory of a process so far, in kB (None once gone)."""
    try:
        for line in Path(f"/proc/{pid}/status").read_text().splitlines():
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    except OSError:
        return None
    return None


def bench_processes(native_pid):
    """The bench's own processes: the native one, or under Wine the one
    whose command line names lumivane-bench.exe."""
    if native_pid is not None:
        return [native_pid]
    found = []
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                if b"lumivane-bench.exe" in (entry / "cmdline").read_bytes():
                    found.append(int(entry.name))
            except OSError:
                pass
    return found


def fly(command, native):
    """Runs `command`, polling the bench's peak memory: (exit status,
    seconds, peak kB, output)."""
    started = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                               errors="replace", cwd=ROOT)
    peak = [0]
    done = threading.Event()

    def watch():
        while not done.is_set():
            for pid in bench_processes(process.pid if native else None):
                peak[0] = max(peak[0], peak_of(pid) or 0)
            done.wait(0.05)

    watcher = threading.Thread(target=watch)
    watcher.start()
    output = process.communicate()[0]
    done.set()
    watcher.join()
    return process.returncode, time.monotonic() - started, peak[0], output


def size_of(path):
    if path.is_dir():
        files = [f for f in path.iterdir() if f.is_file()]
        return sum(f.stat().st_size for f in files), len(files)
    return (path.stat().st_size, 1) if path.is_file() else (None, 0)


def megabytes(size):
    if size is None:
        return "–"
    return f"{size / 1e6:.1f} MB" if size >= 1e5 else f"{size / 1e3:.0f} kB"


def flight_rows(only=None):
    """One row for each flight and bench; and the failures."""
    rows, failures = [], []
    for name, end, after, options in FLIGHTS:
        if only and name not in only:
            continue
        folder = WORK / name.replace(",", "").replace(" ", "-")
        folder.mkdir(parents=True, exist_ok=True)
        script = folder / "flight.txt"
        script.write_text(after + f"{end} end\n")
        for bench, native in (("run-bench --fast --soft-sound", False), ("native", True)):
            out = folder / ("native" if native else "wine")
            shutil.rmtree(out, ignore_errors=True)
            if native:
                command = [str(NATIVE / "lumivane-bench"), str(NATIVE / "Lumivane.gau"), "--scenario", str(script),
                           "--out", str(out), "--fast", *options]
            else:
                command = [str(ROOT / "bench" / "run-bench"), str(WINDOWS / "Lumivane.gau"), "--scenario", str(script),
                           "--out", str(out), "--fast", "--soft-sound", *options]
            status, seconds, peak, output = fly(command, native)
            (folder / f"{'native' if native else 'wine'}.txt").write_text(output)
            if status != 0:
                failures.append(f"{name} through {bench}: exit {status}")
            sizes = []
            for record in OUTPUTS:
                size, count = size_of(out / record)
                sizes.append(megabytes(size) + (f" ({count})" if record.endswith("/") and count else ""))
            rows.append([name, bench, f"{seconds:.1f} s", f"{peak / 1024:.0f} MB", *sizes, str(callouts(output))])
    return rows, failures


def report(rows):
    from Markdown import table
    md = ["## Flights through the bench", "",
          "Each flight's whole run: passes, `events.jsonl`, `sound.wav`, frames, contact sheet, chart and video "
          "(`tools/figures/flights.py`; the runs are left in `build/figures/flights/`). The take-off climbs away at "
          "120 knots with noise of 5 (five changes of the panel, three call-outs); a flickering flight wavers "
          "about Speed1 with noise of 2 (some nine changes a second). Native: the `figures` preset's bench; peak "
          "memory is the bench's own process (VmHWM), not the chart's or the video's. The day's flickering "
          "flight is flown with `--frames none` (its 770,000 frames would be 3.4 GB).", ""]
    md += table(["flight", "bench", "wall time", "peak memory", *OUTPUTS, "call-outs"], rows) + [""]
    return md


def section():
    from figures.common import failures, say
    say("flying a take-off, an hour and a day through both benches")
    rows, failed = flight_rows()
    failures.extend(failed)
    return report(rows)


def main(argv):
    parser = argparse.ArgumentParser(description="Flies the figures' flights through both benches.")
    parser.add_argument("--only", nargs="*", help="the flights to fly, by name")
    arguments = parser.parse_args(argv)
    sys.path.insert(0, str(ROOT / "tools"))
    rows, failures = flight_rows(arguments.only)
    print("\n".join(report(rows)))
    for failure in failures:
        print(f"FAILED: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
