#!/usr/bin/env bash
# Builds the mission-file fuzzer, replays its seed corpus and, given a number of seconds,
# fuzzes for that long.   Usage: .ci/fuzz-missionfile.sh [SECONDS]
set -euo pipefail

seconds="${1:-0}"
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
cxx="${CXX_FUZZ:-clang++-14}"
mkdir -p "$out"

# The reader stands alone: the fuzzer brings its own appearance-list stand-ins.
"$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Wall -Wextra -Werror -I"$root/src" \
  "$root/fuzz/missionfile_fuzzer.cpp" \
  "$root/src/missions/MissionFile.cpp" \
  "$root/src/engine/Encoding.cpp" \
  -o "$out/missionfile_fuzzer"

corpus="$root/fuzz/corpus/missionfile"
echo "Replaying the seed corpus"
"$out/missionfile_fuzzer" -runs=0 "$corpus"

if [ "$seconds" -gt 0 ]; then
  # New finds go to a scratch corpus so the committed seeds stay small.
  work="$out/corpus-missionfile"
  mkdir -p "$work"
  echo "Fuzzing for $seconds s"
  "$out/missionfile_fuzzer" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
    -dict="$root/fuzz/missionfile.dict" -artifact_prefix="$out/" "$work" "$corpus"
fi
