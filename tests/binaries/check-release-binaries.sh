#!/usr/bin/env bash
# Checks the i686 release binaries as a Windows loader and a TWAIN manager
# would see them:
#   - each is a PE32 image for i386;
#   - none imports a MinGW runtime DLL (they must run on a bare Windows);
#   - the data source exports DS_Entry as ordinal 1 and _UsbIn@0 as ordinal 2,
#     with exactly those names;
#   - the imaging library exports its six calls under ordinals 101, 103,
#     104, 106, 124 and 151, undecorated;
#   - the data source carries no scanner emulator (a test-build option);
#   - the uninstaller reads no trace file name from the environment (a
#     test-build option as well).
#   check-release-binaries.sh OBJDUMP BINARY...
set -uo pipefail
objdump=$1; shift
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Prints "ordinal name" for every named export.
named_exports() {
  "$objdump" -p "$1" | awk '
    /^Export Address Table -- Ordinal Base/ { base = $NF }
    /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
    names && /^$/ { names = 0 }
    names { line = $0; sub(/^[ \t]*\[ */, "", line); split(line, part, /\] /); print base + part[1], part[2] }'
}

for binary in "$@"; do
  name=$(basename "$binary")
  if [ ! -f "$binary" ]; then fail "$name: missing"; continue; fi
  format=$("$objdump" -f "$binary" | sed -n 's/.*file format //p')
  [ "$format" = "pei-i386" ] || fail "$name: file format is '$format', not pei-i386"
  runtime=$("$objdump" -p "$binary" | grep -i -E 'DLL Name: (libgcc|libstdc|libwinpthread|libssp|libgomp)' || true)
  [ -z "$runtime" ] || fail "$name: needs a MinGW runtime DLL: $runtime"
  if [ "$name" = "ZVP4T___.ds" ]; then
    exports=$(named_exports "$binary")
    grep -qx '1 DS_Entry' <<<"$exports" || fail "$name: DS_Entry is not exported as ordinal 1 (exports: $exports)"
    grep -qx '2 _UsbIn@0' <<<"$exports" || fail "$name: _UsbIn@0 is not exported as ordinal 2 (exports: $exports)"
    grep -q 'DS_Entry@' <<<"$exports" && fail "$name: DS_Entry is exported decorated"
    for marker in ZVP4_EMULATOR 'garbage-header' 'Scanner emulator'; do
      grep -a -q -F "$marker" "$binary" && fail "$name: carries the scanner emulator ('$marker' found)"
    done
  fi
  if [ "$name" = "uninstaller.exe" ]; then
    grep -a -q -F VIVARO_TRACE_FILE "$binary" && fail "$name: appends its trace to a file the environment names"
  fi
  if [ "$name" = "ZVP4_i__.dll" ]; then
    exports=$(named_exports "$binary")
    for ordinal in 101 103 104 106 124 151; do
      grep -q "^$ordinal " <<<"$exports" || fail "$name: nothing exported as ordinal $ordinal (exports: $exports)"
    done
    grep -q '@' <<<"$exports" && fail "$name: an export is decorated"
  fi
  echo "checked $name: $format"
done

[ "$failures" -eq 0 ] || { echo "$failures problem(s)"; exit 1; }
echo "all release binaries pass"
