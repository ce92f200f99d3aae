#!/usr/bin/python3
"""Draws the take-off chart of a bench run from its events.jsonl: airspeed
against time, the three call-out speeds as they were at each pass (step
lines), the lamps as strips beneath, and a mark at each call-out heard (a
single beep and a double beep marked differently).

    /usr/bin/python3 bench/pictures/chart.py EVENTS.jsonl OUT.png [--title T]

Each line of EVENTS.jsonl is one pass: {"pass", "time" (seconds), "airspeed"
(a number, or null when the pass had none to give), "lamps": [3 bools] or
null while the gauge is killed, "plays": ["Wave1" | "Wave2", ...], "speeds":
[3 numbers or nulls] or null}. A speed is drawn only where the log gives it:
the bench logs a speed only where a host can know what the gauge holds, and
a stretch it could not know is left blank, never guessed from the lamps.
Prints each speed it draws, one line for each stretch of passes that held
one value ("Speed1 81 from 2.00 s to 2.50 s"); a missing or malformed file
is an error (exit 2)
that names the file and line. Needs Debian's python3-matplotlib; without
it, says so and exits with 3 (the bench tells that apart).
"""
import argparse
import json
import math
import sys

LAMP_COLOURS = ["#d62728", "#ff7f0e", "#9467bd"]
# What each clip sounds like: its legend, its marker, and how many marks
# stack above the curve (one for each beep heard).
SOUNDS = {"Wave1": ("single beep (Wave1)", "v", "black", 1),
          "Wave2": ("double beep (Wave2)", "D", "#8c0000", 2)}
# Above Speed3 by this much every lamp goes dark.
LAMP_LIMIT = 10
# Labels at the right edge are kept at least this far apart, in points: a
# line of 10-point text is about 12 points high.
LABEL_GAP = 13
NO_MATPLOTLIB = 3


class BadEvents(Exception):
    pass


def is_number(value):
    return isinstance(value, (int, float)) and not isinstance(value, bool)


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
        if not is_number(event["time"]) or not math.isfinite(event["time"]):
            raise BadEvents(f"{where}: 'time' must be a number")
        airspeed = event["airspeed"]
        # A pass whose airspeed was not finite logs null (and why): it is
        # left out of the curve rather than stopping the chart.
        if airspeed is not None and not is_number(airspeed):
            raise BadEvents(f"{where}: 'airspeed' must be a number or null")
        if airspeed is not None and not math.isfinite(airspeed):
            airspeed = None
        lamps = event["lamps"]
        # Killed, the gauge shows no lamps: they are dark.
        if lamps is None:
            lamps = [False, False, False]
        if not isinstance(lamps, list) or len(lamps) != 3:
            raise BadEvents(f"{where}: 'lamps' must be null or a list of three")
        speeds = event.get("speeds")
        if speeds is None:
            speeds = [None, None, None]
        if not isinstance(speeds, list) or len(speeds) != 3 or \
                any(speed is not None and not is_number(speed) for speed in speeds):
            raise BadEvents(f"{where}: 'speeds' must be null or a list of three numbers or nulls")
        plays = event.get("plays") or []
        if not isinstance(plays, list):
            raise BadEvents(f"{where}: 'plays' must be a list")
        events.append({
            "time": float(event["time"]),
            "airspeed": None if airspeed is None else float(airspeed),
            "lamps": [bool(lamp) for lamp in lamps],
            "speeds": [None if speed is None or not math.isfinite(speed) else float(speed) for speed in speeds],
            "plays": [str(play) for play in plays],
        })
    if not events:
        raise BadEvents(f"{path} holds no passes")
    return events


def run_end(events):
    """When the last pass ends: a pass lasts until the next would start."""
    end = events[-1]["time"]
    if len(events) > 1:
        end += events[-1]["time"] - events[-2]["time"]
    return end


def speed_segments(events, lamp):
    """(value, start, end) for each stretch of passes that gave this lamp's
    speed one value, in time order; passes that gave none are left out."""
    segments = []
    for index, event in enumerate(events):
        value = event["speeds"][lamp]
        if value is None:
            continue
        start = event["time"]
        end = events[index + 1]["time"] if index + 1 < len(events) else run_end(events)
        if segments and segments[-1][0] == value and segments[-1][2] == start:
            segments[-1] = (value, segments[-1][1], end)
        else:
            segments.append((value, start, end))
    return segments


def lit_spans(events, lamp):
    """(start, width) of each stretch of time the lamp is lit; a pass lasts
    until the next one starts."""
    spans = []
    start = None
    for event in events:
        if event["lamps"][lamp] and start is None:
            start = event["time"]
        if not event["lamps"][lamp] and start is not None:
            spans.append((start, event["time"] - start))
            start = None
    if start is not None:
        spans.append((start, max(run_end(events) - start, 1e-9)))
    return spans


def spread(wanted, gap, low, high):
    """Positions as near `wanted` as they can be, each at least `gap` from
    its neighbours, within [low, high] where there is room: pushed up past
    any too close below, then back down from the top if that ran over."""
    order = sorted(range(len(wanted)), key=lambda i: wanted[i])
    placed = [0.0] * len(wanted)
    last = -math.inf
    for i in order:
        placed[i] = max(wanted[i], last + gap)
        last = placed[i]
    ceiling = high
    for i in reversed(order):
        if placed[i] > ceiling:
            placed[i] = ceiling
        ceiling = placed[i] - gap
    floor = low
    for i in order:
        if placed[i] < floor:
            placed[i] = floor
        floor = placed[i] + gap
    return placed


def value_text(value):
    return f"{value:g}"


def step_line(segments, offset=0):
    """x and y for a step line through the segments, broken (NaN) where the
    speed was not known."""
    xs, ys = [], []
    for value, start, stop in segments:
        if xs and xs[-1] != start:
            xs.append(xs[-1])
            ys.append(math.nan)
        xs += [start, stop]
        ys += [value + offset, value + offset]
    return xs, ys


def draw(events, out, title):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    from matplotlib.transforms import offset_copy

    times = [event["time"] for event in events]
    airspeeds = [math.nan if event["airspeed"] is None else event["airspeed"] for event in events]
    end = run_end(events)
    figure, (top, strips) = plt.subplots(
        2, 1, sharex=True, figsize=(10, 6.4), gridspec_kw={"height_ratios": [4, 1.3]}, constrained_layout=True)

    top.plot(times, airspeeds, color="#1f77b4", linewidth=2, label="airspeed")
    # (text, y, colour, size) of each label for the right edge.
    labels = []
    speed3 = []
    for lamp in range(3):
        name = f"Speed{lamp + 1}"
        segments = speed_segments(events, lamp)
        if not segments:
            continue
        for value, start, stop in segments:
            print(f"{name} {value_text(value)} from {start:.2f} s to {stop:.2f} s")
        xs, ys = step_line(segments)
        top.plot(xs, ys, color=LAMP_COLOURS[lamp], linestyle="--", linewidth=1.2)
        first, last = segments[0][0], segments[-1][0]
        text = f"{name} {value_text(last)}" if first == last else \
            f"{name} {value_text(first)} \u2192 {value_text(last)}"
        labels.append((text, last, LAMP_COLOURS[lamp], 10))
        if lamp == 2:
            speed3 = segments
    if speed3:
        # Where the lamps go dark again on the way up, as Speed3 moved.
        xs, ys = step_line(speed3, LAMP_LIMIT)
        top.plot(xs, ys, color="grey", linestyle=":", linewidth=1)
        labels.append((f"Speed3 + {LAMP_LIMIT}: lamps dark above", speed3[-1][0] + LAMP_LIMIT, "grey", 9))

    shown = set()
    last_airspeed = 0.0
    for event in events:
        if event["airspeed"] is not None:
            last_airspeed = event["airspeed"]
        for play in event["plays"]:
            label, marker, colour, count = SOUNDS.get(play, (f"{play}", "x", "black", 1))
            # A pass without an airspeed marks its call-out at the last one
            # known, so that no call-out goes unmarked.
            for beep in range(count):
                first = beep == 0 and label not in shown
                # Just above the curve, whatever the scale: a double beep
                # stacks a second mark on the first.
                above = offset_copy(top.transData, fig=figure, y=9 + 11 * beep, units="points")
                top.plot(event["time"], last_airspeed, marker=marker, color=colour, markersize=7,
                         linestyle="none", transform=above, label=label if first else None)
            # The time it started, to the left of the marks; and a faint line
            # down through the lamps, which light in the same pass.
            top.annotate(f"{event['time']:.2f} s", xy=(event["time"], last_airspeed), xytext=(-8, 8),
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

    # The labels are spread in points on the laid-out figure, so the layout
    # is settled first and then held, or the gaps would move under them.
    figure.canvas.draw()
    figure.set_layout_engine("none")
    to_points = top.transData + figure.dpi_scale_trans.inverted()
    height = top.get_window_extent().transformed(figure.dpi_scale_trans.inverted()).y1 * 72
    bottom = top.get_window_extent().transformed(figure.dpi_scale_trans.inverted()).y0 * 72
    wanted = [to_points.transform((0, y))[1] * 72 for _, y, _, _ in labels]
    placed = spread(wanted, LABEL_GAP, bottom + 2, height - LABEL_GAP - 2)
    for (text, y, colour, size), want, place in zip(labels, wanted, placed):
        top.annotate(text, xy=(1, y), xycoords=("axes fraction", "data"), xytext=(-4, 3 + place - want),
                     textcoords="offset points", ha="right", va="bottom", color=colour, fontsize=size,
                     fontweight="bold" if size == 10 else "normal")

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
