#!/usr/bin/python3
"""scanimage_bench.py BIN PAGE WORK: a 600 dpi colour letter scan of PAGE by
Debian's scanimage through the backend in BIN, from the emulator, set
against the decoder alone on the same stream and the emulator alone.

The emulator runs inside the backend and costs far more than the decoder
(it loads the page and codes the whole scan), so the backend's own
processor time is scanimage's minus what the emulator reports for itself at
SANE_DEBUG_VIVARO=2. Memory: scanimage's peak beyond the emulator's alone.
Figures only, the best of three runs each."""

import os
import re
import subprocess
import sys

RUNS = 3


def run(command, env=None):
    """Processor seconds, peak resident kB and standard error of one run."""
    child = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    stderr = child.stderr.read()
    _, status, usage = os.wait4(child.pid, 0)
    if status:
        sys.exit("%s failed (%d): %s" % (command[0], status, stderr.decode(errors="replace")))
    return usage.ru_utime + usage.ru_stime, usage.ru_maxrss, stderr


def main():
    bin_dir, page, work = sys.argv[1:4]
    bench = os.path.join(bin_dir, "emulator_stream_bench")
    config = os.path.join(work, "sane")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "dll.conf"), "w") as f:
        f.write("vivaro\n")
    with open(os.path.join(config, "vivaro.conf"), "w") as f:
        f.write("emulator %s\n" % os.path.abspath(page))
    env = dict(os.environ, SANE_CONFIG_DIR=config, LD_LIBRARY_PATH=os.path.abspath(bin_dir), SANE_DEBUG_VIVARO="2")

    emulator_rss = min(run([bench, page, "emulator"])[1] for _ in range(RUNS))
    decoder = min(float(subprocess.run([bench, page, "decoder"], capture_output=True, check=True).stdout)
                  for _ in range(RUNS))
    scans = []
    for _ in range(RUNS):
        total, rss, stderr = run(["scanimage", "-d", "vivaro:emulator:0", "--format=pnm", "--mode", "Color",
                                  "--resolution", "600", "-l", "0", "-t", "0", "-x", "215.9", "-y", "279.4"], env)
        emulator = float(re.search(rb"emulator: ([0-9.]+) s of processor time", stderr).group(1))
        scans.append((total - emulator, total, emulator, rss))
    backend, total, emulator, _ = min(scans)
    rss = min(s[3] for s in scans)
    print("SANE backend, scanimage of the 600 dpi colour letter page from the emulator, best of %d:" % RUNS)
    print("  scanimage, all of it:         %6.2f s processor, peak %6.1f MB" % (total, rss / 1024))
    print("  the emulator's share:         %6.2f s processor (page, coding at the start command)" % emulator)
    print("  decoder alone, same stream:   %6.2f s processor" % decoder)
    print("  backend and scanimage:        %6.2f s processor, %.2fx the decoder alone (aim <= 1.2x)"
          % (backend, backend / decoder))
    print("  emulator alone:               peak %6.1f MB" % (emulator_rss / 1024))
    print("  memory beyond the emulator:   %6.1f MB (aim <= 16 MB)" % ((rss - emulator_rss) / 1024))


if __name__ == "__main__":
    main()
