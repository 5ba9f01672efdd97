#!/usr/bin/env bash
# Builds the stream decoder's libFuzzer target with clang (ASan + UBSan) in
# build/fuzz and runs it for a fixed time, SECONDS (default 30), starting
# from the starting corpus. A crash leaves build/fuzz/crash-* and fails; keep
# the input as scansource/pipeline/fuzz/regressions/<what-it-broke> so the
# native test suite replays it for good.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIVARO_FUZZ=ON \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build build/fuzz --target stream_decoder_fuzzer -j2 >/dev/null

corpus=build/fuzz/corpus
mkdir -p "$corpus"
echo "fuzz: stream decoder for ${seconds} s"
log=build/fuzz/last-run.log
if build/fuzz/bin/stream_decoder_fuzzer -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/ "$corpus" scansource/pipeline/fuzz/corpus >"$log" 2>&1; then
  grep -E "^stat::number_of_executed_units" "$log" || true
  echo "fuzz: passed"
else
  grep -E "ERROR|SUMMARY|Test unit written|^stat::" "$log" || tail -n 40 "$log"
  echo "fuzz: FAILED; the input is in build/fuzz/crash-* (full log: $log)"
  exit 1
fi
