#!/usr/bin/python3
"""Makes the video of a recorded bench run, <scenario>.mp4 beside its chart:
the panel at four times its size, kept sharp, over a strip with the time and
the airspeed, at a standard frame rate, with the run's sound.wav in step.
The pictures are the run's own frames (frames/ holds only those where the
panel changed, so each is held until the next), made into H.264 and AAC by
ffmpeg, a process of its own fed raw frames through a pipe; nothing here
encodes or muxes. The run's folder is only read.

    /usr/bin/python3 bench/pictures/video.py RUN-DIR OUT.mp4 [--frame-scale N]

RUN-DIR holds events.jsonl, frames/pass-NNNNNN.png and sound.wav (without
it the video is silent). --frame-scale is the scale the frames were written
at (the bench's --scale, 4 unless it said otherwise). Exits 0 with the video
written; 2 when the run cannot be read or ffmpeg fails (the message says
which); 3 without ffmpeg (Debian package ffmpeg); 4 when the run wrote no
frames (--frames none). On any failure no video is left.
"""
import argparse
import json
import math
import os
import re
import shutil
import subprocess
import sys

FRAME_RATE = 30
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


def read_passes(path):
    """(pass, time, airspeed or None, installed) of each line."""
    passes = []
    try:
        with open(path, encoding="utf-8") as stream:
            for number, line in enumerate(stream, 1):
                if not line.strip():
                    continue
                try:
                    event = json.loads(line)
                except json.JSONDecodeError as error:
                    raise BadRun(f"{path}:{number}: not JSON ({error.msg})") from None
                if not isinstance(event, dict) or not isinstance(event.get("pass"), int) or \
                        not isinstance(event.get("time"), (int, float)):
                    raise BadRun(f"{path}:{number}: no 'pass' and 'time'")
                airspeed = event.get("airspeed")
                if not isinstance(airspeed, (int, float)) or isinstance(airspeed, bool) or \
                        not math.isfinite(airspeed):
                    airspeed = None
                passes.append((event["pass"], float(event["time"]), airspeed, event.get("installed", True) is not False))
    except OSError as error:
        raise BadRun(f"cannot read {path}: {error.strerror}") from None
    except UnicodeDecodeError:
        raise BadRun(f"{path} is not UTF-8 text") from None
    if not passes:
        raise BadRun(f"{path} holds no passes")
    return passes


def pass_rate(passes):
    first, last = passes[0], passes[-1]
    if last[1] > first[1] and last[0] > first[0]:
        return (last[0] - first[0]) / (last[1] - first[1])
    return DEFAULT_RATE


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
        at = bisect.bisect_right(self.numbers, number) - 1
        if at < 0:
            return None
        key = self.numbers[at]
        if key not in self.loaded:
            picture = Image.open(self.frames[key]).convert("RGB")
            self.loaded = {key: picture.resize(self.panel_size(picture.size), Image.NEAREST)}
        return self.loaded[key]

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
    passes = read_passes(os.path.join(run, "events.jsonl"))
    frames = frame_files(os.path.join(run, "frames"))
    if not frames:
        return None
    rate = pass_rate(passes)
    first_number = passes[0][0]
    # Each pass lasts until the next would start; the video as long as the
    # run, to the nearest frame.
    duration = (passes[-1][0] - first_number + 1) / rate
    count = max(1, round(duration * FRAME_RATE))
    pictures = Pictures(passes, frames, frame_scale)
    sound = os.path.join(run, "sound.wav")
    audio = ["-i", sound] if os.path.isfile(sound) else ["-f", "lavfi", "-i", "anullsrc=r=44100:cl=mono"]
    partial = os.path.join(os.path.dirname(os.path.abspath(out)), "." + os.path.basename(out) + ".unfinished")
    command = [
        "ffmpeg", "-hide_banner", "-loglevel", "error", "-y",
        "-f", "rawvideo", "-pix_fmt", "rgb24", "-s", f"{pictures.size[0]}x{pictures.size[1]}",
        "-framerate", str(FRAME_RATE), "-i", "pipe:0", *audio,
        "-map", "0:v:0", "-map", "1:a:0",
        "-c:v", "libx264", "-preset", "medium", "-crf", "20", "-pix_fmt", "yuv420p",
        # The sound as long as the pictures: a short recording is padded
        # with silence, a long one cut.
        "-c:a", "aac", "-b:a", "96k", "-ar", "44100", "-af", "apad",
        "-t", f"{count / FRAME_RATE:.6f}", "-movflags", "+faststart", "-f", "mp4", partial,
    ]
    encoder = subprocess.Popen(command, stdin=subprocess.PIPE, stderr=subprocess.PIPE)
    try:
        for frame in range(count):
            encoder.stdin.write(pictures.image(pictures.index_at(frame / FRAME_RATE, rate)).tobytes())
        encoder.stdin.close()
    except BrokenPipeError:
        pass
    errors = encoder.stderr.read().decode("utf-8", "replace").strip()
    status = encoder.wait()
    if status != 0:
        try:
            os.remove(partial)
        except OSError:
            pass
        raise BadRun(f"ffmpeg failed (exit {status}): {errors or 'no message'}")
    os.replace(partial, out)
    return count / FRAME_RATE, count, rate


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
    print(f"{arguments.out}: {seconds:.3f} s, {count} frames at {FRAME_RATE} fps from {rate:g} passes a second")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
