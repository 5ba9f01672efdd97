#!/usr/bin/env bash
# Builds every libFuzzer target with clang (ASan + UBSan) in build/fuzz and
# runs each for SECONDS (default 30), starting from its committed corpus.
#   scripts/fuzz.sh [SECONDS] [NAME-PATTERN]
# A crash or a broken property leaves build/fuzz/artifacts/NAME/crash-* and
# fails; keep the input as <folder>/fuzz/regressions/NAME/<what-it-broke>
# so the native tests replay it for good. Prints per target the executions,
# coverage (cov) and features (ft) reached.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
pattern=${2:-.}
mkdir -p build
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

if ! CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIVARO_FUZZ=ON \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >build/fuzz-configure.log 2>&1; then
  tail -n 30 build/fuzz-configure.log; echo "fuzz: configure failed"; exit 1
fi
tab=$'\t'
mapfile -t lines < <(grep -v '^$' build/fuzz/fuzz-targets.txt | grep -E "^[^$tab]*(${pattern})")
names=()
for line in "${lines[@]}"; do names+=("${line%%$tab*}"); done
if ! cmake --build build/fuzz --target "${names[@]}" -j2 >build/fuzz/build.log 2>&1; then
  tail -n 40 build/fuzz/build.log; echo "fuzz: build failed"; exit 1
fi

failed=0
printf '%-28s %10s %8s %8s\n' target executions cov ft
for line in "${lines[@]}"; do
  IFS=$'\t' read -r name corpus regressions dictionary maxlen <<<"$line"
  work=build/fuzz/corpus/$name artifacts=build/fuzz/artifacts/$name
  mkdir -p "$work" "$artifacts"
  inputs=("$work" "$corpus")
  [ -d "$regressions" ] && inputs+=("$regressions")
  options=(-max_total_time="$seconds" -max_len="$maxlen" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$artifacts/")
  [ "$dictionary" != "-" ] && options+=(-dict="$dictionary")
  log=build/fuzz/$name.log
  if build/fuzz/bin/"$name" "${options[@]}" "${inputs[@]}" >"$log" 2>&1; then
    runs=$(grep -oP '^stat::number_of_executed_units: \K[0-9]+' "$log" | tail -n 1)
    cov=$(grep -oP 'cov: \K[0-9]+' "$log" | tail -n 1)
    ft=$(grep -oP 'ft: \K[0-9]+' "$log" | tail -n 1)
    printf '%-28s %10s %8s %8s\n' "$name" "${runs:-?}" "${cov:-?}" "${ft:-?}"
  else
    failed=$((failed + 1))
    echo "$name: FAILED (log: $log)"
    grep -E "fuzz property broken|ERROR|SUMMARY|Test unit written" "$log" | head -n 8
  fi
done
if [ "$failed" -ne 0 ]; then
  echo "fuzz: $failed of ${#lines[@]} targets FAILED; inputs in build/fuzz/artifacts/<target>/"
  exit 1
fi
echo "fuzz: ${#lines[@]} targets passed, ${seconds} s each"
