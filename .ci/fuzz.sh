#!/usr/bin/env bash
# Builds a fuzz target, replays its seed corpus and, given a number of seconds, fuzzes for
# that long.   Usage: .ci/fuzz.sh [TARGET] [SECONDS]
#   TARGET: wavelist (the default), settings, encoding, missionfile or replay
set -euo pipefail

target=wavelist
if [ $# -gt 0 ] && ! [[ "$1" =~ ^[0-9]+$ ]]; then
  target="$1"
  shift
fi
seconds="${1:-0}"
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
# Any clang++: the plain name, else the newest versioned one installed.
cxx="${CXX_FUZZ:-$(command -v clang++ || ls /usr/bin/clang++-[0-9]* 2>/dev/null | sort -V | tail -n 1)}"
[ -n "$cxx" ] || { echo "fuzz.sh: no clang++ found (install clang)" >&2; exit 2; }
mkdir -p "$out"

case "$target" in
  wavelist)
    sources=(src/engine/WaveList.cpp src/engine/NameHash.cpp src/engine/FileRead.cpp
             src/platform/headless/HeadlessSound.cpp) ;;
  settings)
    sources=(src/shell/Settings.cpp src/engine/Scrambler.cpp src/engine/Encoding.cpp
             src/engine/FileRead.cpp src/engine/Random.cpp) ;;
  encoding)
    sources=(src/engine/Encoding.cpp src/engine/Scrambler.cpp src/engine/Random.cpp) ;;
  missionfile)
    # The fuzzer brings its own stand-ins for the appearance list.
    sources=(src/missions/MissionFile.cpp src/engine/Encoding.cpp) ;;
  replay)
    sources=(src/shell/Replay.cpp) ;;
  *)
    echo "unknown fuzz target '$target'" >&2
    exit 2 ;;
esac

"$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Wall -Wextra -Werror -I"$root/src" \
  "$root/fuzz/${target}_fuzzer.cpp" "${sources[@]/#/$root/}" \
  -o "$out/${target}_fuzzer"

corpus="$root/fuzz/corpus/$target"
echo "Replaying the $target seed corpus"
"$out/${target}_fuzzer" -runs=0 "$corpus"

if [ "$seconds" -gt 0 ]; then
  # New finds go to a scratch corpus so the committed seeds stay small.
  work="$out/corpus-$target"
  mkdir -p "$work"
  echo "Fuzzing $target for $seconds s"
  dict=()
  [ -f "$root/fuzz/$target.dict" ] && dict=(-dict="$root/fuzz/$target.dict")
  "$out/${target}_fuzzer" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
    "${dict[@]}" -artifact_prefix="$out/$target-" "$work" "$corpus"
fi
