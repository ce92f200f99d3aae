#!/usr/bin/python3
"""Draws the take-off chart of a bench run from its events.jsonl: airspeed
against time, the three call-out speeds as horizontal lines, the lamps as
strips beneath, and a mark at each call-out heard (single or double beep).

    /usr/bin/python3 bench/pictures/chart.py EVENTS.jsonl OUT.png [--title T]

Each line of EVENTS.jsonl is one pass: {"pass", "time" (seconds), "airspeed",
"lamps": [3 bools], "marks": [3 bools], "readout", "plays": ["Wave1" |
"Wave2", ...], "speeds": [3 numbers] or null}. Where the passes give no
speeds (null, or a null in the list), each speed is inferred from its lamp's
lighting edges: a lamp lights at its speed while the airspeed rises and goes
dark below it while the airspeed falls; edges the other way are the common
upper limit (Speed3 + 10), not the lamp's speed. Inferred speeds are labelled
so. Prints each speed it draws; a missing or malformed file is an error
(exit 2) that names the file and line. Needs Debian's python3-matplotlib;
without it, says so and exits with 3 (the bench tells that apart).
"""
import argparse
import json
import math
import sys

LAMP_COLOURS = ["#d62728", "#ff7f0e", "#9467bd"]
SOUNDS = {"Wave1": ("single beep (Wave1)", "v", 1), "Wave2": ("double beep (Wave2)", "v", 2)}
# Above Speed3 by this much every lamp goes dark.
LAMP_LIMIT = 10
NO_MATPLOTLIB = 3


class BadEvents(Exception):
    pass


def read_events(path):
    try:
        with open(path, encoding="utf-8") as stream:
            lines = stream.readlines()
    except OSError as error:
        raise BadEvents(f"cannot read {path}: {error.strerror}") from None
    except UnicodeDecodeError:
        raise BadEvents(f"{path} is not UTF-8 text") from None
    events = []
    for number, line in enumerate(lines, 1):
        if not line.strip():
            continue
        where = f"{path}:{number}"
        try:
            event = json.loads(line)
        except json.JSONDecodeError as error:
            raise BadEvents(f"{where}: not JSON ({error.msg})") from None
        if not isinstance(event, dict):
            raise BadEvents(f"{where}: not a JSON object")
        for key in ("time", "airspeed", "lamps"):
            if key not in event:
                raise BadEvents(f"{where}: no '{key}'")
        if not isinstance(event["time"], (int, float)) or not isinstance(event["airspeed"], (int, float)):
            raise BadEvents(f"{where}: 'time' and 'airspeed' must be numbers")
        lamps = event["lamps"]
        if not isinstance(lamps, list) or len(lamps) != 3:
            raise BadEvents(f"{where}: 'lamps' must be a list of three")
        speeds = event.get("speeds")
        if speeds is not None and (not isinstance(speeds, list) or len(speeds) != 3):
            raise BadEvents(f"{where}: 'speeds' must be null or a list of three")
        plays = event.get("plays") or []
        if not isinstance(plays, list):
            raise BadEvents(f"{where}: 'plays' must be a list")
        events.append({
            "time": float(event["time"]),
            "airspeed": float(event["airspeed"]),
            "lamps": [bool(lamp) for lamp in lamps],
            "speeds": speeds,
            "plays": [str(play) for play in plays],
        })
    if not events:
        raise BadEvents(f"{path} holds no passes")
    return events


def given_speed(events, lamp):
    """The last speed the passes give for this lamp, or None."""
    for event in reversed(events):
        speeds = event["speeds"]
        if speeds is not None and isinstance(speeds[lamp], (int, float)):
            return float(speeds[lamp])
    return None


def inferred_speed(events, lamp):
    """The lamp's speed from its lighting edges, or None when it never
    changed in a way that shows it. Speeds are whole numbers, so when the
    edges leave one whole number possible, that is the speed."""
    low, high = -math.inf, math.inf
    for before, after in zip(events, events[1:]):
        was, now = before["lamps"][lamp], after["lamps"][lamp]
        v0, v1 = before["airspeed"], after["airspeed"]
        if not was and now and v1 > v0:  # lit while rising: v0 < speed <= v1
            low, high = max(low, v0), min(high, v1)
        elif was and not now and v1 < v0:  # dark while falling: v1 < speed <= v0
            low, high = max(low, v1), min(high, v0)
    if math.isinf(low) or math.isinf(high) or low >= high:
        return None
    whole = [n for n in range(math.floor(low) + 1, math.floor(high) + 1)]
    return float(whole[0]) if len(whole) == 1 else (low + high) / 2


def lit_spans(events, lamp):
    """(start, width) of each stretch of time the lamp is lit; a pass lasts
    until the next one starts."""
    spans = []
    start = None
    for index, event in enumerate(events):
        if event["lamps"][lamp] and start is None:
            start = event["time"]
        if not event["lamps"][lamp] and start is not None:
            spans.append((start, event["time"] - start))
            start = None
    if start is not None:
        end = events[-1]["time"]
        if len(events) > 1:
            end += events[-1]["time"] - events[-2]["time"]
        spans.append((start, max(end - start, 1e-9)))
    return spans


def draw(events, out, title):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    from matplotlib.transforms import offset_copy

    times = [event["time"] for event in events]
    speeds = [event["airspeed"] for event in events]
    figure, (top, strips) = plt.subplots(
        2, 1, sharex=True, figsize=(10, 6.4), gridspec_kw={"height_ratios": [4, 1.3]}, constrained_layout=True)

    top.plot(times, speeds, color="#1f77b4", linewidth=2, label="airspeed")
    drawn = []
    for lamp in range(3):
        speed, how = given_speed(events, lamp), ""
        if speed is None:
            speed, how = inferred_speed(events, lamp), " (inferred)"
        if speed is None:
            drawn.append(None)
            continue
        drawn.append(speed)
        top.axhline(speed, color=LAMP_COLOURS[lamp], linestyle="--", linewidth=1.2)
        value = f"{speed:g}" if speed == int(speed) else f"~{speed:.1f}"
        print(f"Speed{lamp + 1} {value}{how}")
        top.annotate(f"Speed{lamp + 1} {value}{how}", xy=(1, speed), xycoords=("axes fraction", "data"),
                     xytext=(-4, 3), textcoords="offset points", ha="right", va="bottom",
                     color=LAMP_COLOURS[lamp], fontsize=10, fontweight="bold")
    if drawn[2] is not None:
        # Where the lamps go dark again on the way up.
        limit = drawn[2] + LAMP_LIMIT
        top.axhline(limit, color="grey", linestyle=":", linewidth=1)
        top.annotate(f"Speed3 + {LAMP_LIMIT}: lamps dark above", xy=(1, limit), xycoords=("axes fraction", "data"),
                     xytext=(-4, 3), textcoords="offset points", ha="right", va="bottom", color="grey", fontsize=9)

    shown = set()
    for event in events:
        for play in event["plays"]:
            label, marker, count = SOUNDS.get(play, (f"{play}", "x", 1))
            for beep in range(count):
                first = beep == 0 and label not in shown
                # Just above the curve, whatever the scale: a double beep
                # stacks a second mark on the first.
                above = offset_copy(top.transData, fig=figure, y=9 + 10 * beep, units="points")
                top.plot(event["time"], event["airspeed"], marker=marker, color="black", markersize=8,
                         linestyle="none", transform=above, label=label if first else None)
            # The time it started, to the left of the marks; and a faint line
            # down through the lamps, which light in the same pass.
            top.annotate(f"{event['time']:.2f} s", xy=(event["time"], event["airspeed"]), xytext=(-8, 8),
                         textcoords="offset points", ha="right", va="bottom", fontsize=9)
            for axes in (top, strips):
                axes.axvline(event["time"], color="black", alpha=0.15, linewidth=1)
            shown.add(label)
    top.set_ylabel("airspeed")
    top.grid(True, alpha=0.3)
    top.legend(loc="upper left", fontsize=9)
    if title:
        top.set_title(title, fontsize=12)

    for lamp in range(3):
        strips.broken_barh(lit_spans(events, lamp), (2 - lamp - 0.4, 0.8), facecolors=LAMP_COLOURS[lamp])
    strips.set_yticks([2, 1, 0])
    strips.set_yticklabels(["lamp 1 (Speed1)", "lamp 2 (Speed2)", "lamp 3 (Speed3)"])
    strips.set_ylim(-0.6, 2.6)
    strips.set_title("lamps lit", fontsize=9, loc="left")
    strips.set_xlabel("time (s)")
    strips.grid(True, axis="x", alpha=0.3)

    figure.savefig(out, dpi=100)
    plt.close(figure)


def main(argv):
    parser = argparse.ArgumentParser(description="Draws the take-off chart of a bench run.")
    parser.add_argument("events", help="the run's events.jsonl")
    parser.add_argument("out", help="the PNG to write")
    parser.add_argument("--title", default="", help="a title above the chart")
    arguments = parser.parse_args(argv)
    try:
        import matplotlib  # noqa: F401 (only to know it is there)
    except ImportError:
        print(f"chart.py: {sys.executable} has no matplotlib (Debian package python3-matplotlib)", file=sys.stderr)
        return NO_MATPLOTLIB
    try:
        events = read_events(arguments.events)
    except BadEvents as error:
        print(f"chart.py: {error}", file=sys.stderr)
        return 2
    try:
        draw(events, arguments.out, arguments.title)
    except OSError as error:
        print(f"chart.py: cannot write {arguments.out}: {error.strerror}", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
