#!/usr/bin/env bash
# Sets up the machine, builds all three presets and runs every test.
# Ends with one line that adds up the three ctest runs.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1

passed=0; failed=0; status=0
for preset in native win32 win64; do
  echo "== $preset: configure and build"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"/tmp/vivaro-build-$preset.log" 2>&1; then
    tail -n 60 "/tmp/vivaro-build-$preset.log"
    echo "== $preset: build failed"
    status=1; failed=$((failed + 1)); continue
  fi
  echo "== $preset: test"
  ctest --preset "$preset" 2>&1 | tee "/tmp/vivaro-ctest-$preset.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "/tmp/vivaro-ctest-$preset.log" | tail -n 1)
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1])); passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  fi
done

# Every fuzz target for a short standing budget (counts as one test); a
# person starts longer runs with scripts/fuzz.sh SECONDS.
echo "== fuzz: configure, build and run"
if scripts/fuzz.sh 10; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi

echo "total: $passed passed, $failed failed"
exit $status
