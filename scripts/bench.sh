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

/usr/bin/python3 sane/bench/scanimage_bench.py "$bin" "$work/page.ppm" "$work"
