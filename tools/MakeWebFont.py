#!/usr/bin/python3
"""Cuts the bench's typeface down to the characters the web page draws, so
that the page sends a few kilobytes of font instead of three hundred. The
glyphs' outlines and metrics are kept as they are, so the readout comes out
pixel for pixel as the bench draws it; the hinting goes, which the page's
rasteriser (stb_truetype) never reads.

The SIL Open Font License reserves the original's name for the original: a
subset is a modified version, so it must never leave here under that name.
The family is renamed; the copyright, trademark and licence records stay.
The same input always gives the same bytes (no timestamp is written).

    MakeWebFont.py SOURCE.ttf OUTPUT.ttf CHARACTERS
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "Lumivane Readout"
POSTSCRIPT = "LumivaneReadout-Regular"
# The records that say whose the font is and under what terms; every record
# that names it (family, full name, unique id, PostScript name, description)
# is rewritten or dropped.
KEPT_NAMES = {0, 2, 7, 8, 9, 11, 12, 13, 14}


def rename(font, source_version):
    table = font["name"]
    table.names = [record for record in table.names if record.nameID in KEPT_NAMES]
    for name_id, text in ((1, FAMILY), (3, POSTSCRIPT + " " + source_version), (4, FAMILY),
                          (5, source_version + "; a subset for Lumivane's web page"), (6, POSTSCRIPT),
                          (10, "A subset of Liberation Mono (" + source_version + ") renamed as its licence "
                               "asks: only the characters of Lumivane's readout.")):
        table.setName(text, name_id, 3, 1, 0x409)
        table.setName(text, name_id, 1, 0, 0)


def main(argv):
    if len(argv) != 4 or not argv[3]:
        sys.exit(__doc__.strip().splitlines()[-1].strip())
    source, output, characters = argv[1], argv[2], argv[3]
    font = TTFont(source, recalcTimestamp=False)
    version = next((r.toUnicode() for r in font["name"].names if r.nameID == 5), "Version unknown")
    missing = [c for c in characters if ord(c) not in font.getBestCmap()]
    if missing:
        sys.exit("MakeWebFont.py: %s has no glyph for %r" % (source, "".join(missing)))

    options = subset.Options()
    options.hinting = False
    options.layout_features = []
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.name_legacy = True
    options.glyph_names = False
    options.notdef_outline = True  # drawn for any other character, as the original's is
    options.drop_tables += ["FFTM", "GDEF", "GPOS", "GSUB", "gasp"]
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=[ord(c) for c in characters])
    subsetter.subset(font)
    rename(font, version)
    font.save(output)


if __name__ == "__main__":
    main(sys.argv)
