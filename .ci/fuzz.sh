#!/usr/bin/env bash
# Builds the wave-list fuzzer, replays its seed corpus and, given a number of seconds,
# fuzzes for that long.   Usage: .ci/fuzz.sh [SECONDS]
set -euo pipefail

seconds="${1:-0}"
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
cxx="${CXX_FUZZ:-clang++-14}"
mkdir -p "$out"

"$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Wall -Wextra -Werror -I"$root/src" \
  "$root/fuzz/wavelist_fuzzer.cpp" \
  "$root/src/engine/WaveList.cpp" \
  "$root/src/engine/NameHash.cpp" \
  "$root/src/engine/FileRead.cpp" \
  "$root/src/platform/headless/HeadlessSound.cpp" \
  -o "$out/wavelist_fuzzer"

corpus="$root/fuzz/corpus/wavelist"
echo "Replaying the seed corpus"
"$out/wavelist_fuzzer" -runs=0 "$corpus"

if [ "$seconds" -gt 0 ]; then
  # New finds go to a scratch corpus so the committed seeds stay small.
  work="$out/corpus-wavelist"
  mkdir -p "$work"
  echo "Fuzzing for $seconds s"
  "$out/wavelist_fuzzer" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
    -artifact_prefix="$out/" "$work" "$corpus"
fi
