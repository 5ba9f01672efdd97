"""What the client tests share: the built backend behind Debian's SANE
front ends, a SANE configuration of emulated scanners, a test page, and the
image the emulator makes of it, computed independently of the backend.

ctest passes VIVARO_SANE_LIBRARY_DIR (where libsane-vivaro.so.1 is),
VIVARO_SANITIZER_PRELOAD (the sanitizer runtimes of a sanitized build, for
front ends that were built without them) and VIVARO_TEST_WORK_DIR."""

import os
import shutil
import struct
import subprocess
import sys
import unittest

WORK = os.environ.get("VIVARO_TEST_WORK_DIR", "/tmp/vivaro-sane-tests")
PAGE_WIDTH, PAGE_HEIGHT = 850, 300  # 100 dpi across the 8.5 inch bed, 3 inches down
BED_UNITS = 40800
UNITS_PER_INCH = 4800


def backend_environment(config_dir, debug=None):
    env = dict(os.environ)
    env["SANE_CONFIG_DIR"] = config_dir  # no trailing colon: no other backend is loaded
    env["LD_LIBRARY_PATH"] = os.environ["VIVARO_SANE_LIBRARY_DIR"]
    preload = os.environ.get("VIVARO_SANITIZER_PRELOAD", "")
    if preload:
        env["LD_PRELOAD"] = preload
        # The front ends' own allocations are not ours to judge.
        env["ASAN_OPTIONS"] = "detect_leaks=0"
    if debug is not None:
        env["SANE_DEBUG_VIVARO"] = str(debug)
    return env


def run_with_backend_environment(config_dir):
    """Restarts this test with the backend's environment when it lacks it:
    the sanitizer runtimes can only be preloaded into a starting process."""
    env = backend_environment(config_dir)
    if os.environ.get("LD_PRELOAD", "") != env.get("LD_PRELOAD", "") or "SANE_CONFIG_DIR" not in os.environ:
        os.execve(sys.executable, [sys.executable] + sys.argv, env)


def make_page(path):
    """A colour page with gradients in every channel and fine detail, so
    that every predictor path and every threshold sees varied values."""
    data = bytearray()
    for y in range(PAGE_HEIGHT):
        for x in range(PAGE_WIDTH):
            data += bytes(((x * 3 + y) % 256, (y * 2 + x // 3) % 256, (x * y // 7 + (x ^ y)) % 256))
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (PAGE_WIDTH, PAGE_HEIGHT) + bytes(data))


def read_page(path):
    with open(path, "rb") as f:
        return read_pnm(f.read())[3]


class Config:
    """A SANE configuration folder: dll.conf naming the backends and a
    vivaro.conf whose emulator lines are the given emulator files."""

    def __init__(self, name, emulators, backends=("vivaro",), extra_lines=()):
        self.dir = os.path.join(WORK, name)
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.page = os.path.join(self.dir, "page.ppm")
        make_page(self.page)
        with open(os.path.join(self.dir, "dll.conf"), "w") as f:
            f.write("\n".join(backends) + "\n")
        lines = list(extra_lines)
        for i, settings in enumerate(emulators):
            if settings is None:
                lines.append("emulator page.ppm")
                continue
            with open(os.path.join(self.dir, "emulator%d.cfg" % i), "w") as f:
                f.write("page = page.ppm\n" + settings)
            lines.append("emulator emulator%d.cfg" % i)
        with open(os.path.join(self.dir, "vivaro.conf"), "w") as f:
            f.write("\n".join(lines) + "\n")

    def environment(self, debug=None):
        return backend_environment(self.dir, debug)

    def path(self, name):
        return os.path.join(self.dir, name)


def scanimage(config, device, *arguments, debug=None, timeout=120):
    return subprocess.run(["scanimage", "-d", device, *arguments], env=config.environment(debug),
                          capture_output=True, timeout=timeout)


def read_pnm(data):
    """(magic, width, height, pixels) of a binary PBM, PGM or PPM."""
    fields, at = [], 0
    while len(fields) < (3 if data[:2] == b"P4" else 4):
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    return fields[0].decode(), int(fields[1]), int(fields[2]), data[at + 1:]


def fixed_units(millimetres):
    """scanimage's millimetres as SANE_Fixed, then the backend's 1/4800 inch."""
    fixed = int(millimetres * 65536)
    return int(fixed / 65536 / 25.4 * UNITS_PER_INCH + 0.5)


def expected_image(page_pixels, mode, resolution, left=0.0, top=0.0, width=215.9, height=279.4, threshold=160):
    """The emulator's scan of the page: each device pixel takes the nearest
    page pixel at or before it (white beyond the page); grey by the
    emulator's weights; line art 1 (black) at or below the threshold."""
    l, t = fixed_units(left), fixed_units(top)
    r, b = fixed_units(left + width), fixed_units(top + height)
    r, b = min(r, BED_UNITS), min(b, 14 * UNITS_PER_INCH)
    x0, y0 = l * resolution // UNITS_PER_INCH, t * resolution // UNITS_PER_INCH
    columns = (r - l) * resolution // UNITS_PER_INCH
    rows = (b - t) * resolution // UNITS_PER_INCH
    page_x = [((x0 + i) * UNITS_PER_INCH // resolution) * PAGE_WIDTH // BED_UNITS for i in range(columns)]
    out = bytearray()
    white = bytes((255, 255, 255))
    for row in range(rows):
        page_y = (y0 * UNITS_PER_INCH // resolution + row * UNITS_PER_INCH // resolution) * PAGE_WIDTH // BED_UNITS
        line = page_pixels[page_y * PAGE_WIDTH * 3:(page_y + 1) * PAGE_WIDTH * 3] if page_y < PAGE_HEIGHT else b""
        rgb = [line[3 * x:3 * x + 3] if 3 * x < len(line) else white for x in page_x]
        if mode == "Color":
            out += b"".join(rgb)
            continue
        grey = [(p[0] * 299 + p[1] * 587 + p[2] * 114 + 500) // 1000 for p in rgb]
        if mode == "Gray":
            out += bytes(grey)
            continue
        packed = bytearray((columns + 7) // 8)
        for x, g in enumerate(grey):
            if g <= threshold:
                packed[x // 8] |= 0x80 >> (x % 8)
        out += packed
    return columns, rows, bytes(out)


DEVICE_STEPS = (75, 100, 150, 200, 300, 600, 1200)


def single(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def area_fit(values, in_w, in_h, out_w, out_h, channels):
    """Area averaging: output pixel x spans [x * in_w, (x + 1) * in_w) where
    scanned pixel i spans [i * out_w, (i + 1) * out_w); the same down."""
    def shares(n_in, n_out):
        table = []
        for o in range(n_out):
            lo, hi = o * n_in, (o + 1) * n_in
            table.append([(i, min(hi, (i + 1) * n_out) - max(lo, i * n_out))
                          for i in range(lo // n_out, min(n_in, -(-hi // n_out)))
                          if min(hi, (i + 1) * n_out) > max(lo, i * n_out)])
        return table
    across, down = shares(in_w, out_w), shares(in_h, out_h)
    stride = in_w * channels
    fitted_rows = [[sum(values[y * stride + i * channels + c] * w for i, w in across[x])
                    for x in range(out_w) for c in range(channels)] for y in range(in_h)]
    area = in_w * in_h
    out = bytearray()
    for o in range(out_h):
        for v in range(out_w * channels):
            out.append((sum(fitted_rows[y][v] * w for y, w in down[o]) + area // 2) // area)
    return bytes(out)


def fitted_image(page_pixels, mode, resolution, left=0.0, top=0.0, width=215.9, height=279.4, threshold=160):
    """A resolution the device does not scan: the page scanned at the next
    device step, fitted to the source's size by area averaging; line art
    thresholded first, fitted as grey and black below the middle."""
    device = next(step for step in DEVICE_STEPS if step >= resolution)
    grey_mode = "Color" if mode == "Color" else "Gray"
    in_w, in_h, scanned = expected_image(page_pixels, grey_mode, device, left, top, width, height)
    if mode == "Lineart":
        scanned = bytes(255 if g > threshold else 0 for g in scanned)
    l, t = fixed_units(left), fixed_units(top)
    r, b = min(fixed_units(left + width), BED_UNITS), min(fixed_units(top + height), 14 * UNITS_PER_INCH)
    out_w = int(single(single(resolution * (r - l)) * single(1 / UNITS_PER_INCH)))
    out_h = int(single(single(resolution * (b - t)) * single(1 / UNITS_PER_INCH)))
    fitted = area_fit(scanned, in_w, in_h, out_w, out_h, 3 if mode == "Color" else 1)
    if mode != "Lineart":
        return out_w, out_h, fitted
    packed = bytearray()
    for y in range(out_h):
        row = bytearray((out_w + 7) // 8)
        for x in range(out_w):
            if fitted[y * out_w + x] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        packed += row
    return out_w, out_h, bytes(packed)


class ClientTest(unittest.TestCase):
    def assertImage(self, pnm, expected, magic):
        got_magic, width, height, pixels = read_pnm(pnm)
        columns, rows, data = expected
        self.assertEqual((got_magic, width, height), (magic, columns, rows))
        if pixels != data:
            first = next(i for i in range(min(len(pixels), len(data))) if pixels[i] != data[i]) \
                if len(pixels) == len(data) else -1
            self.fail("image differs from the emulator's page (%d bytes, expected %d; first difference at %d)"
                      % (len(pixels), len(data), first))


MAGIC = {"Color": "P6", "Gray": "P5", "Lineart": "P4"}


def main():
    os.makedirs(WORK, exist_ok=True)
    unittest.main(verbosity=2)
