"""Writes the page's font: the glyphs of Nanum Gothic Coding that the page
can show, as a WOFF2 font of its own name.

    python3 web/subset-font.py FONT.ttf PAGE.html OUTPUT.woff2

The subset holds printable ASCII, every Hangul syllable of KS X 1001 (the
2,350 that the EUC-KR part of code page 949 encodes, which hold every one
the program writes), and every character of the page's own text. A subset
is a Modified Version under the SIL Open Font License, which reserves the
font's names, so the subset is named Quorvil Mono. It carries no time of
its own, so that every build gives the same bytes. Needs fontTools with
Brotli (Debian's python3-fonttools and python3-brotli).
"""

import sys

from fontTools import subset
from fontTools.ttLib import TTFont

NAME = "Quorvil Mono"
POSTSCRIPT_NAME = "QuorvilMono-Regular"

# The name records that name the font, and what each becomes.
NAMES = {
    1: NAME,  # Family.
    3: POSTSCRIPT_NAME,  # Unique identifier.
    4: NAME,  # Full name.
    6: POSTSCRIPT_NAME,
    16: NAME,  # Typographic family.
}


def characters(page):
    printable = "".join(map(chr, range(0x20, 0x7F)))
    hangul = "".join(
        bytes([row, cell]).decode("euc_kr")
        for row in range(0xB0, 0xC9)
        for cell in range(0xA1, 0xFF)
    )
    with open(page, encoding="utf-8") as text:
        return printable + hangul + text.read()


def rename(font):
    names = font["name"]
    for name_id, value in NAMES.items():
        names.removeNames(nameID=name_id)
        names.setName(value, name_id, 3, 1, 0x409)
    # The trademark notice is the original's.
    names.removeNames(nameID=7)


def main(source, page, output):
    font = TTFont(source, recalcTimestamp=False)
    options = subset.Options()
    options.flavor = "woff2"
    options.layout_features = []
    options.hinting = False
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=characters(page))
    subsetter.subset(font)
    rename(font)
    font.flavor = "woff2"
    font.save(output)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: subset-font.py FONT.ttf PAGE.html OUTPUT.woff2")
    main(*sys.argv[1:])
