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
Natively, the main window's picture is also the docs', byte for byte. A
picture that cannot be written fails the run, and says so.

Then --install and --uninstall on the test aircraft without the gauge: a
dry run's diff and picture with nothing written, the one line added and the
module copied, a second install that changes nothing, and the original bytes
back. And the table of faults, each with its status and message, the panel
and the Gauges folder left as they were with nothing of ours beside them:
read-only mounts of the panel's folder and of Gauges, a full disk (a small
tmpfs) and a file-size limit (natively), a Panel.cfg another program holds
open (under Wine, HoldOpen.exe), problems in the panel, Gauges missing. The
rows that mount run in a mount namespace of their own (unshare -m), as root.

    PanelTest.py MODULE WORK-DIR BENCH
    PanelTest.py MODULE WORK-DIR RUN-BENCH WINDOWS-BUILD HOLD-OPEN
"""
import os
import re
import resource
import shutil
import subprocess
import sys
import time
from pathlib import Path

from PIL import Image

# No bytecode left in the source tree by a test run.
sys.dont_write_bytecode = True
HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.path.insert(0, str(HERE.parents[2] / "tools"))
sys.path.insert(0, str(HERE.parent.parent / "support"))
from Faults import verdict  # noqa: E402
from WinePath import windows_path  # noqa: E402
from MakeTestPanel import WINDOWS, make_bare_panel, make_panel, mark_boxes, write_bitmap  # noqa: E402

SOURCE = HERE.parents[2]
MODULE, WORK, BENCH = Path(sys.argv[1]), Path(sys.argv[2]), sys.argv[3]
WINDOWS_BUILD = sys.argv[4] if len(sys.argv) > 4 else None
HOLD_OPEN = sys.argv[5] if len(sys.argv) > 5 else None
GAUGE = (100, 70)
# The grey the bench's frames mount the gauge on, where its art leaves the
# panel to show.
PANEL_GREY = (128, 128, 128)


class Failed(Exception):
    pass


def bench(*args, before=(), after=(), limit=None, cwd=None):
    """Runs the bench (under Wine through run-bench for the windows build)
    with paths in Linux form; returns its status and what it printed.
    `before` and `after`: shell lines run first and last in a mount namespace
    of the bench's own; `limit`: a file-size limit in bytes; `cwd`: the
    folder it runs in."""
    env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0:" + os.environ.get("ASAN_OPTIONS", ""))
    if WINDOWS_BUILD:
        env["LUMIVANE_BUILD"] = WINDOWS_BUILD
    command = [BENCH, *map(str, args)]
    if before:
        command = ["unshare", "-m", "sh", "-c", "set -e; " + "; ".join(before) + '; status=0; "$@" || status=$?; ' +
                   "".join(line + "; " for line in after) + "exit $status", "sh", *command]

    def limited():
        if limit:
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
    run = subprocess.run(command, env=env, capture_output=True, text=True, timeout=240, preexec_fn=limited, cwd=cwd)
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
    # The docs show the native bench's picture of the main window; it is
    # the same to the byte on any machine, so it can never fall behind.
    shown = SOURCE / "docs" / "panel-window.png"
    if not WINDOWS_BUILD and shown.read_bytes() != expected[0].read_bytes():
        raise Failed(f"{shown} is not what --panel draws now ({expected[0]}): run make pictures")
    # The lead looks at this one.
    return expected[0]


def without_lumivane():
    """The test aircraft without Lumivane: the line the bench suggests,
    added, is read clean and drawn where it said."""
    config, _ = make_bare_panel(WORK / "bare", MODULE)
    status, said, errors = bench("--panel", config, "--out", WORK / "bare-out")
    suggested = re.search(r"Add this line to \[(Window\d\d)\]:\n    (gauge(\d\d)=Lumivane, (\d+), (\d+))\n", said)
    if status != 0 or errors or not suggested or (WORK / "bare-out" / "panel-window00.png").exists():
        raise Failed(f"a panel without Lumivane: status {status}, said:\n{said}{errors}")
    section, line = suggested.group(1), suggested.group(2)
    if section != "Window00" or suggested.group(3) != "02":
        raise Failed(f"suggested {line} for [{section}], not gauge02 for [Window00], the next free number there")
    config.write_bytes(config.read_bytes().replace(b"gauge01=Test.Clock, 20, 120\r\n",
                                                   f"gauge01=Test.Clock, 20, 120\r\n{line}\r\n".encode("ascii")))
    after, drawn = drawn_pictures(config, WORK / "bare-out")
    if "gauge02=Lumivane in [Window00]" not in after or not drawn:
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


def bare_aircraft(name, module=True):
    """The test aircraft without the gauge, in WORK/name."""
    return make_bare_panel(WORK / name, MODULE, keep_module=module)


def listing(folder):
    return sorted(path.name for path in Path(folder).iterdir())


def install_and_uninstall():
    """The module the bench has beside it, installed and taken out."""
    config, gauges = bare_aircraft("install", module=False)
    original, files = config.read_bytes(), listing(config.parent)
    out = WORK / "install-out"
    status, said, errors = bench("--install", config, "--dry-run", "--out", out)
    added = "+gauge02=Lumivane, 100, 0\n"
    if status != 0 or errors or added not in said or config.read_bytes() != original or listing(gauges) or \
            listing(config.parent) != files or not (out / "panel-window00.png").exists():
        raise Failed(f"--install --dry-run: status {status}, said:\n{said}{errors}")
    diff = said[:said.index("Would add")]
    status, said, errors = bench("--install", config, "--out", out)
    lines, before = config.read_bytes().split(b"\r\n"), original.split(b"\r\n")
    new = [line for line in lines if line not in before]
    if status != 0 or errors or new != [b"gauge02=Lumivane, 100, 0"] or len(lines) != len(before) + 1 or \
            lines[lines.index(new[0]) - 1] != b"gauge01=Test.Clock, 20, 120" or \
            (gauges / "Lumivane.gau").read_bytes() != MODULE.read_bytes():
        raise Failed(f"--install: status {status}, added {new}, said:\n{said}{errors}")
    # Without --out, as a pilot runs it: the window is drawn, and the
    # gauge's settings kept, in the current folder.
    status, said, errors = bench("--install", config, cwd=out)
    if status != 0 or "Lumivane is already in [Window00] at line 14" not in said or \
            not (out / "lumivane-settings").is_dir():
        raise Failed(f"a second --install, without --out: status {status}, said:\n{said}{errors}")
    status, said, errors = bench("--uninstall", config)
    if status != 0 or errors or config.read_bytes() != original or not (gauges / "Lumivane.gau").exists() or \
            "stays in" not in said:
        raise Failed(f"--uninstall: status {status}, said:\n{said}{errors}")
    backups = [name for name in listing(config.parent) if name not in files]
    if backups != ["Panel.cfg.lumivane-1.bak", "Panel.cfg.lumivane-2.bak"]:
        raise Failed(f"beside Panel.cfg after an install and an uninstall: {backups}")
    return "the one line added, the module copied, the original bytes back; the dry run:\n" + diff


def can_mount():
    """Whether this run may make a mount namespace and mount in it."""
    try:
        return subprocess.run(["unshare", "-m", "sh", "-c", "mount -t tmpfs tmpfs /mnt"],
                              capture_output=True, timeout=30).returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        return False


def hold_open(config):
    """Panel.cfg held open without write sharing by another Windows program in
    the bench's own Wine prefix, until the returned process is ended."""
    marker = WORK / "held"
    marker.unlink(missing_ok=True)
    state = Path(WINDOWS_BUILD) / "bench-wine"
    holder = subprocess.Popen([str(SOURCE / "cmake" / "wine-run"), str(state), HOLD_OPEN, windows_path(config),
                               windows_path(marker), "120"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(600):
        if marker.exists() or holder.poll() is not None:
            break
        time.sleep(0.1)
    if not marker.exists():
        holder.kill()
        raise Failed("HoldOpen.exe did not take hold of Panel.cfg")
    return holder


def install_faults():
    """Each fault of the table: its status and its last line on standard
    error; Panel.cfg, its folder and Gauges just as they were."""
    mounts = can_mount()
    stage = WORK / "stage"
    read_only = lambda folder: [f"mount --bind '{folder}' '{folder}'", f"mount -o remount,ro,bind '{folder}' '{folder}'"]

    def full(folder):
        # The panel's folder on a small tmpfs, filled to the last block.
        return [f"rm -rf '{stage}'", f"cp -a '{folder}' '{stage}'", f"mount -t tmpfs -o size=1m tmpfs '{folder}'",
                f"cp -a '{stage}/.' '{folder}/'", f"dd if=/dev/zero of='{folder}/.filler' bs=4k 2>/dev/null || true"]

    def left(folder):
        # What the tmpfs holds after the run, kept where it outlives it.
        return [f"rm -f '{folder}/.filler'", f"rm -rf '{stage}'", f"cp -a '{folder}' '{stage}'"]
    native = not WINDOWS_BUILD
    def problems(config):
        config.write_bytes(config.read_bytes().replace(b"size_mm=320\r\n", b"size_mm=320\r\nsize_mm=640\r\n"))
    # name, needs mounts, runs here, the gauge already in Gauges, the row's own setting up, extra args, status,
    # last line. The setting up: shell lines run before the bench (and after it, on a tmpfs whose files are
    # then judged where they are kept), a file-size limit, Panel.cfg held open, or the panel changed first.
    rows = [
        ("Panel.cfg's folder read-only", True, True, False, {"before": lambda c, g: read_only(c.parent)}, [], 1,
         r"nothing was changed: no backup of .*Panel\.cfg could be kept: cannot write .*Panel\.cfg\.lumivane-writing: "
         r"(Read-only file system|the disk or the folder is read-only|access is denied.*)"),
        ("Gauges read-only", True, True, False, {"before": lambda c, g: read_only(g)}, [], 1,
         r"nothing was changed: .*Lumivane\.gau cannot be copied into .*Gauges: cannot write .*Lumivane\.gau\.lumivane-"
         r"writing: (Read-only file system|the disk or the folder is read-only|access is denied.*)"),
        ("the disk full", True, True, True, {"before": lambda c, g: full(c.parent), "tmpfs": True}, [], 1,
         r"nothing was changed: no backup of .*Panel\.cfg could be kept: cannot write .*: "
         r"(No space left on device|the disk is full)"),
        ("a file-size limit", False, native, True, {"limit": True}, [], 1,
         r".*Panel\.cfg was not changed: cannot write .*Panel\.cfg\.lumivane-writing: File too large"),
        ("Panel.cfg held open by another program", False, not native, True, {"held": True}, [], 1,
         r".*Panel\.cfg was not changed: cannot replace .*Panel\.cfg: another program has it open \(close that "
         r"program, and try again\)"),
        # The module goes in before Panel.cfg is replaced: it comes back out.
        ("Panel.cfg held open, the gauge not in Gauges yet", False, not native, False, {"held": True}, [], 1,
         r".*Panel\.cfg was not changed: cannot replace .*Panel\.cfg: another program has it open \(close that "
         r"program, and try again\)"),
        ("problems in the panel", False, True, False, {"prepare": problems}, [], 2,
         r"nothing was changed: the problems above make the entry's place uncertain; mend them, and run this again"),
        ("no Gauges folder", False, True, False, {}, ["--gauges", WORK / "no-such-folder"], 1,
         r"nothing was changed: there is no folder .*no-such-folder \(the simulator's Gauges folder, looked for three "
         r"folders above Panel\.cfg\); name it with --gauges"),
    ]
    said_rows, skipped = [], []
    for index, (name, needs_mounts, here, module, setup, extra, status, last) in enumerate(rows):
        if not here:
            continue
        if needs_mounts and not mounts:
            skipped.append(name)
            continue
        config, gauges = bare_aircraft(f"fault{index}", module=module)
        if "prepare" in setup:
            setup["prepare"](config)
        original, files, modules = config.read_bytes(), listing(config.parent), listing(gauges)
        holder = hold_open(config) if setup.get("held") else None
        try:
            on_tmpfs = setup.get("tmpfs", False)
            got, said, errors = bench("--install", config, *extra, "--out", WORK / f"fault{index}-out",
                                      before=setup["before"](config, gauges) if "before" in setup else (),
                                      after=left(config.parent) if on_tmpfs else (),
                                      limit=len(original) + 8 if setup.get("limit") else None)
            if on_tmpfs:
                config = stage / config.name
        finally:
            if holder:
                holder.kill()
                holder.wait()
        lines = errors.strip().splitlines()
        line = lines[-1] if lines else ""
        shown = re.sub(r"^lumivane-bench: ", "", line)
        faults = []
        if got != status or not re.fullmatch(last, shown):
            faults.append(f"status {got}, not {status}, and said:\n{said}{errors}")
        if config.read_bytes() != original or listing(config.parent) != files or listing(gauges) != modules:
            faults.append(f"left {listing(config.parent)} and {listing(gauges)}, not {files} and {modules}, "
                          f"Panel.cfg {'as it was' if config.read_bytes() == original else 'changed'}")
        if faults:
            raise Failed(f"{name}: " + "; ".join(faults))
        said_rows.append(f"  {name}: status {got}: {line}")
    if skipped:
        said_rows.append(f"  skipped, as mounting is not allowed here: {', '.join(skipped)}")
    return "\n" + "\n".join(said_rows)


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    WORK.mkdir(parents=True)
    failures = []
    for name, check in [("the test aircraft", the_test_aircraft), ("without Lumivane", without_lumivane),
                        ("the readme's example", readme_example), ("a picture not written", a_picture_not_written),
                        ("install and uninstall", install_and_uninstall), ("the faults of an install", install_faults)]:
        try:
            print(f"ok    {name}: {check()}")
        except Failed as failure:
            failures.append(f"{name}: {failure}")
    return verdict(failures)


if __name__ == "__main__":
    if len(sys.argv) not in (4, 6):
        sys.exit(__doc__)
    sys.exit(main())
