#!/usr/bin/env python3
"""Draws the application icon (a memory module with a live gauge) into src/app/Nimbrel.ico.

Run it after changing the drawing; the .ico it writes is committed so builds need no Python."""
import struct
import sys
from pathlib import Path


def draw(size):
    s = size / 16.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, rgba):
        for y in range(int(round(y0 * s)), int(round(y1 * s))):
            for x in range(int(round(x0 * s)), int(round(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = rgba

    body = (38, 50, 72, 255)
    edge = (18, 24, 36, 255)
    pin = (214, 170, 60, 255)
    for i in range(5):
        rect(2 + i * 2.6, 0.5, 3.4 + i * 2.6, 3, pin)
        rect(2 + i * 2.6, 13, 3.4 + i * 2.6, 15.5, pin)
    rect(0.5, 2.5, 15.5, 13.5, edge)
    rect(1.2, 3.2, 14.8, 12.8, body)
    rect(2.5, 5.5, 13.5, 10.5, (12, 16, 24, 255))
    rect(2.5, 5.5, 9.5, 10.5, (40, 220, 90, 255))
    rect(2.5, 5.5, 9.5, 6.5, (130, 250, 160, 255))
    return px


def dib(size, px):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b"".join(bytes(c for r, g, b, a in px[y] for c in (b, g, r, a)) for y in reversed(range(size)))
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for y in reversed(range(size)):
        bits = bytearray(mask_stride)
        for x in range(size):
            if px[y][x][3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + rows + mask


def main():
    # Every size a window or the notification area asks for from 96 to 192 dpi (small and large icons).
    sizes = [16, 20, 24, 32, 40, 48, 64]
    images = [dib(n, draw(n)) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "src/app/Nimbrel.ico"
    target.write_bytes(out)


if __name__ == "__main__":
    main()
