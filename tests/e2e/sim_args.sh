#!/usr/bin/env bash
# The runner's command line: the seed decides the game, bad numbers are usage errors, and
# --data names where the music comes from.
set -euo pipefail
sim="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

refused() {  # expected message, then the arguments
  local want="$1" code=0
  shift
  timeout 10 "$sim" --dir "$dir" "$@" >/dev/null 2>"$dir/err" || code=$?
  [ "$code" -eq 2 ] || { echo "exit $code for $*" >&2; exit 1; }
  grep -q -- "$want" "$dir/err" || { cat "$dir/err" >&2; exit 1; }
  ! grep -q stoull "$dir/err"
}
refused "bad seed: 'abc'" --seed abc
refused "bad seed: '-1'" --seed -1
refused "bad seed: '4294967296'" --seed 4294967296
refused "frame count must be at least 1" --frames -5
refused "frame count must be at least 1" --frames 0
refused "no data folder" --data "$dir/missing"

game() {  # seed, trace file
  "$sim" --dir "$dir" --seed "$1" --difficulty 3 --start campaign --auto --god --answer ok,ok,ok \
    --frames 1500 --trace "$2" >/dev/null
}
game 1 "$dir/a.jsonl"
game 1 "$dir/b.jsonl"
game 2 "$dir/c.jsonl"
cmp -s "$dir/a.jsonl" "$dir/b.jsonl" || { echo "the same seed gave two games" >&2; exit 1; }
! cmp -s "$dir/a.jsonl" "$dir/c.jsonl" || { echo "two seeds gave one game" >&2; exit 1; }

# Music from a folder of the player's choice: an empty one has none, and says so.
mkdir "$dir/empty"
code=0
"$sim" --dir "$dir" --data "$dir/empty" --frames 5 >/dev/null 2>&1 || code=$?
[ "$code" -eq 1 ]
grep -q "$dir/empty/DefMusic.dxw" "$dir/ERRORS.LOG"
cp "$(dirname "$sim")/DefMusic.dxw" "$dir/empty/"
"$sim" --dir "$dir" --data "$dir/empty" --frames 5 | grep -q "scene: title"
echo "e2e sim_args: ok"
