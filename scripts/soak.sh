#!/usr/bin/env bash
# The data source's soak under Wine: twainapp opens and closes the source 20
# times with 200 transfers against the emulated scanner (native, memory with
# some given up halfway, file; every pixel type; 150 and 600 dpi) and prints
# private bytes, handles and GDI/USER objects every 20 transfers. It runs
# through Wine's own manager (twain_32.dll) and, when its DLL is there,
# through the TWAIN Working Group's TWAINDSM.dll (64-bit build 2.4.3; set
# TWAINDSM_DLL to its path, else ../shared/third_party/twaindsm is looked in).
# A benchmark that prints figures, not part of scripts/test.sh; the exit
# code is 0 when every soak stayed flat.
#   scripts/soak.sh [SESSIONS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sessions=${1:-20}
build=$root/build/win64

export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target twainapp ZVP4T___ ZVP4_d__ ZVP4_i__ -j2 >/dev/null

run() { "$root/tools/wine/run-in-prefix.sh" "$build" "$@"; }
"$root/tools/wine/session.sh" start "$build" >/dev/null
work=$(mktemp -d "$build/soak.XXXXXX")
trap 'rm -rf "$work"; "$root/tools/wine/session.sh" stop "$build" >/dev/null' EXIT

# The source as both managers find it: Wine's loads twain_64\sane.ds only,
# TWAINDSM.dll looks in the folders below twain_64.
windows=$build/wineprefix/drive_c/windows
mkdir -p "$windows/twain_64/Vivaro" "$windows/twain_32/ZVP4" "$windows/TWAIN_32/ZVP4"
cp "$build/bin/ZVP4T___.ds" "$windows/twain_64/sane.ds"
cp "$build/bin/ZVP4_d__.dll" "$build/bin/ZVP4_i__.dll" "$windows/twain_64/"
cp "$build/bin/ZVP4T___.ds" "$build/bin/ZVP4_d__.dll" "$build/bin/ZVP4_i__.dll" "$windows/twain_64/Vivaro/"
cp "$build/bin/ZVP4S___.cfg" "$windows/twain_32/ZVP4/"

# A letter page of 100 dpi for the emulator: colour, with grey and black.
convert -size 850x1100 gradient:navy-gold -fill white -draw 'rectangle 100,100 750,300' \
  -fill black -draw 'rectangle 200,600 650,900' -depth 8 "$work/page.ppm"
page=$(run winepath -w "$work/page.ppm" 2>/dev/null)

status=0
soak() {
  local manager=$1
  echo "== $manager"
  ZVP4_EMULATOR=$page run "$build/bin/twainapp.exe" --soak "$sessions" --manager "$manager" || status=1
}

soak twain_32.dll
twaindsm=${TWAINDSM_DLL:-}
for candidate in "$root/../shared/third_party/twaindsm/TWAINDSM.dll" \
                 "$root/../../shared/third_party/twaindsm/TWAINDSM.dll"; do
  [ -z "$twaindsm" ] && [ -f "$candidate" ] && twaindsm=$candidate
done
if [ -n "$twaindsm" ] && [ -f "$twaindsm" ]; then
  if file "$twaindsm" | grep -q 'x86-64'; then
    cp "$twaindsm" "$work/TWAINDSM.dll"
    soak "$(run winepath -w "$work/TWAINDSM.dll" 2>/dev/null)"
  else
    echo "== TWAINDSM.dll at $twaindsm is not a 64-bit DLL; wine64 cannot load it into twainapp"
  fi
else
  echo "== no TWAINDSM.dll found (TWAINDSM_DLL or ../shared/third_party/twaindsm): only Wine's manager was soaked"
fi
exit $status
