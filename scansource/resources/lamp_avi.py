#!/usr/bin/env python3
"""Writes lamp.avi, the lamp-warming dialog's animation: a lamp whose glow
grows over eight frames. Uncompressed 8-bit frames, as the animation
control plays them without a codec."""
import struct
import sys

WIDTH = HEIGHT = 32
FRAMES = 8


def chunk(fourcc, data):
    pad = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, fourcc, data):
    return kind + struct.pack("<I", len(data) + 4) + fourcc + data


def frame(n):
    glow = 4 + n * 1.5
    rows = []
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(WIDTH):
            d = ((x - 15.5) ** 2 + (y - 13.5) ** 2) ** 0.5
            if 21 <= y <= 27 and 12 <= x <= 19:
                row.append(2)  # the lamp's base
            elif d <= 5:
                row.append(3)  # the bulb
            elif d <= glow:
                row.append(4)  # its glow
            else:
                row.append(1)  # background
        rows.append(bytes(row))
    return b"".join(rows)


def main(path):
    palette = [(192, 192, 192), (192, 192, 192), (96, 96, 96), (255, 255, 200), (255, 230, 96)]
    palette += [(0, 0, 0)] * (256 - len(palette))
    frame_size = WIDTH * HEIGHT
    avih = struct.pack("<14I", 125000, frame_size * 8, 0, 0x10, FRAMES, 0, 1, frame_size,
                       WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = b"vids" + b"DIB " + struct.pack("<IHHIIIIIIiI4h", 0, 0, 0, 0, 1, 8, 0, FRAMES,
                                           frame_size, -1, 0, 0, 0, WIDTH, HEIGHT)
    bih = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, frame_size, 0, 0, 256, 0)
    strf = bih + b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih) +
                     riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi_data = b""
    index = b""
    for n in range(FRAMES):
        offset = 4 + len(movi_data)  # from the 'movi' fourcc
        movi_data += chunk(b"00db", frame(n))
        index += b"00db" + struct.pack("<III", 0x10, offset, frame_size)
    movi = riff_list(b"LIST", b"movi", movi_data)
    avi = riff_list(b"RIFF", b"AVI ", hdrl + movi + chunk(b"idx1", index))
    with open(path, "wb") as out:
        out.write(avi)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "lamp.avi")
