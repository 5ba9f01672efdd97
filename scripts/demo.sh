#!/usr/bin/env bash
# The demo: sets up the machine, builds the Windows programs and runs them
# under Wine on a virtual display, saving a picture of each in out/demo/;
# the scanned page also comes through the SANE backend with scanimage.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64

build=$root/build/win64
out=$root/out/demo
mkdir -p "$out"
run() { "$root/tools/wine/run-in-prefix.sh" "$build" "$@"; }

tools/wine/session.sh start "$build"
trap 'tools/wine/session.sh stop "$build" >/dev/null' EXIT

# shoot PROGRAM "Window title" picture.png [arguments...]
shoot() {
  local program=$1 title=$2 picture=$3; shift 3
  (cd "$build/bin" && run "$program" "$@" >/dev/null 2>&1 &)
  if run "$build/bin/winshot.exe" "$title" "$(run winepath -w "$out/$picture" 2>/dev/null)" 40 >/dev/null; then
    echo "demo: $out/$picture"
  else
    echo "demo: $program did not show \"$title\"" >&2
  fi
  WINEPREFIX=$build/wineprefix wineserver -k 2>/dev/null || true
  sleep 1
}

# install_source: puts the data source where Wine's data source manager
# looks for a 64-bit source, with its support library and translations.
install_source() {
  local windows=$build/wineprefix/drive_c/windows
  mkdir -p "$windows/twain_64" "$windows/twain_32/ZVP4" "$windows/TWAIN_32/ZVP4"
  cp "$build/bin/ZVP4T___.ds" "$windows/twain_64/sane.ds"
  cp "$build/bin/ZVP4_d__.dll" "$windows/twain_64/"
  cp "$build/bin/ZVP4_i__.dll" "$windows/twain_64/"
  cp "$build/bin/ZVP4S___.cfg" "$windows/twain_32/ZVP4/"
}

# The uninstaller on a populated prefix: the package's traces beside another
# vendor's, removed through the window. The pictures show the printers it
# offers and the removal panel finishing; the difference says why each item
# went (the plan line). An empty prefix would only show the missing-scripts
# warning.
if (cd "$build/bin" && run ./uninstaller_removal_tests.exe --gtest_filter='*FullRemoval*' >"$out/uninstaller-removal.log" 2>&1); then
  cp "$build/bin/screenshots/uninstaller_removal_full_selection.png" "$out/uninstaller.png"
  cp "$build/bin/screenshots/uninstaller_removal_full.png" "$out/uninstaller-removal.png"
  echo "demo: $out/uninstaller.png (the package's printers offered for removal)"
  echo "demo: $out/uninstaller-removal.png"
  echo "demo: what the removal changed in the prefix (- gone, + new):"
  cat "$build/bin/uninstaller_removal_full_difference.txt"
else
  echo "demo: the populated-prefix removal failed (see $out/uninstaller-removal.log)" >&2
fi
WINEPREFIX=$build/wineprefix wineserver -k 2>/dev/null || true

# The scanner is the emulator, with a page made here on its glass.
install_source
convert -size 1275x1650 gradient:white-lightsteelblue \
  -fill navy -draw 'rectangle 120,120 1155,200' \
  -fill firebrick -draw 'circle 640,800 640,1100' \
  -fill black -draw 'rectangle 120,1400 1155,1410' -depth 8 "$out/page.ppm"
export ZVP4_EMULATOR=$(run winepath -w "$out/page.ppm" 2>/dev/null)
shoot twainapp.exe "Vivaro 5310MF Scan" scan-window.png
# The page scanned at 150 dpi in colour and handed over by native transfer.
if (cd "$build/bin" && run twainapp.exe --no-ui --transfer native --pixel-type rgb --resolution 150 \
      --out "$(run winepath -w "$out/scanned-page.bmp" 2>/dev/null)" >"$out/twainapp.log" 2>&1) &&
   convert "$out/scanned-page.bmp" "$out/scanned-page.png"; then
  echo "demo: $out/scanned-page.png (native transfer, $(identify -format '%wx%h' "$out/scanned-page.png"))"
else
  echo "demo: the native transfer failed (see $out/twainapp.log)" >&2
fi
WINEPREFIX=$build/wineprefix wineserver -k 2>/dev/null || true
unset ZVP4_EMULATOR

# The same page through the SANE backend on Linux: Debian's scanimage scans it
# from the emulator in colour at 150 dpi (the optimised host build's backend).
cmake --preset bench >/dev/null && cmake --build --preset bench --target sane_vivaro >/dev/null
mkdir -p "$out/sane"
echo vivaro >"$out/sane/dll.conf"
echo "emulator $out/page.ppm" >"$out/sane/vivaro.conf"
if SANE_CONFIG_DIR="$out/sane" LD_LIBRARY_PATH="$root/build/bench/bin" scanimage -d vivaro:emulator:0 \
      --mode Color --resolution 150 --format=png -o "$out/scanimage-page.png" >"$out/scanimage.log" 2>&1; then
  echo "demo: $out/scanimage-page.png (scanimage through the SANE backend, $(identify -format '%wx%h' "$out/scanimage-page.png"))"
else
  echo "demo: scanimage could not scan the page (see $out/scanimage.log)" >&2
fi

# The scan settings window after a preview of the emulated page, with a
# selection drawn by pointer input (the window's live test takes the picture).
if (cd "$build/bin" && run twain_scan_window_tests.exe --gtest_filter='*Preview*') >"$out/scan-window-preview.log" 2>&1; then
  cp "$build/bin/screenshots/scan_window_preview.png" "$out/scan-window-preview.png"
  echo "demo: $out/scan-window-preview.png"
else
  echo "demo: the preview picture was not taken (see $out/scan-window-preview.log)" >&2
fi

# devfinder searches the network as soon as its window opens, so it is only
# shown inside the network lab (needs root and network namespaces).
if tests/netlab/devfinder-lab-test.sh "$build" "$build/netlab-demo" >"$out/devfinder-lab.log" 2>&1; then
  cp "$build/bin/screenshots/devfinder-lab.png" "$out/devfinder.png"
  echo "demo: $out/devfinder.png"
else
  echo "demo: devfinder not shown; the network lab is not available here (see $out/devfinder-lab.log)" >&2
fi
