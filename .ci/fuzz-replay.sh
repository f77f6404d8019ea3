#!/usr/bin/env bash
# Builds the replay reader's fuzzer, replays its seed corpus and, given a number of seconds,
# fuzzes for that long.   Usage: .ci/fuzz-replay.sh [SECONDS]
set -euo pipefail

seconds="${1:-0}"
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
cxx="${CXX_FUZZ:-clang++-14}"
mkdir -p "$out"

# The reader stands alone.
"$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Wall -Wextra -Werror -I"$root/src" \
  "$root/fuzz/replay_fuzzer.cpp" \
  "$root/src/shell/Replay.cpp" \
  -o "$out/replay_fuzzer"

corpus="$root/fuzz/corpus/replay"
echo "Replaying the seed corpus"
"$out/replay_fuzzer" -runs=0 "$corpus"

if [ "$seconds" -gt 0 ]; then
  # New finds go to a scratch corpus so the committed seeds stay small.
  work="$out/corpus-replay"
  mkdir -p "$work"
  echo "Fuzzing for $seconds s"
  "$out/replay_fuzzer" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
    -artifact_prefix="$out/" "$work" "$corpus"
fi
