#!/usr/bin/python3
"""lumivane-bench --panel on a test aircraft of our own (MakeTestPanel.py), as
a pilot runs it: natively, or the windows bench under Wine through
bench/run-bench, which hands it the panel and the output folder in Wine's
form. Each window that holds Lumivane is drawn, and its picture is judged
pixel by pixel: in the gauge's place, scaled to it, the gauge as the bench
draws it alone (its frame of the same first pass), and the window's own bitmap
wherever the gauge's art leaves the panel to show; everywhere else in the
bitmap the bitmap itself, but for the other gauges' marks; a caption below.
Then the panel without Lumivane: the bench names the window and the line to
add, and the panel with that line added draws it there with no problem. Last,
the worked example of the pilots' readme: the line its "after" adds is the
one the bench suggests for its "before", and the bench reads "after" clean.
Natively, the main window's picture is also the README's, byte for byte. A
picture that cannot be written fails the run, and says so.

    PanelTest.py MODULE WORK-DIR BENCH
    PanelTest.py MODULE WORK-DIR RUN-BENCH WINDOWS-BUILD
"""
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from PIL import Image

# No bytecode left in the source tree by a test run.
sys.dont_write_bytecode = True
HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.path.insert(0, str(HERE.parents[2] / "tools"))
from Faults import arguments, verdict  # noqa: E402
from MakeTestPanel import WINDOWS, make_panel, mark_boxes, write_bitmap  # noqa: E402

SOURCE = HERE.parents[2]
MODULE, WORK, BENCH = Path(sys.argv[1]), Path(sys.argv[2]), sys.argv[3]
WINDOWS_BUILD = sys.argv[4] if len(sys.argv) > 4 else None
GAUGE = (100, 70)
# The grey the bench's frames mount the gauge on, where its art leaves the
# panel to show.
PANEL_GREY = (128, 128, 128)


class Failed(Exception):
    pass


def bench(*args):
    """Runs the bench (under Wine through run-bench for the windows build)
    with paths in Linux form; returns its status and what it printed."""
    env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0:" + os.environ.get("ASAN_OPTIONS", ""))
    if WINDOWS_BUILD:
        env["LUMIVANE_BUILD"] = WINDOWS_BUILD
    run = subprocess.run([BENCH, *map(str, args)], env=env, capture_output=True, text=True, timeout=240)
    return run.returncode, run.stdout, run.stderr


def gauge_alone():
    """The gauge's first pass as the bench draws it alone, and which of its
    pixels its art covers: where its background bitmap is not pure black
    (transparent) or the frame is not the grey it is mounted on."""
    out = WORK / "alone"
    scenario = WORK / "one-pass.txt"
    scenario.write_text("0 airspeed 0\n0.01 end\n")
    status, said, errors = bench(MODULE, "--scenario", scenario, "--out", out, "--frames", "all", "--scale", "1",
                                 "--soft-sound", "--quiet")
    frame = out / "frames" / "pass-000000.png"
    if status != 0 or not frame.exists():
        raise Failed(f"the gauge flown alone: status {status}, {errors.strip()}")
    frame = Image.open(frame).convert("RGB")
    art = Image.open(SOURCE / "resources" / "Background.bmp").convert("RGB")
    if frame.size != GAUGE or art.size != GAUGE:
        raise Failed(f"the gauge's frame is {frame.size} and its background {art.size}, not {GAUGE}")
    pixels, background = frame.load(), art.load()
    covers = {(x, y) for y in range(GAUGE[1]) for x in range(GAUGE[0])
              if background[x, y] != (0, 0, 0) or pixels[x, y] != PANEL_GREY}
    return pixels, covers


def judge_picture(path, window, frame, covers):
    faults = []
    picture = Image.open(path).convert("RGB")
    bitmap = Image.open(window["path"]).convert("RGB")
    width, height = bitmap.size
    scale = width / window["units"]
    if picture.size[0] < width or picture.size[1] <= height:
        raise Failed(f"{path.name} is {picture.size}: not the {width} x {height} bitmap with a caption below")
    shown, under = picture.load(), bitmap.load()
    (x0, y0), = [(x, y) for name, x, y, *_ in window["gauges"] if name == "Lumivane"]
    place = (round(x0 * scale), round(y0 * scale), round((x0 + GAUGE[0]) * scale), round((y0 + GAUGE[1]) * scale))
    marks = mark_boxes(window, scale)
    wrong, gauge_pixels = [], 0
    for y in range(height):
        for x in range(width):
            if place[0] <= x < place[2] and place[1] <= y < place[3]:
                gx = (x - place[0]) * GAUGE[0] // (place[2] - place[0])
                gy = (y - place[1]) * GAUGE[1] // (place[3] - place[1])
                expected = frame[gx, gy] if (gx, gy) in covers else under[x, y]
                gauge_pixels += (gx, gy) in covers
            elif any(l <= x < r and t <= y < b for l, t, r, b in marks):
                continue
            else:
                expected = under[x, y]
            if shown[x, y] != expected:
                wrong.append((x, y, shown[x, y], expected))
    if wrong:
        faults.append(f"{path.name}: {len(wrong)} pixels differ, the first at {wrong[0][:2]}: "
                      f"{wrong[0][2]}, not {wrong[0][3]}")
    if gauge_pixels < 1000:
        faults.append(f"{path.name}: only {gauge_pixels} pixels of the gauge's own in its place")
    for left, top, right, bottom in marks:
        if not any(shown[x, y] != under[x, y] for y in range(top, min(bottom, height))
                   for x in range(left, min(right, width))):
            faults.append(f"{path.name}: nothing marks the gauge at {left}, {top}")
    caption = {shown[x, y] for y in range(height, picture.size[1]) for x in range(picture.size[0])}
    if len(caption) < 3:
        faults.append(f"{path.name}: the caption below the bitmap is blank")
    return faults


def drawn_pictures(config, out):
    status, said, errors = bench("--panel", config, "--out", out)
    if status != 0 or errors:
        raise Failed(f"--panel {config}: status {status}, said:\n{said}{errors}")
    drawn = re.findall(r"^Drawn: (.*)$", said, re.MULTILINE)
    return said, [Path(path) for path in drawn]


def the_test_aircraft():
    config = make_panel(WORK / "aircraft", MODULE)
    panel = config.parent
    out = WORK / "out"
    said, drawn = drawn_pictures(config, out)
    expected = [out / f"panel-window{n:02d}.png" for n in range(len(WINDOWS))]
    if drawn != expected or not all(p.exists() for p in expected):
        raise Failed(f"drew {drawn}, not {expected}:\n{said}")
    for number, window in enumerate(WINDOWS):
        if f"in [Window{number:02d}] '{window['title']}', a window the simulator shows" not in said:
            raise Failed(f"the bench does not say [Window{number:02d}] checked out:\n{said}")
    frame, covers = gauge_alone()
    faults = []
    for number, window in enumerate(WINDOWS):
        faults += judge_picture(expected[number], dict(window, path=panel / window["file"]), frame, covers)
    if faults:
        raise Failed("\n".join(faults))
    # The README shows the native bench's picture of the main window; it is
    # the same to the byte on any machine, so it can never fall behind.
    shown = SOURCE / "docs" / "panel-window.png"
    if not WINDOWS_BUILD and shown.read_bytes() != expected[0].read_bytes():
        raise Failed(f"{shown} is not what --panel draws now ({expected[0]}): run make pictures")
    # The lead looks at this one.
    return expected[0]


def without_lumivane():
    """The test aircraft without Lumivane: the line the bench suggests,
    added, is read clean and drawn where it said."""
    config = make_panel(WORK / "bare", MODULE)
    text = re.sub(r"gauge\d\d=Lumivane[^\r]*\r\n", "", config.read_bytes().decode("ascii"))
    config.write_bytes(text.encode("ascii"))
    status, said, errors = bench("--panel", config, "--out", WORK / "bare-out")
    suggested = re.search(r"Add this line to \[(Window\d\d)\]:\n    (gauge(\d\d)=Lumivane, (\d+), (\d+))\n", said)
    if status != 0 or errors or not suggested or (WORK / "bare-out" / "panel-window00.png").exists():
        raise Failed(f"a panel without Lumivane: status {status}, said:\n{said}{errors}")
    section, line = suggested.group(1), suggested.group(2)
    if section != "Window00" or suggested.group(3) != "02":
        raise Failed(f"suggested {line} for [{section}], not gauge02 for [Window00], the next free number there")
    config.write_bytes(text.replace("gauge01=Test.Clock, 20, 120\r\n",
                                    f"gauge01=Test.Clock, 20, 120\r\n{line}\r\n").encode("ascii"))
    after, drawn = drawn_pictures(config, WORK / "bare-out")
    if f"gauge02=Lumivane in [Window00]" not in after or not drawn:
        raise Failed(f"with {line} added the bench does not check and draw it:\n{after}")
    return line


def readme_example():
    """The readme's worked example: its "before" and "after" windows, each an
    indented block after a line with "before" or "after" that ends in ":".
    The line "after" adds is the very line the bench suggests for "before"."""
    readme = (SOURCE / "release" / "ReadMe.txt").read_text()
    blocks = {}
    for which in ("before", "after"):
        found = re.search(rf"\b{which}\b[^\n]*:\n\n((?:      .*\n|\n)+)", readme)
        if not found:
            raise Failed(f"release/ReadMe.txt has no worked example '{which}:' followed by an indented window")
        blocks[which] = "\n".join(line[6:] for line in found.group(1).rstrip("\n").split("\n")) + "\n"
    added = [line for line in blocks["after"].splitlines() if line not in blocks["before"].splitlines()]
    if len(added) != 1 or not re.fullmatch(r"gauge\d\d=Lumivane, \d+, \d+", added[0]):
        raise Failed(f"the readme's example adds {added}, not one line gaugeNN=Lumivane, X, Y")
    if "!" in readme or "gauge inside" in readme:
        raise Failed("release/ReadMe.txt still names the gauge in a FILE!GAUGE form")
    results = {}
    for which, block in blocks.items():
        folder = WORK / f"readme-{which}" / "FS98"
        panel = folder / "Aircraft" / "Example" / "Panel"
        panel.mkdir(parents=True)
        (folder / "Gauges").mkdir()
        shutil.copyfile(MODULE, folder / "Gauges" / "Lumivane.gau")
        for name, units in re.findall(r"^file=(.*)\n(?:.*\n)*?size_mm=(\d+)", block, re.MULTILINE):
            write_bitmap(panel / name, int(units), 200, [(90, 90, 100)], lambda x, y: 0)
        # The example shows the main panel's section; its title is listed.
        (panel / "Panel.cfg").write_text("[Window Titles]\nwindow00=Main Panel\n\n" + block)
        results[which] = bench("--panel", panel / "Panel.cfg", "--out", WORK / f"readme-{which}-out")
    status, said, errors = results["before"]
    if status != 0 or errors or f"\n    {added[0]}\n" not in said:
        raise Failed(f"the bench on the readme's 'before' does not suggest {added[0]}:\n{said}{errors}")
    status, said, errors = results["after"]
    if status != 0 or errors or "Drawn: " not in said:
        raise Failed(f"the bench on the readme's 'after': status {status}:\n{said}{errors}")
    return added[0]


def a_picture_not_written():
    """A picture the bench cannot write (a folder stands at its path) is
    named, fails the run, and leaves the other window's picture drawn."""
    config = make_panel(WORK / "unwritten", MODULE)
    out = WORK / "unwritten-out"
    (out / "panel-window00.png").mkdir(parents=True)
    status, said, errors = bench("--panel", config, "--out", out)
    drawn = [re.split(r"[\\/]", path)[-1] for path in re.findall(r"^Drawn: (.*)$", said, re.MULTILINE)]
    if status != 1 or "cannot write" not in errors or drawn != ["panel-window01.png"]:
        raise Failed(f"status {status}, drawn {drawn}, said:\n{said}{errors}")
    return "status 1, and why"


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    WORK.mkdir(parents=True)
    failures = []
    for name, check in [("the test aircraft", the_test_aircraft), ("without Lumivane", without_lumivane),
                        ("the readme's example", readme_example), ("a picture not written", a_picture_not_written)]:
        try:
            print(f"ok    {name}: {check()}")
        except Failed as failure:
            failures.append(f"{name}: {failure}")
    return verdict(failures)


if __name__ == "__main__":
    arguments(__doc__, range(3, 5))
    sys.exit(main())
