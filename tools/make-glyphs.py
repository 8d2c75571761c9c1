#!/usr/bin/env python3
"""Draws the command-link arrow glyph "btnArrow" into src/platform/btnArrow.bmp (16 x 16, 24 bits,
magenta as the transparent colour). Run it after changing the drawing; the .bmp is committed."""
import struct
from pathlib import Path

MAGENTA = (255, 0, 255)
DARK = (20, 110, 60)
LIGHT = (70, 170, 100)


def draw():
    px = [[MAGENTA] * 16 for _ in range(16)]
    # A bold right arrow: a shaft and a head, shaded lighter on its upper half.
    for y in range(6, 10):
        for x in range(2, 9):
            px[y][x] = LIGHT if y < 8 else DARK
    for i in range(7):
        for y in range(1 + i, 15 - i):
            x = 8 + i
            if 0 <= x < 16:
                px[y][x] = LIGHT if y < 8 else DARK
    return px


def main():
    px = draw()
    row_bytes = 16 * 3  # already a multiple of 4
    pixels = b"".join(bytes(c for r, g, b in px[y] for c in (b, g, r)) for y in reversed(range(16)))
    info = struct.pack("<IiiHHIIiiII", 40, 16, 16, 1, 24, 0, row_bytes * 16, 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    out = Path(__file__).resolve().parent.parent / "src/platform/btnArrow.bmp"
    out.write_bytes(header + info + pixels)


if __name__ == "__main__":
    main()
