#!/usr/bin/python3
"""The bench's window, used as a person would use it: the windows bench is
started with --window under Wine on a virtual X server (Xvfb), in a Wine
prefix of this test's own, its server stopped before and after each flight;
the test finds the window, presses X (no key of the bench's) and 2 (Speed2
selected), clicks Speed1's selector button, then the increase area three times
and the decrease area once, presses Page Up twice (20 knots: each counts from
the airspeed the last pass showed), holds 1 down for a second (the system
repeats the key; Speed1's selector runs once), and judges what came of it
three ways: the gauge's settings file in the bench's sandbox (C:\\pelmo1), the
run's events.jsonl (which handlers ran, what the readout showed; written pass
by pass while the window is open), and a screenshot of the X screen (the lit
square of Speed1 and the readout's light grey digits in their box, every pixel
of the panel the very picture the bench's own frame of the pass shows, and
below it the strip with its status and keys); and that it flew no faster than
18 passes a second. A second flight shows a copy of the module whose
background is 60 rows high, at a scale too large for the screen: the window
fits itself to that panel at the largest scale that fits, and says so. A third
gives it a file that is no module: the bench ends with status 1 and says why;
so does a fourth whose DISPLAY names no X server, where no window can open.
A fifth shows the main window of a test aircraft's panel (--panel, from
tests/bench/aircraft/MakeTestPanel.py) with the gauge at its place: a click
off the gauge runs nothing, clicks on its place select and raise Speed1,
and the screenshot shows the window's own bitmap around the gauge and the
lit square where the gauge's place puts it. Escape closes the window. Xvfb,
the bench and Wine's server are stopped whatever happens.

    WindowTest.py BENCH.exe MODULE.gau WINE-RUN STATE-DIR WORK-DIR

Exit status 77 (a skip) when Xvfb, xdotool or xwd is missing.
"""
import json
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import time

from PIL import Image

# No bytecode left in the source tree by a test run.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from WinePath import windows_path  # noqa: E402
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools"))
from Faults import arguments, verdict  # noqa: E402
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "aircraft"))
from MakeTestPanel import WINDOWS, make_panel, mark_boxes  # noqa: E402

SKIP = 77
SCALE = 4
# Panel points to press (bench/SCENARIOS.md) and the areas they run.
SELECT_SPEED1 = (10, 57)
INCREASE = (70, 45)
DECREASE = (40, 45)
EXPECTED_HANDLERS = ["area 4", "area 5", "area 2", "area 2", "area 2", "area 1", "area 5"]
# A fresh sandbox: the gauge starts from Speed1 80.
EXPECTED_SPEED1 = 82
# Panel pixels: the middle of Speed1's selector square and of Speed3's (the
# one selected at the start), and the readout's box.
SPEED1_SQUARE = (10, 56, 14, 59)
SPEED3_SQUARE = (10, 18, 14, 21)
READOUT_BOX = (25, 35, 87, 60)
RED = (255, 0, 0)
LIGHT_GREY = (204, 204, 204)
READOUT_TEXT = (239, 239, 239)
# The strip below the panel: three lines of 17 screen pixels and 4 to spare,
# the status in its text colour over the first, the keys' hints in theirs
# over the other two.
STRIP_HEIGHT = 3 * 17 + 4
STRIP_GROUND, STRIP_TEXT, STRIP_HINT = (32, 32, 32), (230, 230, 230), (160, 160, 160)
# The rows of the panel of the second flight, a module whose background is
# shorter than the host's 70, asked for at a scale too large for the screen
# and shown at the largest that fits 1024 x 768 with the strip and a frame.
SHORT_PANEL = 60
BIG_SCALE, FITTED_SCALE = 16, 10


class Failed(Exception):
    pass


def start_xvfb():
    """A virtual X server on a display number it picks itself; returns the
    process and the DISPLAY value."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    deadline = time.monotonic() + 30
    while not number.endswith(b"\n"):
        ready, _, _ = select.select([read], [], [], max(0.0, deadline - time.monotonic()))
        if not ready:
            xvfb.kill()
            raise Failed("Xvfb did not report a display within 30 s")
        chunk = os.read(read, 16)
        if not chunk:
            raise Failed(f"Xvfb stopped at start (status {xvfb.wait()})")
        number += chunk
    os.close(read)
    return xvfb, ":" + number.decode().strip()


def xdotool(env, *args, timeout=30):
    result = subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True, timeout=timeout)
    if result.returncode != 0:
        raise Failed(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
    return result.stdout.strip()


def read_xwd(path):
    """The screen as a function of x, y giving (r, g, b), from an XWD file:
    a header of 25 32-bit fields (byte order told by the file version, 7),
    the window name, the colour map entries of 12 bytes each, then the
    pixels row by row."""
    with open(path, "rb") as stream:
        data = stream.read()
    order = ">" if struct.unpack(">I", data[4:8])[0] == 7 else "<"
    names = ("header_size file_version pixmap_format pixmap_depth pixmap_width pixmap_height xoffset byte_order "
             "bitmap_unit bitmap_bit_order bitmap_pad bits_per_pixel bytes_per_line visual_class red_mask "
             "green_mask blue_mask bits_per_rgb colormap_entries ncolors window_width window_height window_x "
             "window_y window_bdrwidth").split()
    header = dict(zip(names, struct.unpack(order + "25I", data[:100])))
    if header["file_version"] != 7 or header["pixmap_format"] != 2 or header["visual_class"] not in (4, 5):
        raise Failed(f"{path} is not a true-colour XWD picture this test reads: {header}")
    start = header["header_size"] + header["ncolors"] * 12
    size = header["bits_per_pixel"] // 8
    stride = header["bytes_per_line"]
    pixel_order = "little" if header["byte_order"] == 0 else "big"
    masks = [header["red_mask"], header["green_mask"], header["blue_mask"]]
    shifts = [(mask & -mask).bit_length() - 1 for mask in masks]

    def pixel(x, y):
        at = start + y * stride + x * size
        value = int.from_bytes(data[at:at + size], pixel_order)
        return tuple((value & mask) >> shift for mask, shift in zip(masks, shifts))

    return pixel, header["pixmap_width"], header["pixmap_height"]


def panel_pixels(pixel, origin, box):
    """Every screen pixel of the panel box (left, top, right, bottom), the
    window's client area starting at `origin`."""
    left, top, right, bottom = box
    return [pixel(origin[0] + x, origin[1] + y)
            for y in range(top * SCALE, bottom * SCALE) for x in range(left * SCALE, right * SCALE)]


def wait_for(what, test, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if test():
            return
        time.sleep(0.2)
    raise Failed(f"waited {seconds} s, and still not: {what}")


def fly(bench, module, wine_run, state, work, display, judge, scale):
    """Starts the bench's window on `module` at `scale` and hands it to
    `judge`; the bench and Wine's server are stopped whatever happens.
    `module` may instead be the list of arguments that name what to show."""
    out = os.path.join(work, "out")
    home = os.path.join(work, "home")
    os.makedirs(home)
    # Wine's DirectSound gets a device that plays into a file, so that the
    # test needs no sound card and makes no noise.
    with open(os.path.join(home, ".asoundrc"), "w") as stream:
        stream.write('pcm.!default { type file slave.pcm "null" file "%s/capture.wav" format "wav" }\n'
                     "pcm.null { type null }\n" % home)
    env = dict(os.environ, DISPLAY=display, HOME=home, WINEDEBUG="-all")
    prefix = dict(env, WINEPREFIX=os.path.join(state, "prefix"))
    # A server left by an earlier run would still speak to its own display.
    subprocess.run(["wineserver", "-k"], env=prefix, stderr=subprocess.DEVNULL)
    log = open(os.path.join(work, "bench.log"), "w")
    started = time.monotonic()
    process = subprocess.Popen(
        [wine_run, state, bench, *(module if isinstance(module, list) else [windows_path(module)]), "--window",
         "--out", windows_path(out), "--scale", str(scale), "--frames", "changes"],
        env=env, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
    try:
        judge(process, env, out, started, PANEL_NAME if isinstance(module, list) else os.path.basename(module))
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        subprocess.run(["wineserver", "-k"], env=prefix, stderr=subprocess.DEVNULL)
        log.close()


def find_window(process, env, name):
    """The window's id and its client area's top-left on the screen; its
    title names the module `name` first."""
    # The title names the airspeed once the passes have begun. A first start
    # creates the prefix, which takes a while; a bench that ends first has
    # failed to open its window, and says why in its log.
    # Once the window is there, the passes begin at once.
    deadline = time.monotonic() + 180
    opened = False

    def search(title):
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], env=env, capture_output=True,
                              text=True, timeout=30).stdout.split()

    while True:
        found = search(r"Airspeed.*lumivane-bench")
        if found:
            window = found[0]
            break
        if process.poll() is not None:
            raise Failed(f"the bench ended with status {process.returncode} before its window showed")
        if not opened and search(r"lumivane-bench$"):
            opened = True
            deadline = min(deadline, time.monotonic() + 20)
        if time.monotonic() > deadline:
            raise Failed("no window naming the airspeed " + ("20 s after it opened" if opened else "within 180 s"))
        time.sleep(0.3)
    title = xdotool(env, "getwindowname", window)
    if not title.startswith(name + " - "):
        raise Failed(f"the window's title {title!r} does not name the module {name} first")
    geometry = xdotool(env, "getwindowgeometry", "--shell", window)
    place = dict(line.split("=", 1) for line in geometry.splitlines())
    return window, (int(place["X"]), int(place["Y"]))


def screenshot(env, out, origin, panel_height, scale=SCALE):
    shot = os.path.join(os.path.dirname(out), "screen.xwd")
    subprocess.run(["xwd", "-root", "-silent", "-out", shot], env=env, check=True, timeout=30)
    pixel, width, height = read_xwd(shot)
    if origin[0] + 100 * scale >= width or origin[1] + panel_height * scale + STRIP_HEIGHT >= height:
        raise Failed(f"the window at {origin} is not all on the {width} x {height} screen")
    return pixel


def window_faults(pixel, origin, out, panel_height, scale=SCALE, frame_scale=SCALE, key_lines=2):
    """What the window shows wrongly at `scale`: the panel, pixel for pixel
    the bench's frame (at `frame_scale`) of the last pass that changed it,
    then the strip right below it: its status on one line, the keys on
    `key_lines` (two at scale 4, one in a wider window), and nothing past its
    height or the panel's width."""
    faults = []
    frames = os.path.join(out, "frames")
    name = max(n for n in os.listdir(frames) if n.endswith(".png"))
    with Image.open(os.path.join(frames, name)) as picture:
        frame = picture.convert("RGB")
    if frame.size != (100 * frame_scale, panel_height * frame_scale):
        faults.append(f"frames/{name} is {frame.size}, not the panel of 100 x {panel_height} at scale {frame_scale}")
    shown = frame.load()
    differ = [(x, y) for y in range(panel_height * scale) for x in range(100 * scale)
              if pixel(origin[0] + x, origin[1] + y) != shown[x // scale * frame_scale, y // scale * frame_scale]]
    if differ:
        faults.append(f"{len(differ)} screen pixels of the panel differ from frames/{name}, the first at {differ[0]}")

    top = origin[1] + panel_height * scale
    rows = [[pixel(origin[0] + x, top + y) for x in range(100 * scale + 1)] for y in range(STRIP_HEIGHT + 1)]
    strange = [y for y, row in enumerate(rows[:STRIP_HEIGHT])
               if set(row[:-1]) - {STRIP_GROUND, STRIP_TEXT, STRIP_HINT}]
    if strange:
        faults.append(f"the strip's rows {strange[:5]} hold colours of neither its ground nor its text")
    if STRIP_GROUND in rows[STRIP_HEIGHT]:
        faults.append(f"the strip reaches past its {STRIP_HEIGHT} rows")
    if any(row[-1] == STRIP_GROUND for row in rows[:STRIP_HEIGHT]):
        faults.append(f"the strip reaches past the panel's {100 * scale} columns")
    status = [y for y, row in enumerate(rows) if STRIP_TEXT in row]
    if not status or status[-1] >= 2 + 17:
        faults.append(f"the status is not on the strip's first line: rows {status}")
    hinted = [y for y, row in enumerate(rows) if STRIP_HINT in row]
    lines = sum(1 for i, y in enumerate(hinted) if i == 0 or hinted[i - 1] != y - 1)
    if lines != key_lines or hinted[0] < 2 + 17:
        faults.append(f"the keys are not on {key_lines} line(s) of the strip below the status: rows {hinted}")
    return faults


def close(process, env, window):
    """Escape, and the bench's exit status."""
    xdotool(env, "key", "--window", window, "Escape")
    try:
        return process.wait(timeout=30)
    except subprocess.TimeoutExpired:
        raise Failed("the bench did not end within 30 s of Escape") from None


def judge_clicks(process, env, out, started, name):
    window, origin = find_window(process, env, name)
    # Keys first: X is none of the bench's and does nothing; 2 selects Speed2
    # as its mark's area does, and closes nothing.
    xdotool(env, "key", "--window", window, "x", "2")
    time.sleep(0.3)
    for point in [SELECT_SPEED1, INCREASE, INCREASE, INCREASE, DECREASE]:
        xdotool(env, "mousemove", "--window", window, str(point[0] * SCALE), str(point[1] * SCALE), "click", "1")
        time.sleep(0.3)

    speed1_file = os.path.join(out, "settings", "pelmo1")

    def speed1_saved():
        try:
            with open(speed1_file) as stream:
                return stream.read() == str(EXPECTED_SPEED1)
        except OSError:
            return False

    wait_for(f"{speed1_file} holds {EXPECTED_SPEED1}", speed1_saved, 10)
    # Page Up twice, passes apart: the second counts from the airspeed the
    # first pass showed, not from where the hand input began.
    for _ in range(2):
        xdotool(env, "key", "--window", window, "Prior")
        time.sleep(0.3)
    # 1 held down for a second: the system repeats the key, the bench does
    # not, as Speed1's selector does not repeat when held (one handler).
    xdotool(env, "windowfocus", "--sync", window)
    xdotool(env, "keydown", "1")
    time.sleep(1.2)
    xdotool(env, "keyup", "1")
    time.sleep(0.5)  # a few passes to show it

    pixel = screenshot(env, out, origin, 70)
    faults = []
    square = panel_pixels(pixel, origin, SPEED1_SQUARE)
    if square.count(RED) != len(square):
        faults.append(f"Speed1's selector square is not lit red on the screen: {sorted(set(square))[:5]}")
    square = panel_pixels(pixel, origin, SPEED3_SQUARE)
    if square.count(LIGHT_GREY) != len(square):
        faults.append(f"Speed3's selector square is not light grey: {sorted(set(square))[:5]}")
    digits = panel_pixels(pixel, origin, READOUT_BOX).count(READOUT_TEXT)
    if digits < 20 * SCALE * SCALE:
        faults.append(f"the readout's box shows {digits} screen pixels of the text colour, "
                      "too few for the digits of ' 82'")
    faults += window_faults(pixel, origin, out, 70)

    # Someone following the run sees it pass by pass while the window is up.
    events = os.path.join(out, "events.jsonl")
    sizes = set()
    deadline = time.monotonic() + 1
    while time.monotonic() < deadline:
        sizes.add(os.path.getsize(events))
        time.sleep(0.02)
    if len(sizes) < 6:
        faults.append(f"events.jsonl grew {len(sizes) - 1} times in a second of the open window, not pass by pass")

    status = close(process, env, window)
    if status != 0:
        faults.append(f"the bench ended with status {status}")
    # The window flies in real time, a pass each eighteenth of a second
    # from its first: never more passes than the time it was up allows.
    elapsed = time.monotonic() - started

    with open(os.path.join(out, "events.jsonl")) as stream:
        # The first line describes the gauge; the passes follow.
        passes = [json.loads(line) for line in stream][1:]
    if not passes:
        raise Failed("events.jsonl holds no passes")
    if len(passes) > elapsed * 18 + 18:
        faults.append(f"{len(passes)} passes in {elapsed:.1f} s: the window does not keep 18 passes a second")
    handlers = [area for one in passes for area in one["handlers"]]
    if handlers != EXPECTED_HANDLERS:
        faults.append(f"events.jsonl: handlers {handlers}, not {EXPECTED_HANDLERS}")
    if passes[-1]["airspeed"] != 20:
        faults.append(f"events.jsonl: after Page Up twice the last pass flies at {passes[-1]['airspeed']}, not 20")
    if passes[-1]["readout"] != f"{EXPECTED_SPEED1:3d}" or passes[-1]["marks"] != [True, False, False]:
        faults.append(f"events.jsonl: last pass shows {passes[-1]['readout']!r} with marks {passes[-1]['marks']}")
    if faults:
        raise Failed("\n".join(faults))
    print(f"clicked {len(handlers)} times at scale {SCALE}; Speed1 {EXPECTED_SPEED1} saved, shown and logged "
          f"over {len(passes)} passes")


def short_panel_module(module, folder):
    """A copy of the module whose background, in its resources 100 x 70,
    says it is SHORT_PANEL rows high: the bench takes the panel's size from
    the background, and the window must take the panel's."""
    data = bytearray(open(module, "rb").read())
    header = struct.pack("<Iii", 40, 100, 70)
    at = data.find(header)
    if at < 0 or data.find(header, at + 1) >= 0:
        raise Failed(f"{module} does not hold exactly one bitmap header of 100 x 70")
    data[at + 8:at + 12] = struct.pack("<i", SHORT_PANEL)
    path = os.path.join(folder, "ShortPanel.gau")
    with open(path, "wb") as stream:
        stream.write(data)
    return path


def text_module(folder):
    path = os.path.join(folder, "Text.gau")
    with open(path, "w") as stream:
        stream.write("not a module\n")
    return path


def judge_short_panel(process, env, out, started, name):
    window, origin = find_window(process, env, name)
    frames = os.path.join(out, "frames")
    wait_for("a frame of the panel", lambda: os.path.isdir(frames) and os.listdir(frames), 10)
    time.sleep(0.5)  # the window fitted to the panel, and painted
    pixel = screenshot(env, out, origin, SHORT_PANEL, FITTED_SCALE)
    faults = window_faults(pixel, origin, out, SHORT_PANEL, FITTED_SCALE, BIG_SCALE, key_lines=1)
    status = close(process, env, window)
    if status != 0:
        faults.append(f"the bench ended with status {status}")
    with open(os.path.join(os.path.dirname(out), "bench.log")) as stream:
        said = stream.read()
    told = f"at --scale {BIG_SCALE} the window would not fit the screen; showing it at {FITTED_SCALE}"
    if told not in said:
        faults.append(f"the bench did not say {told!r}")
    if faults:
        raise Failed("with a panel of 100 x %d:\n" % SHORT_PANEL + "\n".join(faults))
    print(f"a panel of 100 x {SHORT_PANEL} at --scale {BIG_SCALE}: the window fitted to it at {FITTED_SCALE}")


# The test aircraft's main window, where its entry puts the gauge, and what
# the window's title names.
PANEL_WINDOW = WINDOWS[0]
PANEL_PLACE = next((x, y) for name, x, y, *_ in PANEL_WINDOW["gauges"] if name == "Lumivane")
PANEL_NAME = f"Lumivane.gau in Window00 '{PANEL_WINDOW['title']}'"


def panel_arguments(module, folder):
    config = make_panel(os.path.join(folder, "aircraft"), module)
    return ["--panel", windows_path(config)]


def judge_panel(process, env, out, started, name):
    window, origin = find_window(process, env, name)
    bitmap = Image.open(os.path.join(os.path.dirname(out), "aircraft", "FS98", "Aircraft", "Lumivane Test", "Panel",
                                     PANEL_WINDOW["file"])).convert("RGB")
    width, height = bitmap.size
    left, top = PANEL_PLACE
    # Off the gauge first, then Speed1's selector and the increase area at
    # the gauge's place in the window.
    for x, y in [(5, 5), (left + SELECT_SPEED1[0], top + SELECT_SPEED1[1]), (left + INCREASE[0], top + INCREASE[1])]:
        xdotool(env, "mousemove", "--window", window, str(x), str(y), "click", "1")
        time.sleep(0.3)
    speed1_file = os.path.join(out, "settings", "pelmo1")

    def speed1_saved():
        try:
            with open(speed1_file) as stream:
                return stream.read() == "81"
        except OSError:
            return False

    wait_for(f"{speed1_file} holds 81", speed1_saved, 10)
    time.sleep(0.5)  # a few passes to show it
    shot = os.path.join(os.path.dirname(out), "screen.xwd")
    subprocess.run(["xwd", "-root", "-silent", "-out", shot], env=env, check=True, timeout=30)
    pixel, screen_width, screen_height = read_xwd(shot)
    faults = []
    if origin[0] + width >= screen_width or origin[1] + height >= screen_height:
        faults.append(f"the window at {origin} is not all on the {screen_width} x {screen_height} screen")
    else:
        under = bitmap.load()
        marks = mark_boxes(PANEL_WINDOW, 1)
        differ = [(x, y) for y in range(height) for x in range(width)
                  if not (left <= x < left + 100 and top <= y < top + 70)
                  and not any(l <= x < r and t <= y < b for l, t, r, b in marks)
                  and pixel(origin[0] + x, origin[1] + y) != under[x, y]]
        if differ:
            faults.append(f"{len(differ)} screen pixels around the gauge are not the window's bitmap, "
                          f"the first at {differ[0]}")
        square = [pixel(origin[0] + left + x, origin[1] + top + y) for y in range(SPEED1_SQUARE[1], SPEED1_SQUARE[3])
                  for x in range(SPEED1_SQUARE[0], SPEED1_SQUARE[2])]
        if square.count(RED) != len(square):
            faults.append(f"Speed1's selector square is not lit red at the gauge's place: {sorted(set(square))[:5]}")
    status = close(process, env, window)
    if status != 0:
        faults.append(f"the bench ended with status {status}")
    with open(os.path.join(out, "events.jsonl")) as stream:
        handlers = [area for line in stream for area in json.loads(line).get("handlers", [])]
    if handlers != ["area 5", "area 2"]:
        faults.append(f"events.jsonl: handlers {handlers}, not Speed1's selector and the increase area alone")
    if faults:
        raise Failed("in the test aircraft's window:\n" + "\n".join(faults))
    print(f"the test aircraft's main window: the gauge at {left}, {top} clicked, Speed1 81 saved and shown")


def refusal(what, told, seconds):
    """A judge of a flight the bench must refuse: status 1 within `seconds`,
    and `told` in what it said; `what` names the flight in its messages."""
    def judge(process, env, out, started, name):
        try:
            status = process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise Failed(f"{what}, the bench kept running") from None
        with open(os.path.join(os.path.dirname(out), "bench.log")) as stream:
            said = stream.read()
        if status != 1 or told not in said:
            raise Failed(f"{what}, the bench ended with status {status}, not 1 and why")
        print(f"{what}: refused, status 1")
    return judge


judge_refused = refusal("on a file that is no module", "is not a gauge module this bench can load", 120)
judge_no_display = refusal("with no X server to open a window on", "cannot open a window", 60)


def free_display():
    """A display no X server listens on."""
    number = 9999
    while os.path.exists(f"/tmp/.X11-unix/X{number}"):
        number -= 1
    return f":{number}"


def main(bench, module, wine_run, state, work):
    missing = [tool for tool in ("Xvfb", "xdotool", "xwd") if not shutil.which(tool)]
    if missing:
        print(f"SKIP: {' and '.join(missing)} not installed (Debian packages xvfb, xdotool, x11-apps; "
              "tools/install-deps installs them)")
        return SKIP
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    xvfb, display = start_xvfb()
    flights = [("clicks", lambda: module, judge_clicks, SCALE, display),
               ("short", lambda: short_panel_module(module, work), judge_short_panel, BIG_SCALE, display),
               ("refused", lambda: text_module(work), judge_refused, SCALE, display),
               ("nodisplay", lambda: module, judge_no_display, SCALE, free_display()),
               ("panel", lambda: panel_arguments(module, os.path.join(work, "panel")), judge_panel, 1, display)]
    try:
        for name, flown, judge, scale, shown_on in flights:
            folder = os.path.join(work, name)
            os.makedirs(folder)
            open(os.path.join(folder, "bench.log"), "w").close()
            try:
                fly(bench, flown(), wine_run, state, folder, shown_on, judge, scale)
            except (Failed, subprocess.TimeoutExpired) as error:
                with open(os.path.join(folder, "bench.log")) as stream:
                    return verdict([error], "The bench said:\n" + stream.read())
    finally:
        xvfb.terminate()
        try:
            xvfb.wait(timeout=10)
        except subprocess.TimeoutExpired:
            xvfb.kill()
    return 0


if __name__ == "__main__":
    sys.exit(main(*arguments(__doc__, 5)))
