#!/usr/bin/python3
"""Draws the web page's app icons from the module's own bitmaps: the
background with every lamp and selector square lit, as the panel shows them,
at a whole number of icon pixels per panel pixel so that they stay crisp.

Where each bitmap goes is read from the panel's element table
(panel/Panel.cpp) and which file each bitmap is from the resource script
(resources/Lumivane.rc), never written here a second time. The same sources
always give the same bytes (PIL writes no time into a PNG).

    MakeWebIcons.py SOURCE-ROOT OUTPUT-DIR SIZE...    (writes icon-SIZE.png)
"""
import os
import re
import sys

from PIL import Image

BACKGROUND_ID = 4096
PURE_BLACK = (0, 0, 0)  # not drawn: every element of the panel carries the transparency flag


def fail(text):
    sys.exit("MakeWebIcons.py: " + text)


def bitmap_files(root):
    script = os.path.join(root, "resources", "Lumivane.rc")
    with open(script, encoding="ascii") as f:
        files = {int(m.group(1)): m.group(2)
                 for m in re.finditer(r'^(\d+)\s+BITMAP\s+"([^"]+)"', f.read(), re.MULTILINE)}
    if BACKGROUND_ID not in files:
        fail("%s names no background bitmap %d" % (script, BACKGROUND_ID))
    return {key: os.path.join(root, "resources", name) for key, name in files.items()}


def icon_places(root):
    table = os.path.join(root, "panel", "Panel.cpp")
    with open(table, encoding="ascii") as f:
        places = [tuple(int(v) for v in m.groups())
                  for m in re.finditer(r"=\s*Icon\((\d+),\s*(-?\d+),\s*(-?\d+),", f.read())]
    if not places:
        fail("no Icon(bitmap, x, y, ...) elements found in " + table)
    return places


def panel(root):
    files = bitmap_files(root)
    picture = Image.open(files[BACKGROUND_ID]).convert("RGB")
    for bitmap, x, y in icon_places(root):
        if bitmap not in files:
            fail("the panel places bitmap %d, which resources/Lumivane.rc does not name" % bitmap)
        image = Image.open(files[bitmap]).convert("RGB")
        mask = Image.new("L", image.size)
        mask.putdata([0 if pixel == PURE_BLACK else 255 for pixel in image.getdata()])
        picture.paste(image, (x, y), mask)
    return picture


def icon(picture, size):
    # The panel's own black border is left out, so the lit parts fill the icon.
    box = Image.eval(picture.convert("L"), lambda v: 255 if v else 0).getbbox()
    if not box:
        fail("the panel has no pixel that is not black")
    content = picture.crop(box)
    scale = size // max(content.width, content.height)
    if scale < 1:
        fail("an icon of %d pixels cannot hold the panel's %dx%d" % (size, content.width, content.height))
    content = content.resize((content.width * scale, content.height * scale), Image.NEAREST)
    square = Image.new("RGB", (size, size), PURE_BLACK)
    square.paste(content, ((size - content.width) // 2, (size - content.height) // 2))
    return square


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__.strip().splitlines()[-1].strip())
    root, out = argv[1], argv[2]
    picture = panel(root)
    os.makedirs(out, exist_ok=True)
    for size in argv[3:]:
        icon(picture, int(size)).save(os.path.join(out, "icon-%s.png" % size), optimize=True)


if __name__ == "__main__":
    main(sys.argv)
