#!/usr/bin/python3
"""A recorded run leaves what it promises: the take-off flown by the bench
program leaves events.jsonl, sound.wav, the chart takeoff.png and the contact
sheet frames.png; frames/ holds a frame for exactly the passes whose panel
changed; and the pictures agree with the log: in every frame, and in every
frame of the contact sheet, each lamp's well is red exactly when the log says
the lamp is lit.

    TakeOffOutputsTest.py BENCH MODULE SCENARIO WORK-DIR
"""
import json
import os
import re
import shutil
import subprocess
import sys

from PIL import Image

# The middle of each lamp's well, in panel pixels (the wells are 16 × 4 at
# columns 24, 49 and 74, rows 15 to 18).
LAMP_POINTS = [(31, 16), (56, 16), (81, 16)]
LIT = (255, 0, 0)
PANEL = (128, 128, 128)
SHEET_GROUND = (32, 32, 32)
PANEL_WIDTH = 100


def lamps_in(picture, left, top, scale):
    return [picture.getpixel((left + x * scale + scale // 2, top + y * scale + scale // 2)) == LIT
            for x, y in LAMP_POINTS]


def sheet_frames(sheet):
    """The top-left corner and scale of each panel on the contact sheet, in
    reading order: a panel-grey pixel with the sheet's ground to its left and
    above, starting a run of panel pixels as wide as a scaled panel."""
    width, height = sheet.size
    pixels = sheet.load()
    found = []
    for y in range(1, height):
        for x in range(1, width):
            if pixels[x, y] != PANEL or pixels[x - 1, y] != SHEET_GROUND or pixels[x, y - 1] != SHEET_GROUND:
                continue
            end = x
            while end < width and pixels[end, y] != SHEET_GROUND:
                end += 1
            if (end - x) % PANEL_WIDTH == 0:
                found.append((x, y, (end - x) // PANEL_WIDTH))
    return found


def main(bench, module, scenario, work):
    shutil.rmtree(work, ignore_errors=True)
    out = os.path.join(work, "out")
    run = subprocess.run([bench, module, "--scenario", scenario, "--out", out], capture_output=True, text=True)
    faults = []
    if run.returncode != 0:
        print(run.stdout + run.stderr)
        return 1
    name = os.path.splitext(os.path.basename(scenario))[0] + ".png"
    for made in ("events.jsonl", "sound.wav", name, "frames.png"):
        path = os.path.join(out, made)
        if not os.path.isfile(path) or os.path.getsize(path) == 0:
            faults.append(f"the run left no {made} (it said: {run.stdout.strip()})")
    if faults:
        print("\n".join(f"FAULT: {fault}" for fault in faults))
        return 1

    with open(os.path.join(out, "events.jsonl")) as stream:
        passes = [json.loads(line) for line in stream]
    shows = [(p["installed"], p["lamps"], p["marks"], p["readout"]) for p in passes]
    changed = [p["pass"] for i, p in enumerate(passes) if i == 0 or shows[i] != shows[i - 1]]
    frames = {int(m.group(1)): m.group(0) for m in
              (re.fullmatch(r"pass-(\d+)\.png", f) for f in os.listdir(os.path.join(out, "frames"))) if m}
    if sorted(frames) != changed:
        faults.append(f"frames/ holds passes {sorted(frames)}, while the panel changed at passes {changed}")
    lit = {p["pass"]: p["lamps"] for p in passes}
    for number, file in sorted(frames.items()):
        picture = Image.open(os.path.join(out, "frames", file)).convert("RGB")
        scale = picture.size[0] // PANEL_WIDTH
        if lamps_in(picture, 0, 0, scale) != lit.get(number):
            faults.append(f"frames/{file} shows lamps {lamps_in(picture, 0, 0, scale)}, the log {lit.get(number)}")

    sheet = Image.open(os.path.join(out, "frames.png")).convert("RGB")
    on_sheet = [lamps_in(sheet, x, y, scale) for x, y, scale in sheet_frames(sheet)]
    expected = [lit[number] for number in changed]
    if on_sheet != expected:
        faults.append(f"the contact sheet's frames show lamps {on_sheet}, the log's changes {expected}")
    if [True, True, True] not in on_sheet:
        faults.append("no frame of the contact sheet shows all three lamps lit")

    for fault in faults:
        print(f"FAULT: {fault}")
    if not faults:
        print(f"{len(frames)} frames, at passes {changed}; the contact sheet shows lamps {on_sheet}")
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
