#!/usr/bin/python3
"""Make Velmora's cursive font, Indis1, from the OFL font Playwrite IT Trad.

The program looks for its cursive as the file indis1.ttf with the family
name Indis1. This tool unpacks the source WOFF into a TrueType file and
renames it Indis1 in every name record, as the OFL asks of a modified font;
the outlines, the joining rules and the copyright notice stay as they are.
It checks that every Italian accented letter is there and that the x-height
is close to that of the print font, then writes the licence file that must
travel with the font.

Needs fontTools (Debian: python3-fonttools). Called as:

  make_cursive_font.py --source playwrite-it-trad-latin-400-normal.woff \\
      --reference LiberationSans-Regular.ttf --licence-text playwrite-it-trad-OFL.txt \\
      --output indis1.ttf --licence-output indis1-OFL.txt [--verbose]
"""

import argparse
import sys

from fontTools.ttLib import TTFont

FAMILY = "Indis1"
STYLE = "Regular"
ITALIAN_LETTERS = "àèéìíòóùúÀÈÉÌÍÒÓÙÚ"
# Cursive and print words of one point size must look alike in size.
MAX_X_HEIGHT_DIFFERENCE = 0.20

LICENCE_HEADER = """\
indis1.ttf, family "Indis1", is the font Playwrite IT Trad (weight 400,
Latin letters), renamed for Velmora. Nothing else of it is changed.

"""


def x_height(font):
    """The height of the letter x, as a fraction of the em."""
    glyph = font["glyf"][font.getBestCmap()[ord("x")]]
    glyph.recalcBounds(font["glyf"])
    return glyph.yMax / font["head"].unitsPerEm


def rename(font):
    names = font["name"]
    postscript = f"{FAMILY}-{STYLE}"
    new = {1: FAMILY, 2: STYLE, 3: f"{postscript};Velmora", 4: f"{FAMILY} {STYLE}", 6: postscript}
    # The OFL keeps a modified font from the original's names; typographic
    # names would still carry them, and the basic ones say all.
    for record in list(names.names):
        if record.nameID in (16, 17, 21, 22, 25):
            names.removeNames(nameID=record.nameID)
    for name_id, value in new.items():
        names.setName(value, name_id, 3, 1, 0x409)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--source", required=True)
    parser.add_argument("--reference", required=True, help="print font to compare the x-height with")
    parser.add_argument("--licence-text", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--licence-output", required=True)
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args(argv)

    font = TTFont(args.source)
    font.flavor = None
    missing = [c for c in ITALIAN_LETTERS if ord(c) not in font.getBestCmap()]
    if missing:
        sys.exit(f"{args.source} lacks the letters {''.join(missing)}")
    ours, theirs = x_height(font), x_height(TTFont(args.reference))
    if abs(ours / theirs - 1) > MAX_X_HEIGHT_DIFFERENCE:
        sys.exit(f"x-height {ours:.3f} em against {theirs:.3f} em of the print font: too far apart")
    rename(font)
    font.save(args.output)

    with open(args.licence_text, encoding="utf-8") as licence:
        text = licence.read()
    with open(args.licence_output, "w", encoding="utf-8", newline="\n") as out:
        out.write(LICENCE_HEADER + text)
    if args.verbose:
        print(f"x-height {ours:.3f} em, print font {theirs:.3f} em ({ours / theirs:.2f} x)")


if __name__ == "__main__":
    main(sys.argv[1:])
