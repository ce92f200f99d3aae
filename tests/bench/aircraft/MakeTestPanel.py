#!/usr/bin/python3
"""A small aircraft of our own for the bench's panel tests: the simulator's
folders as a pilot has them (Aircraft/<aircraft>/Panel beside Gauges), a
Panel.cfg with CR LF line ends and two windows, their background bitmaps
drawn here (256 colours, as the bench reads them), made-up gauges around
Lumivane, and Lumivane.gau copied into Gauges. The main window is unscaled
(size_mm is its bitmap's width); the radio window's units are two pixels
each, its bitmap wider than its caption and not the main window's shape,
and its name written in another case than the file's.

    MakeTestPanel.py FOLDER LUMIVANE.gau
Prints the path of Panel.cfg.
"""
import re
import shutil
import struct
import sys
from pathlib import Path

AIRCRAFT = "Lumivane Test"
# Each window: its bitmap's file name, its size in pixels, size_mm, and its
# gauges as the file gives them (name, x, y, then any width and height).
WINDOWS = [
    {"title": "Main Panel", "file": "Main.bmp", "written": "Main.bmp", "size": (320, 200), "units": 320,
     "gauges": [("Test.Airspeed", 10, 20, 90, 80), ("Test.Clock", 20, 120), ("Lumivane", 200, 110)]},
    {"title": "Radio Stack", "file": "Radio.bmp", "written": "radio.BMP", "size": (800, 200), "units": 400,
     "gauges": [("Test.Radio", 0, 0, 40, 20), ("Lumivane", 50, 25)]},
]


def write_bitmap(path, width, height, palette, index):
    """An uncompressed 8-bit bitmap file: `palette` a list of (r, g, b),
    `index(x, y)` the colour of each pixel, rows stored bottom-up."""
    stride = (width + 3) // 4 * 4
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette) + bytes(4 * (256 - len(palette)))
    rows = b"".join(bytes(index(x, y) for x in range(width)) + bytes(stride - width)
                    for y in reversed(range(height)))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(table)
    header = b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset)
    Path(path).write_bytes(header + info + table + rows)


def background(number):
    """A window's art: bands of colour down the window, a grid every 20
    pixels and a lighter frame, in colours the gauge's art does not use."""
    base = [(40, 60, 110), (60, 90, 70)][number]
    palette = [tuple(min(255, c + 6 * band) for c in base) for band in range(16)]
    palette += [(150, 160, 175), (210, 200, 150)]
    grid, frame = 16, 17

    def index(x, y):
        if x in (0, 1) or y in (0, 1):
            return frame
        if x % 20 == 0 or y % 20 == 0:
            return grid
        return (y // 13 + x // 41) % 16
    return palette, index


def mark_boxes(window, scale):
    """Where, in the window's bitmap, the bench may mark the gauges other
    than Lumivane and write their names: each one's box where its size is
    given, and room for its name from its corner."""
    boxes = []
    for name, x, y, *size in window["gauges"]:
        if name == "Lumivane":
            continue
        left, top = round(x * scale), round(y * scale)
        right = max(round((x + size[0]) * scale) if size else 0, left + 16 + 9 * len(name))
        bottom = max(round((y + size[1]) * scale) if len(size) > 1 else 0, top + 18)
        boxes.append((left, top, right, bottom))
    return boxes


def entry(number, gauge):
    return f"gauge{number:02d}=" + ", ".join(str(part) for part in gauge)


def make_panel(folder, module):
    folder = Path(folder)
    simulator = folder / "FS98"
    panel = simulator / "Aircraft" / AIRCRAFT / "Panel"
    panel.mkdir(parents=True, exist_ok=True)
    (simulator / "Gauges").mkdir(exist_ok=True)
    shutil.copyfile(module, simulator / "Gauges" / "Lumivane.gau")
    lines = ["// Lumivane's test aircraft, made up for the bench's tests", "[Window Titles]"]
    lines += [f"window{n:02d}={window['title']}" for n, window in enumerate(WINDOWS)]
    for n, window in enumerate(WINDOWS):
        lines += ["", f"[Window{n:02d}]", f"file={window['written']}", f"size_mm={window['units']}",
                  f"position={[7, 2][n]}", f"visible={[1, 0][n]}", f"ident={['MAIN_PANEL', 'RADIO_STACK'][n]}"]
        lines += [entry(i, gauge) for i, gauge in enumerate(window["gauges"])]
        palette, index = background(n)
        write_bitmap(panel / window["file"], *window["size"], palette, index)
    lines += ["", "[Default View]", "X_OFFSET_SCREEN=0", "Y_OFFSET_SCREEN=0", "X_SIZE_SCREEN=8192",
              "Y_SIZE_SCREEN=4700", ""]
    config = panel / "Panel.cfg"
    config.write_bytes("\r\n".join(lines).encode("ascii"))
    return config


def make_bare_panel(folder, module, keep_module=True):
    """The test aircraft without the gauge: no entry for it, and its Gauges
    folder empty unless `keep_module`. The panel's path and Gauges."""
    config = make_panel(folder, module)
    config.write_bytes(re.sub(rb"gauge\d\d=Lumivane[^\r]*\r\n", b"", config.read_bytes()))
    gauges = config.parents[3] / "Gauges"
    if not keep_module:
        (gauges / "Lumivane.gau").unlink()
    return config, gauges


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    print(make_panel(sys.argv[1], sys.argv[2]))
