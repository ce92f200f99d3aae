#!/usr/bin/python3
"""Makes a small animated GIF of a recorded bench run, for the front page:
the panel, three times its size, over a strip with the time and airspeed, a
few pictures a second, from the run's own frames. The same run gives the same
bytes: one palette for every picture, taken from the colours the pictures
hold in a fixed order, no dithering, and the writer's settings fixed.

    /usr/bin/python3 bench/pictures/animation.py RUN-DIR OUT.gif [--frame-scale N]

RUN-DIR holds events.jsonl and frames/pass-NNNNNN.png; --frame-scale is the
scale the frames were written at (4 unless the bench was told otherwise).
Exits 0 with the GIF written, 2 when the run cannot be read or has no frames.
"""
import argparse
import os
import sys

# The scripts beside this one, imported without leaving compiled copies in
# the sources.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import video  # noqa: E402 (the run's pictures are the video's, smaller)

PICTURES_A_SECOND = 5
SCALE = 3
STRIP_HEIGHT = 26
FONT_SIZE = 15
# The last picture stays this long before the loop starts again, so that
# the end of the run can be read.
LAST_HOLD_MS = 2000


def palette_of(pictures):
    """Every colour the pictures hold, most used first (ties by value), as a
    palette image; beyond 256 colours the rarest are left to the nearest."""
    from PIL import Image
    counts = {}
    for picture in pictures:
        for count, colour in picture.getcolors(maxcolors=picture.width * picture.height):
            counts[colour] = counts.get(colour, 0) + count
    colours = sorted(counts, key=lambda colour: (-counts[colour], colour))[:256]
    flat = [channel for colour in colours for channel in colour]
    flat += [0] * (768 - len(flat))
    palette = Image.new("P", (1, 1))
    palette.putpalette(flat)
    return palette


def make(run, out, frame_scale):
    passes = video.read_passes(os.path.join(run, "events.jsonl"))
    frames = video.frame_files(os.path.join(run, "frames"))
    if not frames:
        raise video.BadRun(f"{run} has no frames to animate (the run wrote none)")
    rate = video.pass_rate(passes)
    duration = video.run_seconds(passes[0], passes[-1], rate)
    count = max(1, round(duration * PICTURES_A_SECOND))
    source = video.Pictures(passes, frames, frame_scale, SCALE, STRIP_HEIGHT, FONT_SIZE)
    pictures = [source.image(source.index_at(n / PICTURES_A_SECOND, rate)).copy() for n in range(count)]
    palette = palette_of(pictures)
    from PIL import Image
    indexed = [picture.quantize(palette=palette, dither=Image.Dither.NONE) for picture in pictures]
    durations = [1000 // PICTURES_A_SECOND] * count
    durations[-1] = LAST_HOLD_MS
    partial = video.unfinished(out)
    indexed[0].save(partial, format="GIF", save_all=True, append_images=indexed[1:], duration=durations, loop=0,
                    optimize=False, disposal=1)
    os.replace(partial, out)
    return count


def main(argv):
    parser = argparse.ArgumentParser(description="Makes an animated GIF of a recorded bench run.")
    parser.add_argument("run", help="the run's output folder")
    parser.add_argument("out", help="the GIF to write")
    parser.add_argument("--frame-scale", type=int, default=4, help="the scale the run's frames were written at")
    arguments = parser.parse_args(argv)
    if arguments.frame_scale < 1:
        parser.error("--frame-scale must be 1 or more")
    try:
        count = make(arguments.run, arguments.out, arguments.frame_scale)
    except video.BadRun as error:
        print(f"animation.py: {error}", file=sys.stderr)
        return 2
    except OSError as error:
        print(f"animation.py: {error}", file=sys.stderr)
        return 2
    print(f"{arguments.out}: {count} pictures, {os.path.getsize(arguments.out)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
