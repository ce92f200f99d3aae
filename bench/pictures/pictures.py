#!/usr/bin/python3
"""Makes the front page's pictures from a take-off flown by the native bench
on its software DirectSound at a fixed pass rate, so that the pictures our
own code draws come out byte for byte the same on any machine with the same
packages: the contact sheet frames.png (the bench's), the animation
takeoff.gif (animation.py's) and the chart takeoff.png (matplotlib's, which
varies with its version, so it is regenerated but never compared).

    /usr/bin/python3 bench/pictures/pictures.py BENCH MODULE SCENARIO OUT-DIR [--against DIR]

With --against, the pictures are made in OUT-DIR and the contact sheet and
the animation are compared with those in DIR (the committed docs/): exit 1
when they differ. Exit 2 when a picture cannot be made. A run the bench did
not end cleanly draws nothing, and its exit status is passed on (the
bench's own, or 128 and the signal's number for a bench the system ended).
"""
import argparse
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile

# The scripts beside this one, imported without leaving compiled copies in
# the sources.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import animation  # noqa: E402
import video  # noqa: E402

# The pictures whose every byte comes from our own code and Debian's fixed
# packages, and the one drawn by matplotlib.
COMPARED = ["frames.png", "takeoff.gif"]
CHART = "takeoff.png"
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


class BenchFailed(Exception):
    def __init__(self, status, message):
        super().__init__(message)
        self.status = status


def make(bench, module, scenario, out):
    """Flies the scenario and writes the pictures into `out`; a message
    when something could not be made, and BenchFailed, with the status to
    pass on, when the bench did not end cleanly."""
    name = os.path.splitext(os.path.basename(scenario))[0]
    with tempfile.TemporaryDirectory(prefix="lumivane-pictures-") as work:
        run = os.path.join(work, "run")
        flown = subprocess.run([bench, module, "--scenario", scenario, "--out", run, "--quiet"],
                               capture_output=True, text=True)
        if flown.returncode != 0:
            status = flown.returncode if flown.returncode > 0 else 128 - flown.returncode
            raise BenchFailed(status, f"the bench exited {flown.returncode}, so nothing is drawn: "
                                      f"{(flown.stdout + flown.stderr).strip()}")
        for made, kept in (("frames.png", "frames.png"), (name + ".png", CHART)):
            source = os.path.join(run, made)
            if not os.path.isfile(source):
                return f"the run left no {made}"
            shutil.copyfile(source, os.path.join(out, kept))
        try:
            animation.make(run, os.path.join(out, "takeoff.gif"), 4)
        except (video.BadRun, OSError) as error:
            return f"no animation: {error}"
    return None


def main(argv):
    parser = argparse.ArgumentParser(description="Makes the front page's pictures from a native bench run.")
    parser.add_argument("bench", help="the native lumivane-bench")
    parser.add_argument("module", help="the native gauge module")
    parser.add_argument("scenario", help="the take-off to fly")
    parser.add_argument("out", help="the folder to write the pictures into")
    parser.add_argument("--against", help="the folder of committed pictures to compare with")
    arguments = parser.parse_args(argv)
    os.makedirs(arguments.out, exist_ok=True)
    try:
        problem = make(arguments.bench, arguments.module, arguments.scenario, arguments.out)
    except BenchFailed as failed:
        print(f"pictures.py: {failed}", file=sys.stderr)
        return failed.status
    if problem:
        print(f"pictures.py: {problem}", file=sys.stderr)
        return 2
    for name in COMPARED + [CHART]:
        path = os.path.join(arguments.out, name)
        print(f"{path}: {os.path.getsize(path)} bytes")
    if not arguments.against:
        return 0
    faults = []
    for name in COMPARED:
        committed = os.path.join(arguments.against, name)
        fresh = os.path.join(arguments.out, name)
        if not os.path.isfile(committed):
            faults.append(f"there is no {committed}")
        elif not filecmp.cmp(committed, fresh, shallow=False):
            faults.append(f"{committed} differs from a fresh {fresh}: run `make pictures` and commit them")
    committed = os.path.join(arguments.against, CHART)
    try:
        with open(committed, "rb") as stream:
            if stream.read(len(PNG_SIGNATURE)) != PNG_SIGNATURE:
                faults.append(f"{committed} is not a PNG")
    except OSError:
        faults.append(f"there is no {committed}")
    for fault in faults:
        print(f"FAULT: {fault}")
    if not faults:
        print(f"{', '.join(COMPARED)} in {arguments.against} are as a fresh run draws them")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
