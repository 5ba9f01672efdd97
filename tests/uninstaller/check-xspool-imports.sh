#!/usr/bin/env bash
# The uninstaller must reach the spooler and the registry only through
# XSPOOL_Z.dll, and XSPOOL_Z.dll must export the 27 functions under their
# plain Windows names (no @n suffix on i686).
#   check-xspool-imports.sh OBJDUMP UNINSTALLER_EXE XSPOOL_DLL
set -uo pipefail
objdump=$1 program=$2 library=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

functions="EnumPrintersA OpenPrinterA ClosePrinter GetPrinterA SetPrinterA GetPrinterDataA EnumJobsA SetJobA
DeletePrinter DeletePrinterConnectionA EnumPrinterDriversA GetPrinterDriverA DeletePrinterDriverA DeleteMonitorA
EnumPrintProcessorsA DeletePrintProcessorA GetPrinterDriverDirectoryA GetPrintProcessorDirectoryA RegOpenKeyA
RegOpenKeyExA RegEnumKeyA RegEnumValueA RegQueryValueExA RegSetValueExA RegDeleteKeyA RegDeleteValueA RegCloseKey"

exports=$("$objdump" -p "$library" | awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next } on && /^$/ { on = 0 } on { print $NF }')
[ "$(echo "$exports" | grep -c .)" -eq 27 ] || fail "XSPOOL_Z exports $(echo "$exports" | grep -c .) names, not 27"
for name in $functions; do
  echo "$exports" | grep -qx "$name" || fail "XSPOOL_Z does not export $name"
done

# "dll function" for every import of the program.
imports=$("$objdump" -p "$program" | awk '
  /DLL Name:/ { dll = toupper($3) }
  /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $NF }')
for name in $functions; do
  echo "$imports" | awk -v n="$name" '$2 == n && $1 != "XSPOOL_Z.DLL" { found = 1 } END { exit !found }' &&
    fail "uninstaller imports $name from $(echo "$imports" | awk -v n="$name" '$2 == n { print $1 }')"
done
echo "$imports" | grep -q "^WINSPOOL" && fail "uninstaller imports from winspool"
echo "$imports" | grep -q "^XSPOOL_Z.DLL " || fail "uninstaller imports nothing from XSPOOL_Z.dll"

[ "$failures" -eq 0 ] && echo "uninstaller and XSPOOL_Z imports: ok"
exit "$failures"
