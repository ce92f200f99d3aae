#!/usr/bin/python3
"""A recorded run leaves what it promises: each scenario flown by the bench
program leaves events.jsonl, sound.wav, the chart <scenario>.png, the video
<scenario>.mp4 and the contact sheet frames.png; frames/ holds a frame for
exactly the passes whose panel changed; and the pictures, the chart and the
video agree with the log: in every frame, and in every frame of the contact
sheet, each lamp's well is red exactly when the log says the lamp is lit;
the chart draws each speed as each pass gave it, and the least and the most
airspeed of the log, even one pass's among a long run's (a row of its own,
spike.txt: a chart that kept one airspeed of each pixel column would lose
it); the video holds one H.264
and one AAC stream, lasts as long as the run to within a frame, and its
sound bursts where the log says a clip started, once for a single beep and
twice for a double. Each record is also read back by a reader of its own
(RunRecords.py) and held field by field to the scenario that was flown.

    TakeOffOutputsTest.py BENCH MODULE WORK-DIR SCENARIO...
"""
import array
import json
import math
import os
import re
import shutil
import subprocess
import sys

from PIL import Image

# No bytecode left in the source tree by a test run.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools"))
from Faults import arguments, verdict  # noqa: E402
from RunRecords import record_faults  # noqa: E402

# The middle of each lamp's well, in panel pixels (the wells are 16 × 4 at
# columns 24, 49 and 74, rows 15 to 18).
LAMP_POINTS = [(31, 16), (56, 16), (81, 16)]
LIT = (255, 0, 0)
PANEL = (128, 128, 128)
SHEET_GROUND = (32, 32, 32)
PANEL_WIDTH = 100
SHEET_MOST = 24
CHART = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "bench", "pictures", "chart.py")
VIDEO_FRAME_RATE = 30
# How far from its pass's start a clip's first burst may begin and its last
# may begin (seconds): the pass and the sound's 10 ms windows. How many
# bursts each clip sounds as, the log's first line says.
ONSET_SLACK = 0.035
BURSTS_WITHIN = 0.3
# The sound in 10 ms windows; a window is loud above this RMS (of 32768),
# and bursts are told apart by a quiet window between them.
WINDOW = 0.01
LOUD = 300


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


def log_segments(passes, names):
    """The chart's lines for the airspeed and the speeds the log gives, as
    chart.py prints them."""
    end = passes[-1]["time"] + (passes[-1]["time"] - passes[-2]["time"] if len(passes) > 1 else 0)
    airspeeds = [p["airspeed"] for p in passes if p["airspeed"] is not None]
    lines = [f"airspeed {min(airspeeds):g} to {max(airspeeds):g}"]
    for lamp in range(3):
        stretch = None
        for index, p in enumerate(passes):
            value = (p["speeds"] or [None] * 3)[lamp]
            stop = passes[index + 1]["time"] if index + 1 < len(passes) else end
            if value is not None and stretch and stretch[0] == value and stretch[2] == p["time"]:
                stretch[2] = stop
                continue
            if stretch:
                lines.append(f"{names[lamp]} {stretch[0]:g} from {stretch[1]:.2f} s to {stretch[2]:.2f} s")
            stretch = [value, p["time"], stop] if value is not None else None
        if stretch:
            lines.append(f"{names[lamp]} {stretch[0]:g} from {stretch[1]:.2f} s to {stretch[2]:.2f} s")
    return lines


def sound_onsets(video):
    """Where the video's sound bursts start, in seconds."""
    rate = 8000
    decoded = subprocess.run(["ffmpeg", "-v", "error", "-i", video, "-vn", "-ac", "1", "-ar", str(rate),
                              "-f", "s16le", "-"], capture_output=True, check=True).stdout
    samples = array.array("h")
    samples.frombytes(decoded[:len(decoded) // 2 * 2])
    if sys.byteorder != "little":
        samples.byteswap()
    width = int(rate * WINDOW)
    onsets, loud = [], False
    for start in range(0, len(samples) - width + 1, width):
        window = samples[start:start + width]
        now = math.sqrt(sum(x * x for x in window) / width) > LOUD
        if now and not loud:
            onsets.append(start / rate)
        loud = now
    return onsets


def video_faults(video, passes, clips):
    faults = []
    probe = subprocess.run(["ffprobe", "-v", "error", "-of", "json", "-show_streams", "-show_format", video],
                           capture_output=True, text=True)
    if probe.returncode != 0:
        return [f"ffprobe cannot read {video}: {probe.stderr.strip()}"]
    found = json.loads(probe.stdout)
    streams = [(s.get("codec_type"), s.get("codec_name")) for s in found.get("streams", [])]
    if sorted(streams) != [("audio", "aac"), ("video", "h264")]:
        faults.append(f"the video's streams are {streams}, not one H.264 and one AAC")
    rate = (passes[-1]["pass"] - passes[0]["pass"]) / (passes[-1]["time"] - passes[0]["time"])
    run = (passes[-1]["pass"] - passes[0]["pass"] + 1) / rate
    lasts = float(found.get("format", {}).get("duration", "nan"))
    if not abs(lasts - run) <= 1 / VIDEO_FRAME_RATE:
        faults.append(f"the video lasts {lasts} s, the run {run:.3f} s")
    onsets = sound_onsets(video)
    plays = [(p["time"], clip) for p in passes for clip in p["plays"]]
    heard = []
    for time, clip in plays:
        near = [t for t in onsets if time - ONSET_SLACK <= t <= time + BURSTS_WITHIN]
        heard += near
        if len(near) != clips.get(clip, {}).get("beeps", 1) or abs(near[0] - time) > ONSET_SLACK:
            faults.append(f"{clip} started at {time:.2f} s, and the video's sound bursts near it at {near}")
    stray = [t for t in onsets if t not in heard]
    if stray:
        faults.append(f"the video's sound bursts at {stray}, where the log started no clip")
    return faults


def fly(bench, module, scenario, work):
    """The faults of one scenario's run, and what was found."""
    name = os.path.splitext(os.path.basename(scenario))[0]
    out = os.path.join(work, name)
    run = subprocess.run([bench, module, "--scenario", scenario, "--out", out], capture_output=True, text=True)
    faults = []
    if run.returncode != 0:
        return [f"{name}: the bench exited {run.returncode}: {run.stdout + run.stderr}"], ""
    for made in ("events.jsonl", "sound.wav", name + ".png", name + ".mp4", "frames.png"):
        path = os.path.join(out, made)
        if not os.path.isfile(path) or os.path.getsize(path) == 0:
            faults.append(f"the run left no {made} (it said: {run.stdout.strip()})")
    if faults:
        return faults, ""

    with open(os.path.join(out, "events.jsonl")) as stream:
        passes = [json.loads(line) for line in stream]
    # The first line is the gauge's (RunRecords.py holds it to Lumivane).
    gauge = passes.pop(0).get("gauge", {})
    shows = [(p["installed"], p["lamps"], p["marks"], p["readout"]) for p in passes]
    changed = [p["pass"] for i, p in enumerate(passes) if i == 0 or shows[i] != shows[i - 1]]
    frames = {int(m.group(1)): m.group(0) for m in
              (re.fullmatch(r"pass-(\d+)\.png", f) for f in os.listdir(os.path.join(out, "frames"))) if m}
    if sorted(frames) != changed:
        faults.append(f"frames/ holds passes {sorted(frames)}, while the panel changed at passes {changed}")
    # Killed, the gauge shows no lamps: its frames show them dark.
    lit = {p["pass"]: p["lamps"] or [False, False, False] for p in passes}
    for number, file in sorted(frames.items()):
        picture = Image.open(os.path.join(out, "frames", file)).convert("RGB")
        scale = picture.size[0] // PANEL_WIDTH
        if lamps_in(picture, 0, 0, scale) != lit.get(number):
            faults.append(f"frames/{file} shows lamps {lamps_in(picture, 0, 0, scale)}, the log {lit.get(number)}")

    sheet = Image.open(os.path.join(out, "frames.png")).convert("RGB")
    on_sheet = [lamps_in(sheet, x, y, scale) for x, y, scale in sheet_frames(sheet)]
    expected = [lit[number] for number in changed]
    # A long run's sheet shows some of its changes, in their order.
    remaining = iter(expected)
    in_order = all(any(shown == e for e in remaining) for shown in on_sheet)
    if len(on_sheet) != min(len(expected), SHEET_MOST) or not in_order:
        faults.append(f"the contact sheet's frames show lamps {on_sheet}, the log's changes {expected}")
    if [True, True, True] in expected and [True, True, True] not in on_sheet:
        faults.append("no frame of the contact sheet shows all three lamps lit")

    drawn = subprocess.run([sys.executable, CHART, os.path.join(out, "events.jsonl"),
                            os.path.join(work, name + "-chart.png")], capture_output=True, text=True)
    segments = log_segments(passes, gauge.get("speeds", []))
    if drawn.returncode != 0 or drawn.stdout.splitlines() != segments:
        faults.append(f"the chart says it draws {drawn.stdout.splitlines()} ({drawn.stderr.strip()}), "
                      f"the log gives {segments}")

    faults += video_faults(os.path.join(out, name + ".mp4"), passes, gauge.get("clips", {}))
    faults += record_faults(out, scenario, name)
    return [f"{name}: {fault}" for fault in faults], \
        f"{name}: {len(frames)} frames, at passes {changed}; the contact sheet shows lamps {on_sheet}; " \
        f"{len(segments)} stretches of speeds; clips {[c for p in passes for c in p['plays']]}"


def main(bench, module, work, *scenarios):
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    faults = []
    for scenario in scenarios:
        found, told = fly(bench, module, scenario, work)
        faults += found
        if not found:
            print(told)
    return verdict(faults)


if __name__ == "__main__":
    sys.exit(main(*arguments(__doc__, range(4, 100))))
