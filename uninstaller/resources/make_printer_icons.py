#!/usr/bin/env python3
"""Draws the selection list's printer icons: bitmaps 116 (18 x 18 per icon)
and 117 (32 x 32). Eight icons side by side, indexed by the list's image
index: +1 default printer (green tick), +2 network printer (blue cable to a
server box), +4 masked printer (purple mask over the printer). Magenta is
the transparent colour. Run it again after changing the drawing:

    python3 make_printer_icons.py   # writes printer_icons_small.bmp, printer_icons_large.bmp
"""
import os
import struct

MAGENTA = (255, 0, 255)
BODY = (150, 150, 150)
BODY_DARK = (70, 70, 70)
PAPER = (255, 255, 255)
TICK = (0, 160, 0)
NETWORK = (0, 70, 200)
MASK = (130, 0, 150)


def icon(size, index):
    s = size / 32.0
    pixels = [[MAGENTA] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y0 * s) + 1, int(y1 * s))):
            for x in range(int(x0 * s), max(int(x0 * s) + 1, int(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    pixels[y][x] = colour

    # The printer: paper in, body, paper out.
    rect(9, 2, 23, 11, PAPER)
    rect(9, 2, 23, 3, BODY_DARK)
    rect(3, 10, 29, 22, BODY)
    rect(3, 21, 29, 23, BODY_DARK)
    rect(8, 20, 24, 27, PAPER)
    rect(22, 13, 26, 15, TICK if index & 1 else BODY_DARK)
    if index & 4:
        # A mask across the body with two eye holes.
        rect(2, 12, 30, 18, MASK)
        rect(7, 14, 12, 16, BODY)
        rect(20, 14, 25, 16, BODY)
    if index & 2:
        # A cable from the printer down to a server box.
        rect(1, 23, 3, 31, NETWORK)
        rect(1, 29, 12, 31, NETWORK)
        rect(0, 25, 6, 32, NETWORK)
    if index & 1:
        # A tick in the lower right corner.
        for i in range(6):
            rect(20 + i, 25 + i, 23 + i, 28 + i, TICK)
        for i in range(8):
            rect(25 + i, 30 - i * 1.5, 28 + i, 33 - i * 1.5, TICK)
    return pixels


def write_bmp(path, size, count):
    icons = [icon(size, index) for index in range(count)]
    width, height = size * count, size
    row_bytes = (width * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for i in range(count):
            for r, g, b in icons[i][y]:
                row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


here = os.path.dirname(os.path.abspath(__file__))
write_bmp(os.path.join(here, "printer_icons_small.bmp"), 18, 8)
write_bmp(os.path.join(here, "printer_icons_large.bmp"), 32, 8)
