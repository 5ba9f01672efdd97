#!/usr/bin/env python3
"""Writes the scan settings window's button faces (buttons/*.bmp, one up and
one down face per button) and the move cursor (move.cur). The window draws
each button's localised text over its face, so the faces carry no words:
a soft gradient, a rounded border and a coloured bar that tells the actions
apart. Run from this folder; the files are committed."""
import os
import struct

# name: (width, height, accent colour); sizes follow the template's buttons.
BUTTONS = {
    "photo": (75, 24, (222, 150, 40)),
    "document": (75, 24, (120, 100, 190)),
    "preview": (57, 26, (60, 125, 205)),
    "scan": (57, 26, (50, 160, 80)),
    "exit": (57, 26, (190, 70, 60)),
}


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def inside_rounded(x, y, w, h, r):
    cx = min(max(x, r), w - 1 - r)
    cy = min(max(y, r), h - 1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r + 0.5


def face(w, h, accent, down):
    top, bottom = ((250, 250, 250), (214, 218, 224)) if not down else ((196, 200, 208), (232, 234, 238))
    pixels = []
    for y in range(h):
        row = []
        for x in range(w):
            if not inside_rounded(x, y, w, h, 3):
                row.append((192, 192, 192))  # the dialog's gray behind the corners
            elif not inside_rounded(x, y, w, h, 3) or not (
                inside_rounded(x - 1, y, w - 2, h, 3) and inside_rounded(x, y - 1, w, h - 2, 3)
                and 0 < x < w - 1 and 0 < y < h - 1
            ):
                row.append((90, 96, 106) if not down else (50, 56, 66))  # border
            elif h - 5 <= y <= h - 3 and 4 <= x <= w - 5:
                row.append(accent if not down else mix(accent, (0, 0, 0), 0.25))
            elif y == 1 and not down:
                row.append((255, 255, 255))  # highlight along the top
            else:
                row.append(mix(top, bottom, y / (h - 1)))
        pixels.append(row)
    return pixels


def bmp(pixels):
    h, w = len(pixels), len(pixels[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):  # bottom-up rows
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def move_cursor():
    """A four-way arrow, white with a black outline, hot spot in the middle."""
    size, c = 32, 15
    shape = set()
    for y in range(size):
        for x in range(size):
            dx, dy = x - c, y - c
            arm = (abs(dx) <= 1 and abs(dy) <= 10) or (abs(dy) <= 1 and abs(dx) <= 10)
            head = any(
                0 <= along <= 4 and abs(across) <= along
                for along, across in ((dy + 14, dx), (14 - dy, dx), (dx + 14, dy), (14 - dx, dy))
            )
            if arm or head:
                shape.add((x, y))
    outline = {
        (x + ox, y + oy)
        for x, y in shape
        for ox in (-1, 0, 1)
        for oy in (-1, 0, 1)
        if 0 <= x + ox < size and 0 <= y + oy < size
    } - shape
    xor_rows, and_rows = [], []
    for y in range(size - 1, -1, -1):  # bottom-up rows
        xor_bits = and_bits = 0
        for x in range(size):
            bit = 1 << (31 - x)
            if (x, y) in shape:
                xor_bits |= bit  # white
            elif (x, y) not in outline:
                and_bits |= bit  # transparent
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = info + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, c, c, len(image), 6 + 16)
    return directory + entry + image


def main():
    os.makedirs("buttons", exist_ok=True)
    for name, (w, h, accent) in BUTTONS.items():
        for suffix, down in (("up", False), ("down", True)):
            with open(os.path.join("buttons", f"{name}_{suffix}.bmp"), "wb") as out:
                out.write(bmp(face(w, h, accent, down)))
    with open("move.cur", "wb") as out:
        out.write(move_cursor())


if __name__ == "__main__":
    main()
