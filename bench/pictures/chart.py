#!/usr/bin/python3
"""Draws the take-off chart of a bench run from its events.jsonl: airspeed
against time, the gauge's call-out speeds as they were at each pass (step
lines), the lamps as strips beneath, and a mark at each call-out heard
(each clip marked its own way, a mark for each beep it sounds).

    /usr/bin/python3 bench/pictures/chart.py EVENTS.jsonl OUT.png [--title T]

The log is read by events.py. Its first line describes the gauge (the
speeds' names, where every lamp goes dark, what each clip sounds like), and
the chart takes every such fact from there; without it the speeds are
numbered and nothing is said of the clips. Every other line is one pass:
{"pass", "time" (seconds), "airspeed" (a number, or null when the pass had
none to give), "lamps": [a bool for each speed] or null while the gauge is
killed, "plays": [clip names], "speeds": [a number or null for each speed]
or null}. A speed is drawn only where the log gives it: the bench logs a
speed only where a host can know what the gauge holds, and a stretch it
could not know is left blank, never guessed from the lamps. Prints the
least and the most airspeed it draws ("airspeed 0 to 150"), then each speed
it draws, one line for each stretch of passes that held one value ("Speed1
81 from 2.00 s to 2.50 s"); a missing or malformed file is an error (exit 2)
that names the file and line. Needs Debian's python3-matplotlib; without
it, says so and exits with 3 (the bench tells that apart).

The log is read line by line, never whole. A long run (more passes than the
chart has pixel columns, twice over) is drawn as the least and the most
airspeed of each pixel column, so that a day's run draws in seconds and its
noise still shows; every lamp change and every call-out is kept as it is,
a lit stretch at least a column wide. A log of the changes only (the
bench's --log changes) is drawn through the passes it holds.
"""
import argparse
import math
import os
import sys

# The scripts beside this one, imported without leaving compiled copies in
# the sources.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from events import BadEvents, each_pass, first_passes, gauge_of, is_number, last_pass  # noqa: E402

# Each speed's colour, and its lamp's, in the gauge's order.
LAMP_COLOURS = ["#d62728", "#ff7f0e", "#9467bd", "#2ca02c", "#8c564b", "#e377c2"]
# A gauge's description names at most so many speeds and clips: far more
# than a panel has, few enough for a legend.
MOST_SPEEDS, MOST_CLIPS = 16, 16
# The clips' marks in the order the gauge describes them, and their colours.
CLIP_MARKERS = [("v", "black"), ("D", "#8c0000"), ("s", "#1f4e79"), ("^", "#4d4d4d")]
# Labels at the right edge are kept at least this far apart, in points: a
# line of 10-point text is about 12 points high.
LABEL_GAP = 13
NO_MATPLOTLIB = 3
# The chart's width in pixel columns (10 inches at 100 dots an inch); a run
# of more than twice as many passes is drawn by columns.
COLUMNS = 1000
# Call-outs beyond this many are marked without their times or lines down,
# which would hide each other and the curve.
MOST_TIMED_CALLOUTS = 40


class Gauge:
    """What the chart draws by, from the log's first line: the speeds' names
    (lamp k goes with speed k), the line above which every lamp is dark, and
    each clip's legend, mark and beeps."""

    def __init__(self, described, where):
        described = described or {}
        names = described.get("speeds")
        if names is not None and (not isinstance(names, list) or not all(isinstance(n, str) for n in names) or
                                  len(names) > MOST_SPEEDS):
            raise BadEvents(f"{where}: the gauge's 'speeds' must be a list of at most {MOST_SPEEDS} names")
        self.names = names
        limit = described.get("lamps_dark_above")
        self.limit = None
        if limit is not None:
            if not isinstance(limit, dict) or not isinstance(limit.get("speed"), int) or \
                    not is_number(limit.get("by")) or not 1 <= limit["speed"] <= len(names or []):
                raise BadEvents(f"{where}: the gauge's 'lamps_dark_above' must name one of its speeds and 'by'")
            self.limit = (limit["speed"] - 1, float(limit["by"]))
        clips = described.get("clips") or {}
        if not isinstance(clips, dict) or len(clips) > MOST_CLIPS:
            raise BadEvents(f"{where}: the gauge's 'clips' must be an object of at most {MOST_CLIPS} clips")
        self.sounds = {}
        for index, (name, clip) in enumerate(clips.items()):
            clip = clip if isinstance(clip, dict) else {}
            marker, colour = CLIP_MARKERS[index % len(CLIP_MARKERS)]
            beeps = clip.get("beeps")
            beeps = beeps if isinstance(beeps, int) and 1 <= beeps <= 4 else 1
            sound = clip.get("sound")
            label = f"{sound} ({name})" if isinstance(sound, str) else name
            self.sounds[name] = (label, marker, colour, beeps)

    def count(self, first):
        """How many speeds and lamps each pass gives: the description's, or
        without one the first pass's."""
        if self.names is not None:
            return len(self.names)
        for key in ("lamps", "speeds"):
            if isinstance(first.get(key), list):
                return len(first[key])
        return 0

    def name(self, index):
        return self.names[index] if self.names else f"speed {index + 1}"


def parse_event(event, where, count):
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
        lamps = [False] * count
    if not isinstance(lamps, list) or len(lamps) != count:
        raise BadEvents(f"{where}: 'lamps' must be null or a list of {count}")
    speeds = event.get("speeds")
    if speeds is None:
        speeds = [None] * count
    if not isinstance(speeds, list) or len(speeds) != count or \
            any(speed is not None and not is_number(speed) for speed in speeds):
        raise BadEvents(f"{where}: 'speeds' must be null or a list of {count} numbers or nulls")
    plays = event.get("plays") or []
    if not isinstance(plays, list):
        raise BadEvents(f"{where}: 'plays' must be a list")
    number = event.get("pass")
    return {
        "pass": number if isinstance(number, int) and not isinstance(number, bool) else None,
        "time": float(event["time"]),
        "airspeed": None if airspeed is None else float(airspeed),
        "lamps": [bool(lamp) for lamp in lamps],
        "speeds": [None if speed is None or not math.isfinite(speed) else float(speed) for speed in speeds],
        "plays": [str(play) for play in plays],
    }


class Run:
    """What the chart draws of a run, gathered pass by pass: the curve (each
    pass, or each column's least and most), each speed's stretches, each
    lamp's lit stretches and each call-out."""

    def __init__(self, span, gauge, count):
        # span: (first time, last time) when known and long enough to be
        # drawn by columns; None to keep every pass.
        self.span = span
        self.gauge = gauge
        self.count = count
        self.times, self.airspeeds = [], []
        self.low, self.high = {}, {}
        self.segments = [[] for _ in range(count)]
        self.open_speeds = [None] * count
        self.spans = [[] for _ in range(count)]
        self.lit_from = [None] * count
        self.plays = []
        self.last_airspeed = 0.0
        self.first = self.last = self.before_last = None
        self.passes = 0

    def column(self, time):
        first, last = self.span
        return min(COLUMNS - 1, max(0, int((time - first) / (last - first) * COLUMNS)))

    def add(self, event):
        time = event["time"]
        self.passes += 1
        if self.first is None:
            self.first = event
        self.before_last, self.last = self.last, event
        airspeed = event["airspeed"]
        if self.span is None:
            self.times.append(time)
            self.airspeeds.append(math.nan if airspeed is None else airspeed)
        elif airspeed is not None:
            column = self.column(time)
            self.low[column] = min(self.low.get(column, airspeed), airspeed)
            self.high[column] = max(self.high.get(column, airspeed), airspeed)
        for lamp in range(self.count):
            # A stretch of passes that gave one value lasts until the next
            # pass starts, and runs on while the next gives the same.
            if self.open_speeds[lamp] is not None:
                self.close_speed(lamp, time)
            if event["speeds"][lamp] is not None:
                self.open_speeds[lamp] = (event["speeds"][lamp], time)
            lit = event["lamps"][lamp]
            if lit and self.lit_from[lamp] is None:
                self.lit_from[lamp] = time
            if not lit and self.lit_from[lamp] is not None:
                self.spans[lamp].append((self.lit_from[lamp], time - self.lit_from[lamp]))
                self.lit_from[lamp] = None
        if airspeed is not None:
            self.last_airspeed = airspeed
        # A pass without an airspeed marks its call-out at the last one
        # known, so that no call-out goes unmarked.
        for play in event["plays"]:
            self.plays.append((time, self.last_airspeed, play))

    def close_speed(self, lamp, end):
        value, start = self.open_speeds[lamp]
        self.open_speeds[lamp] = None
        segments = self.segments[lamp]
        if segments and segments[-1][0] == value and segments[-1][2] == start:
            segments[-1] = (value, segments[-1][1], end)
        else:
            segments.append((value, start, end))

    def end(self):
        """When the last pass ends: a pass lasts until the next would start,
        as long as every pass of the log lasts."""
        end = self.last["time"]
        first, last = self.first, self.last
        if first["pass"] is not None and last["pass"] is not None and last["pass"] > first["pass"]:
            end += (last["time"] - first["time"]) / (last["pass"] - first["pass"])
        elif self.before_last is not None:
            end += last["time"] - self.before_last["time"]
        return end

    def finish(self):
        end = self.end()
        for lamp in range(self.count):
            if self.open_speeds[lamp] is not None:
                self.close_speed(lamp, end)
            if self.lit_from[lamp] is not None:
                self.spans[lamp].append((self.lit_from[lamp], max(end - self.lit_from[lamp], 1e-9)))
        if self.span is not None:
            # Every lit stretch shows, however short: at least a column wide.
            width = (self.span[1] - self.span[0]) / COLUMNS
            self.spans = [[(start, max(length, width)) for start, length in spans] for spans in self.spans]
        return self


def gather(path):
    """The run of the log at `path`, by columns when it is long."""
    gauge = Gauge(gauge_of(path), f"{path}:1")
    head = first_passes(path, 2 * COLUMNS + 1)
    count = gauge.count(head[0][1])
    span = None
    final = last_pass(path)
    if len(head) > 2 * COLUMNS and final is not None:
        first = parse_event(head[0][1], head[0][0], count)["time"]
        last = parse_event(final[1], final[0], count)["time"]
        if last > first:
            span = (first, last)
    run = Run(span, gauge, count)
    for where, event in each_pass(path):
        run.add(parse_event(event, where, count))
    return run.finish()


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


def draw(run, out, title):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    from matplotlib.transforms import offset_copy

    figure, (top, strips) = plt.subplots(
        2, 1, sharex=True, figsize=(10, 6.4), gridspec_kw={"height_ratios": [4, 1.3]}, constrained_layout=True)

    drawn = [a for a in (run.airspeeds if run.span is None else list(run.low.values()) + list(run.high.values()))
             if not math.isnan(a)]
    if drawn:
        print(f"airspeed {value_text(min(drawn))} to {value_text(max(drawn))}")
    if run.span is None:
        top.plot(run.times, run.airspeeds, color="#1f77b4", linewidth=2, label="airspeed")
    else:
        # Each column from its least to its most airspeed, with a gap where
        # no pass of it had one.
        first, last = run.span
        width = (last - first) / COLUMNS
        xs = [first + (column + 0.5) * width for column in range(COLUMNS)]
        lows = [run.low.get(column, math.nan) for column in range(COLUMNS)]
        highs = [run.high.get(column, math.nan) for column in range(COLUMNS)]
        top.fill_between(xs, lows, highs, color="#1f77b4", linewidth=0, step="mid")
        top.plot(xs, lows, color="#1f77b4", linewidth=1, drawstyle="steps-mid")
        top.plot(xs, highs, color="#1f77b4", linewidth=1, drawstyle="steps-mid",
                 label="airspeed (least and most of each pixel column)")
    # (text, y, colour, size) of each label for the right edge.
    labels = []
    gauge = run.gauge
    for lamp in range(run.count):
        name = gauge.name(lamp)
        segments = run.segments[lamp]
        if not segments:
            continue
        for value, start, stop in segments:
            print(f"{name} {value_text(value)} from {start:.2f} s to {stop:.2f} s")
        xs, ys = step_line(segments)
        colour = LAMP_COLOURS[lamp % len(LAMP_COLOURS)]
        top.plot(xs, ys, color=colour, linestyle="--", linewidth=1.2)
        first, last = segments[0][0], segments[-1][0]
        text = f"{name} {value_text(last)}" if first == last else \
            f"{name} {value_text(first)} \u2192 {value_text(last)}"
        labels.append((text, last, colour, 10))
    if gauge.limit is not None and run.segments[gauge.limit[0]]:
        # Where the lamps go dark again on the way up, as that speed moved.
        speed, by = gauge.limit
        segments = run.segments[speed]
        xs, ys = step_line(segments, by)
        top.plot(xs, ys, color="grey", linestyle=":", linewidth=1)
        labels.append((f"{gauge.name(speed)} + {value_text(by)}: lamps dark above", segments[-1][0] + by, "grey", 9))

    timed = len(run.plays) <= MOST_TIMED_CALLOUTS
    for play in dict.fromkeys(play for _, _, play in run.plays):
        label, marker, colour, count = gauge.sounds.get(play, (f"{play}", "x", "black", 1))
        times = [time for time, _, clip in run.plays if clip == play]
        heights = [airspeed for _, airspeed, clip in run.plays if clip == play]
        for beep in range(count):
            # Just above the curve, whatever the scale: a double beep
            # stacks a second mark on the first.
            above = offset_copy(top.transData, fig=figure, y=9 + 11 * beep, units="points")
            top.plot(times, heights, marker=marker, color=colour, markersize=7, linestyle="none",
                     transform=above, label=label if beep == 0 else None)
    if timed:
        for time, airspeed, _ in run.plays:
            # The time it started, to the left of the marks; and a faint line
            # down through the lamps, which light in the same pass.
            top.annotate(f"{time:.2f} s", xy=(time, airspeed), xytext=(-8, 8),
                         textcoords="offset points", ha="right", va="bottom", fontsize=9)
            for axes in (top, strips):
                axes.axvline(time, color="black", alpha=0.15, linewidth=1)
    top.set_ylabel("airspeed")
    top.grid(True, alpha=0.3)
    top.legend(loc="upper left", fontsize=9)
    if title:
        top.set_title(title, fontsize=12)

    top_row = run.count - 1
    for lamp in range(run.count):
        strips.broken_barh(run.spans[lamp], (top_row - lamp - 0.4, 0.8),
                           facecolors=LAMP_COLOURS[lamp % len(LAMP_COLOURS)])
    strips.set_yticks([top_row - lamp for lamp in range(run.count)])
    strips.set_yticklabels([f"lamp {lamp + 1} ({gauge.name(lamp)})" for lamp in range(run.count)])
    strips.set_ylim(-0.6, top_row + 0.6)
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
        run = gather(arguments.events)
    except BadEvents as error:
        print(f"chart.py: {error}", file=sys.stderr)
        return 2
    try:
        draw(run, arguments.out, arguments.title)
    except OSError as error:
        print(f"chart.py: cannot write {arguments.out}: {error.strerror}", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
