#!/usr/bin/python3
"""Builds the four static Open Sans SemiCondensed faces from the variable Open Sans.

Usage: make_fonts.py <@fontsource-variable/open-sans package folder> <output folder>

The variable font ships split into per-script subsets; each face is pinned at
the SemiCondensed width and its weight, then the latin and cyrillic subsets are
merged so that one file renders Russian text. The four files are named as one
family with proper style names, so that a font database groups them together.
"""

import os
import sys
import tempfile

from fontTools.merge import Merger
from fontTools.ttLib import TTFont
from fontTools.varLib import instancer

FAMILY = "Open Sans SemiCondensed"
PS_FAMILY = "OpenSansSemiCondensed"
WIDTH = 87.5  # the SemiCondensed step of the wdth axis
SUBSETS = ("latin", "cyrillic")

# file suffix, style name, weight, italic
FACES = (
    ("Regular", "Regular", 400, False),
    ("Italic", "Italic", 400, True),
    ("Bold", "Bold", 700, False),
    ("BoldItalic", "Bold Italic", 700, True),
)

# Name records that still describe the variable font and would split the family;
# IDs from 256 on only named its axes and instances.
DROPPED_NAME_IDS = (16, 17, 21, 22, 25)


def pinned(path, weight):
    font = TTFont(path)
    return instancer.instantiateVariableFont(font, {"wght": weight, "wdth": WIDTH})


def rename(font, style, weight, italic):
    name = font["name"]
    for record in list(name.names):
        if record.nameID in DROPPED_NAME_IDS or record.nameID >= 256:
            name.removeNames(nameID=record.nameID)
    ps_style = style.replace(" ", "")
    full = f"{FAMILY} {style}"
    version = name.getDebugName(5) or "Version 1.0"
    for name_id, text in (
        (1, FAMILY),
        (2, style),
        (3, f"{version.replace('Version ', '')};{PS_FAMILY}-{ps_style}"),
        (4, full),
        (6, f"{PS_FAMILY}-{ps_style}"),
    ):
        name.removeNames(nameID=name_id)
        name.setName(text, name_id, 3, 1, 0x409)
        name.setName(text, name_id, 1, 0, 0)

    os2 = font["OS/2"]
    os2.usWeightClass = weight
    os2.usWidthClass = 4  # semi-condensed
    selection = os2.fsSelection & ~(0b1100001)  # clear italic, bold, regular
    if italic:
        selection |= 1 << 0
    if weight >= 700:
        selection |= 1 << 5
    if not italic and weight < 700:
        selection |= 1 << 6
    os2.fsSelection = selection
    mac_style = 0
    if weight >= 700:
        mac_style |= 1 << 0
    if italic:
        mac_style |= 1 << 1
    font["head"].macStyle = mac_style
    font["post"].isFixedPitch = 0
    for table in ("STAT", "MVAR"):
        if table in font:
            del font[table]


def build(package, out_dir):
    files = os.path.join(package, "files")
    os.makedirs(out_dir, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        for suffix, style, weight, italic in FACES:
            slant = "italic" if italic else "normal"
            parts = []
            stamp = None
            for subset in SUBSETS:
                source = os.path.join(files, f"open-sans-{subset}-wdth-{slant}.woff2")
                if stamp is None:
                    head = TTFont(source)["head"]
                    stamp = (head.created, head.modified)
                static = pinned(source, weight)
                static.flavor = None
                static.recalcTimestamp = False
                part = os.path.join(tmp, f"{subset}-{suffix}.ttf")
                static.save(part)
                parts.append(part)
            merged = Merger().merge(parts)
            rename(merged, style, weight, italic)
            # Keep the source's dates so that a rerun reproduces the same bytes.
            merged["head"].created, merged["head"].modified = stamp
            merged.recalcTimestamp = False
            target = os.path.join(out_dir, f"OpenSans_SemiCondensed-{suffix}.ttf")
            merged.save(target)
            print(target)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    build(sys.argv[1], sys.argv[2])
