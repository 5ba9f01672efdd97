#!/usr/bin/env bash
# twainapp under Wine, through Wine's own data source manager, with the
# emulated scanner: each transfer mechanism and pixel type gives the
# emulator's page, and every file format the source writes reads back in
# ImageMagick with the page's pixels (JPEG within its loss).
#   twainapp-transfers.sh SOURCE_ROOT BUILD_DIR
set -euo pipefail
root=$1
build=$(cd "$2" && pwd)
run() { "$root/tools/wine/run-in-prefix.sh" "$build" "$@"; }
work=$(mktemp -d "$build/twainapp-transfers.XXXXXX")
trap 'rm -rf "$work"' EXIT

windows=$build/wineprefix/drive_c/windows
mkdir -p "$windows/twain_64" "$windows/twain_32/ZVP4" "$windows/TWAIN_32/ZVP4"
cp "$build/bin/ZVP4T___.ds" "$windows/twain_64/sane.ds"
cp "$build/bin/ZVP4_d__.dll" "$build/bin/ZVP4_i__.dll" "$windows/twain_64/"
cp "$build/bin/ZVP4S___.cfg" "$windows/twain_32/ZVP4/"

# Pages at 150 dpi, one inch long, scanned at 150 dpi over that inch. The
# line-art page holds only black and white, so any threshold reads it alike.
frame=0,0,8.5,1
convert -size 1275x150 gradient:navy-gold -fill firebrick -draw 'circle 300,75 300,20' \
  -fill white -draw 'rectangle 700,10 1200,60' -depth 8 "$work/page-rgb.ppm"
convert -size 1275x150 gradient:black-white -fill black -draw 'rectangle 900,40 1100,110' \
  -depth 8 "$work/page-gray.pgm"
convert "$work/page-gray.pgm" -threshold 50% -depth 8 "$work/page-bw.pgm"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# scan TYPE OUT [twainapp options...]: one twainapp run on TYPE's page.
scan() {
  local type=$1 out=$2; shift 2
  local page
  page=$(run winepath -w "$work/page-$type.$( [ "$type" = rgb ] && echo ppm || echo pgm )" 2>/dev/null)
  if ! ZVP4_EMULATOR=$page run "$build/bin/twainapp.exe" --no-ui --pixel-type "$type" --resolution 150 \
      --frame "$frame" --out "$(run winepath -w "$out" 2>/dev/null)" "$@" >"$out.log" 2>&1; then
    fail "twainapp $type $*: $(tr '\n' ' ' <"$out.log")"
    return 1
  fi
}

# same IMAGE PAGE: the pixels are the page's, exactly.
same() {
  local differing
  differing=$(compare -metric AE "$1" "$2" null: 2>&1) || true
  [ "$differing" = 0 ] || fail "$(basename "$1") differs from $(basename "$2") in $differing pixels"
}

for type in bw gray rgb; do
  page=$work/page-$type.$( [ "$type" = rgb ] && echo ppm || echo pgm )
  for mechanism in native memory; do
    scan "$type" "$work/$mechanism-$type.bmp" --transfer "$mechanism" && same "$work/$mechanism-$type.bmp" "$page"
  done
  scan "$type" "$work/file-$type.bmp" --transfer file --file-format bmp && same "$work/file-$type.bmp" "$page"
done

for format in tiff png; do
  extension=$([ $format = tiff ] && echo tif || echo $format)
  for type in gray rgb; do
    page=$work/page-$type.$( [ "$type" = rgb ] && echo ppm || echo pgm )
    out=$work/file-$type.$extension
    scan "$type" "$out" --transfer file --file-format $format && same "$out" "$page"
  done
done

# JPEG: lossy, so close to the page rather than equal.
scan rgb "$work/file-rgb.jpg" --transfer file --file-format jpeg && {
  [ "$(identify -format %m "$work/file-rgb.jpg")" = JPEG ] || fail "file-rgb.jpg is not a JPEG"
  psnr=$(compare -metric PSNR "$work/file-rgb.jpg" "$work/page-rgb.ppm" null: 2>&1 || true)
  awk -v p="$psnr" 'BEGIN { exit !(p == "inf" || p + 0 >= 30) }' || fail "file-rgb.jpg is too far from the page (PSNR $psnr)"
}

# Three pages from the feeder into one multi-page TIFF.
scan gray "$work/pages.tif" --transfer file --file-format tiff-multi --feeder --pages 3 && {
  count=$(identify "$work/pages.tif" | wc -l)
  [ "$count" = 3 ] || fail "pages.tif holds $count pages, not 3"
  for index in 0 1 2; do same "$work/pages.tif[$index]" "$work/page-gray.pgm"; done
}

if [ "$failures" -ne 0 ]; then
  echo "$failures failures" >&2
  exit 1
fi
echo "every transfer gave the emulator's page"
