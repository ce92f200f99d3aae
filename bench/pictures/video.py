#!/usr/bin/python3
"""Makes the video of a recorded bench run, <scenario>.mp4 beside its chart:
the panel at four times its size, kept sharp, over a strip with the time and
the airspeed, with the run's sound.wav in step. The pictures are the run's
own frames (frames/ holds only those where the panel changed), each held for
as long as it was shown, at a variable frame rate: an hour of an unchanging
panel is one picture, so the video costs what happened in the run, not how
long it lasted, and its sound is still the whole run's. The strip of each
picture says the time and airspeed of the pass that changed the panel. The
pictures are made here, one PNG each in a scratch folder, and ffmpeg's
concat demuxer holds each for its duration; ffmpeg, a process of its own,
encodes H.264 and AAC (at the sound's own rate) and muxes; nothing here
does. The log is read by events.py, line by line, never whole, and the
run's folder is only read. What is written goes to a name that says it is
unfinished until it is whole (unfinished(), which animation.py shares).

    /usr/bin/python3 bench/pictures/video.py RUN-DIR OUT.mp4 [--frame-scale N]

RUN-DIR holds events.jsonl, frames/pass-NNNNNN.png and sound.wav (without
it the video is silent). --frame-scale is the scale the frames were written
at (the bench's --scale, 4 unless it said otherwise). Exits 0 with the video
written; 2 when the run cannot be read or ffmpeg fails (the message says
which); 3 without ffmpeg (Debian package ffmpeg); 4 when the run wrote no
frames (--frames none). On any failure no video is left.
"""
import argparse
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

# The scripts beside this one, imported without leaving compiled copies in
# the sources.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import events  # noqa: E402

# The video's clock counts milliseconds: an MP4 says a picture's duration in
# 32 bits of its track's time units, which at this scale hold 49 days.
VIDEO_TIMESCALE = 1000
# The panel at four times its size, whatever scale the frames were written at.
SCALE = 4
STRIP_HEIGHT = 36
STRIP_GROUND = (32, 32, 32)
STRIP_TEXT = (230, 230, 230)
FONT_NAME = "LiberationMono-Regular.ttf"
FONT_PLACES = ["/usr/share/fonts/truetype/liberation2", "/usr/share/fonts/truetype/liberation", "/usr/share/fonts"]
# A pass rate for a run of a single pass, which gives none of its own.
DEFAULT_RATE = 18.0
NO_FFMPEG = 3
NO_FRAMES = 4


class BadRun(Exception):
    pass


def each_pass(path):
    """(pass, time, airspeed or None, installed) of each pass of the log, one
    at a time."""
    try:
        for where, event in events.each_pass(path):
            if not isinstance(event.get("pass"), int) or not isinstance(event.get("time"), (int, float)):
                raise BadRun(f"{where}: no 'pass' and 'time'")
            airspeed = event.get("airspeed")
            if not events.is_number(airspeed) or not math.isfinite(airspeed):
                airspeed = None
            yield event["pass"], float(event["time"]), airspeed, event.get("installed", True) is not False
    except events.BadEvents as error:
        raise BadRun(str(error)) from None


def read_passes(path):
    """(pass, time, airspeed or None, installed) of each line."""
    return list(each_pass(path))


def passes_at(path, numbers):
    """The first and the last pass of the log, and those of `numbers` (a
    set), in order: what a video of frames at those passes needs, read line
    by line."""
    first = last = None
    wanted = []
    for entry in each_pass(path):
        if first is None:
            first = entry
        last = entry
        if entry[0] in numbers:
            wanted.append(entry)
    return first, last, wanted


def pass_rate(passes):
    first, last = passes[0], passes[-1]
    if last[1] > first[1] and last[0] > first[0]:
        return (last[0] - first[0]) / (last[1] - first[1])
    return DEFAULT_RATE


def run_seconds(first, last, rate):
    """How long a run of passes `first` to `last` lasts: each pass until the
    next would start."""
    return (last[0] - first[0] + 1) / rate


def unfinished(out):
    """Where a picture or video for `out` is written until it is whole, beside
    it under a name that says so; os.replace then puts it in place."""
    return os.path.join(os.path.dirname(os.path.abspath(out)), "." + os.path.basename(out) + ".unfinished")


def frame_files(folder):
    """{pass: path} of the frames the run wrote."""
    try:
        names = os.listdir(folder)
    except OSError:
        return {}
    found = {}
    for name in names:
        match = re.fullmatch(r"pass-(\d+)\.png", name)
        if match:
            found[int(match.group(1))] = os.path.join(folder, name)
    return found


def find_font():
    for place in FONT_PLACES:
        direct = os.path.join(place, FONT_NAME)
        if os.path.isfile(direct):
            return direct
    for place in FONT_PLACES:
        for folder, _, names in os.walk(place):
            if FONT_NAME in names:
                return os.path.join(folder, FONT_NAME)
    return None


def load_font(size):
    from PIL import ImageFont
    path = find_font()
    if path:
        try:
            return ImageFont.truetype(path, size)
        except OSError:
            pass
    # Without Liberation Mono the strip is still written, in PIL's own face.
    return ImageFont.load_default()


def strip_text(time, airspeed, installed):
    shown = "killed" if not installed else "airspeed " + ("--" if airspeed is None else f"{airspeed:.0f}")
    return f"{time:6.2f} s   {shown}"


class Pictures:
    """A run's pictures at a time: each pass's panel (the last frame written
    at or before it) scaled `scale` times over a strip with its time and
    airspeed, made once a pass and reused while it holds. The animation on
    the front page is made from the same pictures, smaller."""

    def __init__(self, passes, frames, frame_scale, scale=SCALE, strip_height=STRIP_HEIGHT, font_size=20):
        from PIL import Image
        self.passes = passes
        self.frames = frames
        self.numbers = sorted(frames)
        self.factor = scale / frame_scale
        self.strip_height = strip_height
        first = Image.open(frames[self.numbers[0]])
        panel = self.panel_size(first.size)
        # H.264 in yuv420p needs even sides.
        self.size = (panel[0] + panel[0] % 2, panel[1] + strip_height + (panel[1] + strip_height) % 2)
        self.panel_height = panel[1]
        self.font = load_font(font_size)
        self.loaded = {}
        self.made = (None, None)

    def panel_size(self, size):
        return (max(1, round(size[0] * self.factor)), max(1, round(size[1] * self.factor)))

    def panel(self, number):
        from PIL import Image
        import bisect
        import io
        at = bisect.bisect_right(self.numbers, number) - 1
        if at < 0:
            return None
        # The bench writes a picture it showed before as the very same bytes:
        # a panel that flickers between two pictures is decoded twice, not
        # at every change.
        with open(self.frames[self.numbers[at]], "rb") as stream:
            data = stream.read()
        if data not in self.loaded:
            if len(self.loaded) >= 32:
                self.loaded.pop(next(iter(self.loaded)))
            picture = Image.open(io.BytesIO(data)).convert("RGB")
            self.loaded[data] = picture.resize(self.panel_size(picture.size), Image.NEAREST)
        return self.loaded[data]

    def index_at(self, seconds, rate):
        """The pass showing at `seconds` (into the passes): pass n shows from
        n / rate."""
        return min(len(self.passes) - 1, int(math.floor(seconds * rate + 1e-9)))

    def image(self, index):
        """The picture of pass `index` (into the passes)."""
        if self.made[0] == index:
            return self.made[1]
        from PIL import Image, ImageDraw, ImageFont
        number, time, airspeed, installed = self.passes[index]
        picture = Image.new("RGB", self.size, STRIP_GROUND)
        panel = self.panel(number)
        if panel is not None:
            picture.paste(panel, (0, 0))
        draw = ImageDraw.Draw(picture)
        text = strip_text(time, airspeed, installed)
        middle = self.panel_height + self.strip_height // 2
        if isinstance(self.font, ImageFont.FreeTypeFont):
            draw.text((8, middle), text, fill=STRIP_TEXT, font=self.font, anchor="lm")
        else:
            # PIL's own bitmap face places text by its top only.
            draw.text((8, middle - 6), text, fill=STRIP_TEXT, font=self.font)
        self.made = (index, picture)
        return picture


def make(run, out, frame_scale):
    frames = frame_files(os.path.join(run, "frames"))
    if not frames:
        return None
    first, last, shown = passes_at(os.path.join(run, "events.jsonl"), set(frames))
    rate = pass_rate([first, last])
    # Each pass lasts until the next would start; the video as long as the
    # run, each picture from its pass until the next picture's.
    duration = run_seconds(first, last, rate)
    if not shown:
        raise BadRun(f"{run}: none of its frames is a pass of its log")
    pictures = Pictures(shown, frames, frame_scale)
    starts = [0.0] + [(entry[0] - first[0]) / rate for entry in shown[1:]]
    sound = os.path.join(run, "sound.wav")
    audio = ["-i", sound] if os.path.isfile(sound) else ["-f", "lavfi", "-i", "anullsrc=r=11025:cl=mono"]
    partial = unfinished(out)
    with tempfile.TemporaryDirectory(prefix="lumivane-video-") as scratch:
        listing = ["ffconcat version 1.0"]
        # Times in whole milliseconds from the start, so that no rounding
        # accumulates over a long run. The last picture is named once more
        # a millisecond before the end, so that the pictures last as long as
        # the sound: the demuxer gives the last picture no duration of its
        # own.
        at = [round(time * VIDEO_TIMESCALE) for time in starts + [duration]]
        at[-1] = max(at[-1] - 1, at[-2] + 1)
        for index in range(len(shown)):
            name = f"picture-{index:08d}.png"
            pictures.image(index).save(os.path.join(scratch, name), compress_level=1)
            held = max(at[index + 1] - at[index], 1)
            # A picture's own clock is an image's, 25 a second, unless told:
            # its time would be rounded to 40 ms.
            listing += [f"file '{name}'", f"option framerate {VIDEO_TIMESCALE}",
                        f"duration {held / VIDEO_TIMESCALE:.3f}"]
        listing += listing[-3:-1] + [f"duration {1 / VIDEO_TIMESCALE:.3f}"]
        concat = os.path.join(scratch, "pictures.txt")
        with open(concat, "w", encoding="utf-8") as stream:
            stream.write("\n".join(listing) + "\n")
        command = [
            "ffmpeg", "-hide_banner", "-loglevel", "error", "-y",
            "-f", "concat", "-safe", "0", "-i", concat, *audio,
            "-map", "0:v:0", "-map", "1:a:0",
            # Each picture passed through at its own time, never repeated;
            # the rate is only the clock a last picture's length is told in.
            "-fps_mode", "vfr", "-r", str(VIDEO_TIMESCALE), "-video_track_timescale", str(VIDEO_TIMESCALE),
            # No B-frames: pictures hours apart gain nothing from them, and
            # their reordering would leave the track's length to the
            # decoding order rather than the pictures' own times.
            "-c:v", "libx264", "-preset", "medium", "-crf", "20", "-bf", "0", "-pix_fmt", "yuv420p",
            # The sound at its own rate, as long as the run: a short
            # recording is padded with silence, a long one cut.
            "-c:a", "aac", "-b:a", "64k", "-af", f"apad=whole_dur={duration:.6f},atrim=end={duration:.6f}",
            "-movflags", "+faststart", "-f", "mp4", partial,
        ]
        encoder = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if encoder.returncode != 0:
        try:
            os.remove(partial)
        except OSError:
            pass
        errors = encoder.stderr.decode("utf-8", "replace").strip()
        raise BadRun(f"ffmpeg failed (exit {encoder.returncode}): {errors or 'no message'}")
    os.replace(partial, out)
    return duration, len(shown), rate


def main(argv):
    parser = argparse.ArgumentParser(description="Makes the video of a recorded bench run.")
    parser.add_argument("run", help="the run's output folder")
    parser.add_argument("out", help="the MP4 to write")
    parser.add_argument("--frame-scale", type=int, default=4, help="the scale the run's frames were written at")
    arguments = parser.parse_args(argv)
    if arguments.frame_scale < 1:
        parser.error("--frame-scale must be 1 or more")
    if shutil.which("ffmpeg") is None:
        print("video.py: there is no ffmpeg (Debian package ffmpeg)", file=sys.stderr)
        return NO_FFMPEG
    try:
        import PIL  # noqa: F401 (only to know it is there)
    except ImportError:
        print(f"video.py: {sys.executable} has no PIL (Debian package python3-pil)", file=sys.stderr)
        return 2
    try:
        made = make(arguments.run, arguments.out, arguments.frame_scale)
    except BadRun as error:
        print(f"video.py: {error}", file=sys.stderr)
        return 2
    except OSError as error:
        print(f"video.py: {error}", file=sys.stderr)
        return 2
    if made is None:
        print(f"video.py: {arguments.run} has no frames to make a video of (the run wrote none)", file=sys.stderr)
        return NO_FRAMES
    seconds, count, rate = made
    print(f"{arguments.out}: {seconds:.3f} s, {count} pictures, each held while the panel showed it, from {rate:g} "
          "passes a second")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
