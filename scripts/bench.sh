#!/usr/bin/env bash
# Builds the bench preset (Release), prints the stream decoder's output rate
# on the 600 dpi US-letter page and the imaging library's rates fitting it
# to 300 dpi and writing BMP, TIFF and JPEG, then proves that scanstream round-trips
# that page bit for bit (colour without and with line offsets, grey). Last,
# the SANE backend under scanimage on that page from the emulator: its time
# against the decoder alone and its memory beyond the emulator's.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset bench >/dev/null
cmake --build --preset bench --target stream_decoder_bench scan_pipeline_bench scanstream make_test_page imaging_bench \
  sane_vivaro emulator_stream_bench -j2 >/dev/null
bin=build/bench/bin

"$bin/stream_decoder_bench"
"$bin/scan_pipeline_bench"
"$bin/imaging_bench"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
width=5100 height=6600
round_trip() {
  local channels=$1 page=$2 offsets=$3
  "$bin/scanstream" encode --predictor 0 --offsets "$offsets" "$page" "$work/page.stream"
  "$bin/scanstream" decode --width $width --height $height --channels "$channels" "$work/page.stream" "$work/back"
  if cmp -s "$page" "$work/back"; then
    echo "scanstream round trip, $channels channel(s), offsets $offsets: bit-exact ($(stat -c %s "$work/page.stream") stream bytes)"
  else
    echo "scanstream round trip, $channels channel(s), offsets $offsets: MISMATCH"
    return 1
  fi
}
"$bin/make_test_page" $width $height 3 "$work/page.ppm"
round_trip 3 "$work/page.ppm" none
round_trip 3 "$work/page.ppm" 8,9,4,5,0,1
"$bin/make_test_page" $width $height 1 "$work/page.pgm"
round_trip 1 "$work/page.pgm" none

# measure RUNS COMMAND...: the best wall seconds, processor seconds (user and
# system, every thread) and peak resident kilobytes over RUNS runs.
measure() {
  /usr/bin/python3 - "$@" <<'PY'
import os, subprocess, sys, time
runs, command = int(sys.argv[1]), sys.argv[2:]
best = None
for _ in range(runs):
    begin = time.monotonic()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    if status:
        sys.exit("%s failed: %d" % (command[0], status))
    run = (time.monotonic() - begin, usage.ru_utime + usage.ru_stime, usage.ru_maxrss)
    best = run if best is None else tuple(map(min, best, run))
print("%.3f %.3f %d" % best)
PY
}

mkdir -p "$work/sane"
echo vivaro >"$work/sane/dll.conf"
echo "emulator $work/page.ppm" >"$work/sane/vivaro.conf"
read -r emulator_wall emulator_cpu emulator_rss < <(measure 3 "$bin/emulator_stream_bench" "$work/page.ppm" emulator)
decoder_cpu=$(for run in 1 2 3; do "$bin/emulator_stream_bench" "$work/page.ppm" decoder; done | sort -n | head -n 1)
read -r scan_wall scan_cpu scan_rss < <(SANE_CONFIG_DIR="$work/sane" LD_LIBRARY_PATH="$PWD/$bin" measure 3 \
  scanimage -d vivaro:emulator:0 --format=pnm --mode Color --resolution 600 -l 0 -t 0 -x 215.9 -y 279.4)
awk -v ew="$emulator_wall" -v ec="$emulator_cpu" -v er="$emulator_rss" -v dc="$decoder_cpu" \
    -v sw="$scan_wall" -v sc="$scan_cpu" -v sr="$scan_rss" 'BEGIN {
  printf "SANE backend, scanimage of the 600 dpi colour letter page from the emulator, best of 3:\n"
  printf "  scanimage:                      %6.2f s wall, %6.2f s processor, peak %6.1f MB\n", sw, sc, sr / 1024
  printf "  emulator alone (page, coding):  %6.2f s wall, %6.2f s processor, peak %6.1f MB\n", ew, ec, er / 1024
  printf "  decoder alone, same stream:                     %6.2f s processor\n", dc
  printf "  backend (scanimage - emulator):                 %6.2f s processor, %.2fx the decoder alone (aim <= 1.2x)\n", sc - ec, (sc - ec) / dc
  printf "  memory beyond the emulator:     %6.1f MB (aim <= 16 MB)\n", (sr - er) / 1024
}'
