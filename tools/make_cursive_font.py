#!/usr/bin/python3
"""Make Velmora's cursive font, Indis1, from the OFL font Ecolier_court.

The result differs from the source in four ways:
  * it is renamed Indis1 in every name record, as the OFL asks of modified fonts;
  * the Italian accented vowels the source lacks (ì í ò ó ú á and capitals)
    are drawn from its own letters and accents;
  * a few faulty glyphs are mended (a stray line under W, a wrong en dash and
    ellipsis, empty glyphs that would hide characters);
  * its outlines and metrics are scaled so that its x-height matches that of
    a reference print font (Liberation Sans), so cursive and print words look
    the same size at the same point size.
It also writes the licence file that must travel with the font.

Needs fontTools (Debian: python3-fonttools). Called as:

  make_cursive_font.py --source Ecolier-court.ttf --reference LiberationSans-Regular.ttf \\
      --licence-text data/fonts/OFL.txt --output indis1.ttf \\
      --licence-output indis1-OFL.txt [--verbose]
"""

import argparse
import logging
import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.scaleUpem import ScalerVisitor
from fontTools.ttLib.tables import ttProgram
from fontTools.ttLib.tables._g_l_y_f import Glyph, GlyphCoordinates

FAMILY = "Indis1"
STYLE = "Regular"

# New letter -> (base glyph, glyph whose accent is borrowed).
# The source's spacing accents (grave, acute) are empty, so the marks are
# lifted from è/é (lowercase height) and È/É (capital height).
NEW_LETTERS = {
    "igrave": ("i", "egrave"), "iacute": ("i", "eacute"),
    "ograve": ("o", "egrave"), "oacute": ("o", "eacute"),
    "aacute": ("a", "eacute"), "uacute": ("u", "eacute"),
    "Igrave": ("I", "Egrave"), "Iacute": ("I", "Eacute"),
    "Ograve": ("O", "Egrave"), "Oacute": ("O", "Eacute"),
    "Aacute": ("A", "Eacute"), "Uacute": ("U", "Eacute"),
}
CODEPOINTS = {
    "igrave": 0xEC, "iacute": 0xED, "ograve": 0xF2, "oacute": 0xF3,
    "aacute": 0xE1, "uacute": 0xFA, "Igrave": 0xCC, "Iacute": 0xCD,
    "Ograve": 0xD2, "Oacute": 0xD3, "Aacute": 0xC1, "Uacute": 0xDA,
}


def contours(glyph):
    """Split a simple glyph into (points, flags) per contour."""
    result, start = [], 0
    for end in glyph.endPtsOfContours:
        result.append((list(glyph.coordinates[start:end + 1]),
                       list(glyph.flags[start:end + 1])))
        start = end + 1
    return result


def bounds(parts):
    xs = [x for points, _ in parts for x, _ in points]
    ys = [y for points, _ in parts for _, y in points]
    return min(xs), min(ys), max(xs), max(ys)


def centre_x(parts):
    x_min, _, x_max, _ = bounds(parts)
    return (x_min + x_max) / 2


def glyph_from(parts, glyf):
    glyph = Glyph()
    glyph.numberOfContours = len(parts)
    glyph.coordinates = GlyphCoordinates([p for points, _ in parts for p in points])
    glyph.flags = bytearray(f for _, flags in parts for f in flags)
    glyph.endPtsOfContours = []
    count = 0
    for points, _ in parts:
        count += len(points)
        glyph.endPtsOfContours.append(count - 1)
    glyph.program = ttProgram.Program()
    glyph.program.fromBytecode(b"")
    glyph.recalcBounds(glyf)
    return glyph


def marks_above(glyf, accented, base):
    """The contours of `accented` lying wholly above the top of `base`: its accent."""
    top = glyf[base].yMax
    return [c for c in contours(glyf[accented]) if min(y for _, y in c[0]) > top]


def accent_centre(font, base, x_height):
    """Where an accent goes over `base`, and the base contours to keep under it.

    A dotted letter gets its accent where the dot was, and loses the dot.
    Otherwise the accent is centred where the font's own accented forms of
    the letter centre theirs (e.g. ô shows where ò's grave belongs).
    """
    glyf = font["glyf"]
    parts = contours(glyf[base])
    dots = [c for c in parts if min(y for _, y in c[0]) > x_height]
    if base.islower() and dots:
        return centre_x(dots), [c for c in parts if c not in dots]
    for suffix in ("grave", "acute", "circumflex", "dieresis"):
        if base + suffix in glyf.keys():
            return centre_x(marks_above(glyf, base + suffix, base)), parts
    sys.exit(f"no accented form of '{base}' shows where its accent goes")


def compose_letters(font, x_height, verbose):
    glyf, hmtx = font["glyf"], font["hmtx"]
    for name in glyf.keys():
        glyf[name].recalcBounds(glyf)
    unicode_cmap = font["cmap"].getcmap(3, 1).cmap
    added = []
    for name, (base, donor) in NEW_LETTERS.items():
        if CODEPOINTS[name] in unicode_cmap:
            continue
        mark = marks_above(glyf, donor, donor[0])
        centre, body = accent_centre(font, base, x_height)
        dx = round(centre - centre_x(mark))
        moved = [([(x + dx, y) for x, y in points], flags) for points, flags in mark]
        glyf[name] = glyph_from(body + moved, glyf)  # also appends to the glyph order
        hmtx[name] = (hmtx[base][0], glyf[name].xMin)
        added.append(name)
    font.setGlyphOrder(glyf.glyphOrder)
    for name in added:
        unicode_cmap[CODEPOINTS[name]] = name
    inherit_kerning(font, {name: NEW_LETTERS[name][0] for name in added})
    if verbose:
        print("composed:", " ".join(chr(CODEPOINTS[n]) for n in added))


def inherit_kerning(font, base_of):
    """Give each new letter the kerning pairs of its base letter."""
    if "kern" not in font:
        return
    for table in font["kern"].kernTables:
        pairs = table.kernTable
        for (left, right), value in list(pairs.items()):
            for new, base in base_of.items():
                if left == base:
                    pairs.setdefault((new, right), value)
                if right == base:
                    pairs.setdefault((left, new), value)


def repair_source(font):
    """Mend faults of the source that show up in ordinary Italian text."""
    glyf, hmtx = font["glyf"], font["hmtx"]
    # W carries a stray construction line far below the descender, which would
    # draw a bar under every W and double the depth of the line box.
    descender = font["OS/2"].sTypoDescender
    for name in glyf.keys():
        glyph = glyf[name]
        if glyph.numberOfContours > 0:
            parts = contours(glyph)
            kept = [c for c in parts if max(y for _, y in c[0]) > descender]
            if kept and len(kept) < len(parts):
                glyf[name] = glyph_from(kept, glyf)
                hmtx[name] = (hmtx[name][0], glyf[name].xMin)
    # The en dash is drawn as a plus-minus sign and the ellipsis as one quarter.
    glyf["endash"] = glyph_from(contours(glyf["hyphen"]), glyf)
    hmtx["endash"] = hmtx["hyphen"]
    period, step = contours(glyf["period"]), hmtx["period"][0]
    dots = [([(x + i * step, y) for x, y in points], flags)
            for i in range(3) for points, flags in period]
    glyf["ellipsis"] = glyph_from(dots, glyf)
    hmtx["ellipsis"] = (3 * step, glyf["ellipsis"].xMin)
    # Some characters map to empty glyphs (` ´ ^ ~ ‹ › ƒ): unmapped, they fall
    # back to another font instead of vanishing.
    for table in font["cmap"].tables:
        for code, name in list(table.cmap.items()):
            if glyf[name].numberOfContours == 0 and not chr(code).isspace():
                del table.cmap[code]


def drop_hinting(font):
    """The source's few TrueType instructions assume its unscaled outlines."""
    for tag in ("fpgm", "prep", "cvt ", "hdmx", "LTSH", "VDMX"):
        if tag in font:
            del font[tag]
    glyf = font["glyf"]
    for glyph in (glyf[name] for name in glyf.keys()):
        if glyph.numberOfContours > 0:
            glyph.program = ttProgram.Program()
            glyph.program.fromBytecode(b"")


def glyph_top(font, name):
    glyph = font["glyf"][name]
    glyph.recalcBounds(font["glyf"])
    return glyph.yMax


def em_fraction(font, name):
    return glyph_top(font, name) / font["head"].unitsPerEm


def scale(font, factor):
    """Scale outlines and every metric by factor, keeping the units per em."""
    upem = font["head"].unitsPerEm
    ScalerVisitor(factor).visit(font)
    font["head"].unitsPerEm = upem
    # Rounded separately, side bearings could drift a unit from the outlines.
    glyf, hmtx = font["glyf"], font["hmtx"]
    for name in glyf.keys():
        glyph = glyf[name]
        if glyph.numberOfContours:
            glyph.recalcBounds(glyf)
            hmtx[name] = (hmtx[name][0], glyph.xMin)


def set_vertical_metrics(font):
    """Make the line box hold the tallest and deepest glyphs, on every platform."""
    glyf = font["glyf"]
    tops, bottoms = [0], [0]
    for glyph in (glyf[name] for name in glyf.keys()):
        if glyph.numberOfContours:
            glyph.recalcBounds(glyf)
            tops.append(glyph.yMax)
            bottoms.append(glyph.yMin)
    ascent, descent = max(tops), min(bottoms)
    hhea, os2 = font["hhea"], font["OS/2"]
    hhea.ascent, hhea.descent, hhea.lineGap = ascent, descent, 0
    os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap = ascent, descent, 0
    os2.usWinAscent, os2.usWinDescent = ascent, -descent
    # Version 0 has no x-height or cap-height fields; version 4 does.
    if os2.version < 4:
        os2.version = 4
        os2.ulCodePageRange1 = 1  # Latin 1
        os2.ulCodePageRange2 = 0
        os2.usDefaultChar = 0
        os2.usBreakChar = 0x20
        os2.usMaxContext = 2 if "kern" in font else 1
    os2.sxHeight = glyph_top(font, "x")
    os2.sCapHeight = glyph_top(font, "H")
    os2.recalcUnicodeRanges(font)
    os2.recalcAvgCharWidth(font)


def rename(font, version_note):
    names = font["name"]
    platforms = {(r.platformID, r.platEncID, r.langID) for r in names.names}
    old_family = names.getDebugName(1)
    values = {
        1: FAMILY, 2: STYLE, 3: f"Velmora: {FAMILY}: {version_note}", 4: FAMILY, 6: FAMILY,
        10: f"{FAMILY} is {old_family} renamed and modified (accents composed, "
            "faulty glyphs mended, outlines scaled) by the Velmora project.",
        13: "This Font Software is licensed under the SIL Open Font License, Version 1.1.",
        14: "https://openfontlicense.org",
        16: FAMILY, 17: STYLE,
    }
    for platform in platforms:
        for name_id, text in values.items():
            names.setName(text, name_id, *platform)
    # The description (ID 10) credits the original; the names proper must not carry it.
    left = [r for r in names.names
            if r.nameID != 10 and old_family.lower() in r.toUnicode().lower()]
    if left:
        sys.exit(f"name records still say {old_family}: {[r.nameID for r in left]}")


def drop_mac_cmap(font):
    """The source's Mac Roman subtable is keyed by Windows-1252 codes: wrong letters."""
    cmap = font["cmap"]
    cmap.tables = [t for t in cmap.tables if t.platformID != 1]


def write_licence(font, licence_text, path):
    copyright_notice = font["name"].getDebugName(0)
    with open(licence_text, encoding="utf-8") as src:
        ofl = src.read()
    with open(path, "w", encoding="utf-8") as out:
        out.write(f"{FAMILY}, the cursive font of Velmora\n\n"
                  f"Copyright notice of the original font: {copyright_notice}\n\n"
                  f"{font['name'].getDebugName(10)}\n"
                  f"It remains under the SIL Open Font License, Version 1.1, below.\n\n")
        out.write(ofl)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", required=True, help="Ecolier_court TTF")
    parser.add_argument("--reference", required=True, help="print font whose x-height to match")
    parser.add_argument("--licence-text", required=True, help="upstream OFL text with copyright")
    parser.add_argument("--output", required=True)
    parser.add_argument("--licence-output", required=True)
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    # fontTools grumbles about the source's odd timestamps and post padding: harmless.
    logging.getLogger("fontTools").setLevel(logging.ERROR)

    # Keep the source's timestamps so the output is the same on every build.
    font = TTFont(args.source, recalcTimestamp=False)
    reference = TTFont(args.reference)
    before, target = em_fraction(font, "x"), em_fraction(reference, "x")
    if args.verbose:
        upem = font["head"].unitsPerEm
        print(f"x-height: source {glyph_top(font, 'x')}/{upem} = {before:.3f} em, "
              f"reference {glyph_top(reference, 'x')}/{reference['head'].unitsPerEm} "
              f"= {target:.3f} em, scale {target / before:.3f}")

    repair_source(font)
    compose_letters(font, glyph_top(font, "x"), args.verbose)
    drop_hinting(font)
    scale(font, target / before)
    set_vertical_metrics(font)
    drop_mac_cmap(font)
    rename(font, f"Version {font['head'].fontRevision:.2f}")
    font.save(args.output)
    write_licence(font, args.licence_text, args.licence_output)

    if args.verbose:
        result = TTFont(args.output)
        hhea = result["hhea"]
        upem = result["head"].unitsPerEm
        print(f"x-height: result {glyph_top(result, 'x')}/{upem} "
              f"= {em_fraction(result, 'x'):.3f} em")
        print(f"line box: ascent {hhea.ascent}, descent {hhea.descent} "
              f"({(hhea.ascent - hhea.descent) / upem:.2f} em)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
