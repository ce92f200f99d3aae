# Every record a native run writes, read back by a reader that is not the
# bench's own (Python's wave and struct, json, PIL, ffprobe) and held field
# by field to what the run must have been: its pass count and rate, the
# airspeed its scenario sets, the panel's own rules and the sizes the bench
# promises. One row a record; each answers the list of what is wrong, so
# that a field logged from the wrong state, a header off by a few bytes or a
# frame dropped shows as a named fault. It never writes into the run.
import json
import math
import os
import re
import struct
import subprocess
import wave

from PIL import Image

# What a native run promises: 18 passes a second by default; the software
# DirectSound's mix, 11025 Hz mono 16-bit; frames at ×4 of the 100 × 70 panel;
# the contact sheet at most ×3, six to a row, at most 24 frames; the chart
# 10 × 6.4 inches at 100 dpi; the video the panel ×4 over a 36-pixel strip,
# a picture for each change of the panel, its sound at the mix's own rate.
RATE = 18
SOUND = {"channels": 1, "width": 2, "rate": 11025}
PANEL = (100, 70)
FRAME_SCALE = 4
SHEET_SCALE, SHEET_COLUMNS, SHEET_MOST, SHEET_MARGIN, SHEET_LABEL = 3, 6, 24, 8, 16
CHART_SIZE = (1000, 640)
VIDEO = {"width": PANEL[0] * 4, "height": PANEL[1] * 4 + 36, "audio_rate": str(SOUND["rate"])}
# Where the logged airspeed sits this close to a lamp's bound, the rounding
# to a millionth may put it on either side.
AT_BOUND = 1e-5


def is_number(value):
    return isinstance(value, (int, float)) and not isinstance(value, bool) and math.isfinite(value)


def three(kind):
    return lambda v: isinstance(v, list) and len(v) == 3 and all(kind(x) for x in v)


def boolean(value):
    return isinstance(value, bool)


def whole_or_null(value):
    return value is None or (isinstance(value, int) and not isinstance(value, bool))


def strings(pattern):
    return lambda v: isinstance(v, list) and all(isinstance(x, str) and re.fullmatch(pattern, x) for x in v)


# The log's first line: Lumivane as its reader describes it, which the
# passes' fields are held to (its clips, where its lamps go dark).
GAUGE = {"name": "Lumivane", "module": "Lumivane.gau", "speeds": ["Speed1", "Speed2", "Speed3"],
         "lamps_dark_above": {"speed": 3, "by": 10}, "clips": {"Wave1": {"sound": "single beep", "beeps": 1},
                                                               "Wave2": {"sound": "double beep", "beeps": 2}}}

# Each field of a Lumivane pass as events.jsonl gives it (bench/SCENARIOS.md).
# While the gauge is killed the host holds nothing of its elements, and the
# fields that come from them are null.
FROM_ELEMENTS = ("results", "texts", "lamps", "marks", "readout")
FIELDS = {
    "pass": lambda v: isinstance(v, int) and not isinstance(v, bool),
    "time": is_number,
    "airspeed": is_number,
    "installed": boolean,
    "results": lambda v: isinstance(v, list) and all(x is None or is_number(x) for x in v),
    "texts": lambda v: isinstance(v, list) and all(isinstance(x, str) for x in v),
    "lamps": three(boolean),
    "marks": three(boolean),
    "readout": lambda v: isinstance(v, str),
    "plays": strings("|".join(GAUGE["clips"])),
    "speeds": three(whole_or_null),
    "handlers": strings(r"area \d+"),
}


def scenario_profile(path):
    """The end, the airspeed at a time, from the scenario's own airspeed
    and ramp lines (None when it uses noise or a track), and whether the
    gauge is installed at a time, from its kill and install lines."""
    actions, end, previous, drawn, toggles = [], None, 0.0, False, []
    with open(path) as stream:
        for line in stream:
            words = line.split("#")[0].split()
            if not words or words[0] == "settings":
                continue
            time = previous + float(words[0][1:]) if words[0].startswith("+") else float(words[0])
            previous = time
            drawn = drawn or words[1] in ("noise", "track")
            if words[1] == "airspeed":
                actions.append((time, float(words[2]), 0.0))
            elif words[1] == "ramp":
                actions.append((time, float(words[2]), float(words[4])))
            elif words[1] in ("kill", "install"):
                toggles.append((time, words[1] == "install"))
            elif words[1] == "end":
                end = time

    # A ramp starts from the airspeed at its own time: fold the actions once.
    folded, value = [], 0.0
    for start, target, over in actions:
        if folded:
            begin, was, to, length = folded[-1]
            value = to if length == 0 or start - begin >= length else was + (to - was) * (start - begin) / length
        folded.append((start, value, target, over))

    def airspeed(t):
        current = None
        for step in folded:
            if step[0] <= t + 1e-9:
                current = step
        if current is None:
            return 0.0
        begin, was, to, length = current
        if length == 0 or t - begin >= length:
            return to
        return was + (to - was) * (t - begin) / length

    def installed(t):
        now = True
        for at, state in toggles:
            if at <= t + 1e-9:
                now = state
        return now

    return end, None if drawn else airspeed, installed


def wav_faults(out, run):
    path = os.path.join(out, "sound.wav")
    faults = []
    raw = open(path, "rb").read()
    if len(raw) < 44:
        return [f"sound.wav is {len(raw)} bytes, shorter than its header"]
    riff, riff_size, form, fmt, fmt_size, tag, channels, rate, per_second, align, bits, data, data_size = \
        struct.unpack("<4sI4s4sIHHIIHH4sI", raw[:44])
    header = {"RIFF": (riff, b"RIFF"), "WAVE": (form, b"WAVE"), "fmt ": (fmt, b"fmt "), "data": (data, b"data"),
              "fmt size": (fmt_size, 16), "format tag": (tag, 1), "RIFF size": (riff_size, len(raw) - 8),
              "data size": (data_size, len(raw) - 44), "bytes a second": (per_second, rate * align),
              "block align": (align, channels * bits // 8)}
    faults += [f"sound.wav's {name} is {got!r}, wanted {wanted!r}" for name, (got, wanted) in header.items()
               if got != wanted]
    with wave.open(path, "rb") as sound:
        got = {"channels": sound.getnchannels(), "width": sound.getsampwidth(), "rate": sound.getframerate()}
        frames = sound.getnframes()
        read = len(sound.readframes(frames))
    if got != SOUND:
        faults.append(f"sound.wav is {got}, the software DirectSound's mix is {SOUND}")
    if read != frames * got["width"] * got["channels"]:
        faults.append(f"sound.wav says {frames} frames and holds {read} bytes of them")
    expected = run["passes"] / RATE * SOUND["rate"]
    if not abs(frames - expected) <= SOUND["rate"] / RATE:
        faults.append(f"sound.wav holds {frames} frames, {run['passes']} passes at {RATE} a second are {expected:.0f}")
    return faults


def pass_faults(index, p, airspeed, installed):
    """What is wrong with one pass of events.jsonl."""
    if p.get("installed") != installed(index / RATE):
        return [f"installed is {p.get('installed')!r}, the scenario's kills and installs make {installed(index / RATE)}"]
    if not p["installed"]:
        faults = [f"{name} is {p.get(name, 'missing')!r} while the gauge is killed" for name in FROM_ELEMENTS
                  if name not in p or p[name] is not None]
        faults += [f"{name} is {p.get(name)!r}" for name, fits in FIELDS.items()
                   if name not in FROM_ELEMENTS and not fits(p.get(name))]
        return faults
    faults = [f"{name} is {p.get(name)!r}" for name, fits in FIELDS.items() if not fits(p.get(name))]
    if faults:
        return faults
    if p["pass"] != index:
        faults.append(f"pass is {p['pass']}, the line's place {index}")
    if abs(p["time"] - index / RATE) > 6e-7:
        faults.append(f"time is {p['time']}, pass ÷ rate {index / RATE:.6f}")
    if airspeed and abs(p["airspeed"] - airspeed(index / RATE)) > 6e-7:
        faults.append(f"airspeed is {p['airspeed']}, the scenario sets {airspeed(index / RATE):.6f}")
    speeds, v = p["speeds"], p["airspeed"]
    if None not in speeds and p["installed"]:
        limit = GAUGE["lamps_dark_above"]
        for lamp in range(3):
            low, high = speeds[lamp], speeds[limit["speed"] - 1] + limit["by"]
            if min(abs(v - low), abs(v - high)) < AT_BOUND:
                continue
            if p["lamps"][lamp] != (low <= v <= high):
                faults.append(f"lamp {lamp + 1} is {'lit' if p['lamps'][lamp] else 'dark'} at {v} with speeds {speeds}")
    if p["marks"].count(True) != 1:
        faults.append(f"marks {p['marks']} show not one selected speed")
    else:
        shown = speeds[p["marks"].index(True)]
        if shown is not None and p["readout"].strip() != str(shown):
            faults.append(f"the readout {p['readout']!r} is not the selected speed {shown}")
    return faults


def events_faults(out, run):
    faults = []
    passes = []
    with open(os.path.join(out, "events.jsonl"), "rb") as stream:
        for number, line in enumerate(stream, 1):
            try:
                passes.append(json.loads(line))
            except ValueError as error:
                return [f"events.jsonl:{number}: not JSON ({error})"]
    described = passes.pop(0) if passes else None
    if described != {"gauge": GAUGE}:
        faults.append(f"events.jsonl:1 is {described}, not the gauge as its reader describes it")
    if len(passes) != run["passes"]:
        faults.append(f"events.jsonl holds {len(passes)} passes, the scenario's end makes {run['passes']}")
    for index, p in enumerate(passes):
        found = pass_faults(index, p, run["airspeed"], run["installed"])
        faults += [f"events.jsonl:{index + 1}: {fault}" for fault in found[:3]]
        if len(faults) > 12:
            break
    return faults


def pictures_faults(out, run):
    faults = []
    frame_size = (PANEL[0] * FRAME_SCALE, PANEL[1] * FRAME_SCALE)
    names = sorted(os.listdir(os.path.join(out, "frames")))
    for name in names:
        with Image.open(os.path.join(out, "frames", name)) as picture:
            if picture.format != "PNG" or picture.size != frame_size:
                faults.append(f"frames/{name} is a {picture.format} of {picture.size}, wanted a PNG of {frame_size}")
    tiles = min(len(names), SHEET_MOST)
    columns = min(tiles, SHEET_COLUMNS)
    rows = (tiles + columns - 1) // columns if columns else 0
    sheet_size = (columns * (PANEL[0] * SHEET_SCALE + SHEET_MARGIN) + SHEET_MARGIN,
                  rows * (PANEL[1] * SHEET_SCALE + SHEET_LABEL + SHEET_MARGIN) + SHEET_MARGIN)
    with Image.open(os.path.join(out, "frames.png")) as sheet:
        if sheet.size != sheet_size:
            faults.append(f"frames.png is {sheet.size}, {tiles} frames of the {len(names)} written make {sheet_size}")
    with Image.open(os.path.join(out, run["name"] + ".png")) as chart:
        if chart.format != "PNG" or chart.size != CHART_SIZE:
            faults.append(f"{run['name']}.png is a {chart.format} of {chart.size}, the chart is {CHART_SIZE}")
    return faults


def video_stream_faults(out, run):
    probe = subprocess.run(["ffprobe", "-v", "error", "-of", "json", "-show_streams", "-show_format",
                            os.path.join(out, run["name"] + ".mp4")], capture_output=True, text=True)
    if probe.returncode != 0:
        return [f"ffprobe cannot read the video: {probe.stderr.strip()}"]
    found = json.loads(probe.stdout)
    streams = found.get("streams", [])
    videos = [s for s in streams if s.get("codec_type") == "video"]
    audios = [s for s in streams if s.get("codec_type") == "audio"]
    if len(videos) != 1 or len(audios) != 1:
        return [f"the video has {len(videos)} video and {len(audios)} audio streams, not one of each"]
    v, a = videos[0], audios[0]
    got = {"width": v.get("width"), "height": v.get("height"), "audio_rate": a.get("sample_rate")}
    faults = [] if got == VIDEO else [f"the video is {got}, wanted {VIDEO}"]
    if a.get("channels") != SOUND["channels"]:
        faults.append(f"the video's sound has {a.get('channels')} channels, sound.wav {SOUND['channels']}")
    run_seconds = run["passes"] / RATE
    for what, seconds in (("the video", found.get("format", {}).get("duration")), ("its picture", v.get("duration"))):
        if not abs(float(seconds or "nan") - run_seconds) <= 1 / 30:
            faults.append(f"{what} lasts {seconds} s, the run {run_seconds:.3f} s")
    # A picture for each frame written, at its pass's time, and the last
    # once more a moment before the end: each held while the panel showed it.
    shown = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v", "-of", "json", "-show_entries",
                            "frame=pts_time", os.path.join(out, run["name"] + ".mp4")], capture_output=True, text=True)
    times = [float(f["pts_time"]) for f in json.loads(shown.stdout or "{}").get("frames", [])]
    changes = sorted(int(m.group(1)) / RATE for m in
                     (re.fullmatch(r"pass-(\d+)\.png", name) for name in os.listdir(os.path.join(out, "frames"))) if m)
    if len(times) != len(changes) + 1 or any(abs(t - c) > 0.0015 for t, c in zip(times, changes)) or \
            not (times and abs(times[-1] - run_seconds) <= 0.0015):
        faults.append(f"the video's pictures are at {times}, the frames' passes at {changes} and the run ends at "
                      f"{run_seconds:.3f} s")
    return faults


# The records, each with its reader.
RECORDS = [
    ("sound.wav", wav_faults),
    ("events.jsonl", events_faults),
    ("frames, contact sheet and chart", pictures_faults),
    ("video", video_stream_faults),
]


def record_faults(out, scenario, name):
    """Every record of the run in `out` of `scenario`, read back."""
    end, airspeed, installed = scenario_profile(scenario)
    run = {"name": name, "passes": math.floor(end * RATE + 1e-9) + 1, "airspeed": airspeed, "installed": installed}
    faults = []
    for record, reader in RECORDS:
        try:
            faults += reader(out, run)
        except (OSError, ValueError, KeyError, wave.Error, struct.error) as error:
            faults.append(f"{record} cannot be read back: {error}")
    return faults
