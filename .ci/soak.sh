#!/usr/bin/env bash
# A soak of short randomised headless games: random seeds, difficulties, starts, keys, menu
# choices and dialog answers over every mission there is. Fails on any sanitizer report,
# crash, hang or error in ERRORS.LOG, and prints the command line that reproduces it.
#   Usage: .ci/soak.sh SIM [RUNS] [SEED]
set -euo pipefail

sim="$(realpath "$1")"
runs="${2:-200}"
seed="${3:-$(( $(date +%s) % 32768 ))}"
root="$(cd "$(dirname "$0")/.." && pwd)"
fixtures="$root/tests/soak"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
RANDOM="$seed"

# Every mission that exists: each list started directly where the runner can, else through
# the menu, with settings that have all single missions unlocked.
if "$sim" --dir "$work" --start play:1 --frames 1 >/dev/null 2>&1; then
  starts=(play:{1..11} play:9999 campaign title menu)
else
  starts=(campaign mission:{1..11} mission:9999 title menu)
fi
rm -f "$work"/Torvi.INI "$work"/ERRORS.LOG

keys=(Z X Space Enter Escape Up Down Left Right P F12 F2 Pause H J K L)
items=(OptionSound OptionMusic OptionTossin OptionDirectInput OptionShowFPS OptionEasy
       OptionMedium OptionDifficult GamePause GameNext GameStart N18 N19 N20 N21 N23 N25 N26 N27
       SinglePlay_1 SinglePlay_2 SinglePlay_3 SinglePlay_4 SinglePlay_5 N13 N11
       SearchforHelpOn1 Records GameExit)
answers=(yes no ok ignore cancel text:山本 text:12345 yes ok watch:1)
pick() { local -n list=$1; echo "${list[RANDOM % ${#list[@]}]}"; }

# One game: its folder holds the command, the output and whatever the game wrote.
play() {
  local dir="$1"
  shift
  local code=0
  timeout 300 "$@" >"$dir/out" 2>"$dir/err" || code=$?
  echo "$code" >"$dir/code"
}

jobs_max="$(nproc)"
start_time=$(date +%s)
for ((i = 1; i <= runs; i++)); do
  dir="$work/$i"
  mkdir -p "$dir/game"
  frames=$((300 + RANDOM % 2701))
  start=$(pick starts)
  [ $((RANDOM % 6)) -ne 0 ] && cp "$fixtures/mission$((1 + RANDOM % 5)).INI" "$dir/game/Torvi.INI"
  args=(--dir "$dir/game" --seed $((RANDOM * 32768 + RANDOM)) --difficulty $((1 + RANDOM % 3))
        --start "$start" --frames "$frames")
  [ $((RANDOM % 3)) -ne 0 ] && args+=(--auto)
  [ $((RANDOM % 2)) -eq 0 ] && args+=(--god)
  for ((k = RANDOM % 60; k > 0; k--)); do
    echo "$((1 + RANDOM % frames)) $( ((RANDOM % 2)) && echo down || echo up) $(pick keys)"
  done >"$dir/keys"
  args+=(--keys "$dir/keys")
  for ((k = RANDOM % 4; k > 0; k--)); do
    args+=(--click "$((100 + RANDOM % frames)):$(pick items)")
  done
  list=""
  for ((k = 3 + RANDOM % 20; k > 0; k--)); do list+="${list:+,}$(pick answers)"; done
  args+=(--answer "$list")
  printf '%q ' "$sim" "${args[@]}" >"$dir/command"
  while [ "$(jobs -rp | wc -l)" -ge "$jobs_max" ]; do wait -n || true; done
  play "$dir" "$sim" "${args[@]}" &
done
wait

failed=0 frames_total=0 early=0
for ((i = 1; i <= runs; i++)); do
  dir="$work/$i"
  code=$(cat "$dir/code")
  done_frames=$(sed -n 's/^frames: \([0-9]*\).*/\1/p' "$dir/out")
  frames_total=$((frames_total + ${done_frames:-0}))
  sed -n 's/^frames: [0-9]*  scene: \([a-z]*\)$/\1/p; s/^frames: [0-9]*  \(closed\)$/\1/p' \
    "$dir/out" >>"$work/scenes"
  why=""
  if grep -qE "Sanitizer|runtime error:" "$dir/err"; then
    why="sanitizer report"
  elif [ "$code" -eq 124 ]; then
    why="hang"
  elif [ "$code" -ge 128 ] || [ "$code" -eq 2 ]; then
    why="exit $code"
  elif [ -s "$dir/game/ERRORS.LOG" ]; then
    why="error logged: $(head -1 "$dir/game/ERRORS.LOG")"
  elif [ "$code" -ne 0 ]; then
    # A menu item chosen while it was disabled or hidden ends the run: a player could not
    # have chosen it. Anything else is a failure.
    if grep -qE "menu item '.*' is (disabled|hidden)" "$dir/err"; then
      early=$((early + 1))
    else
      why="exit $code: $(tail -1 "$dir/err")"
    fi
  fi
  if [ -n "$why" ]; then
    failed=$((failed + 1))
    echo "soak run $i failed ($why):"
    cat "$dir/command"
    echo
    head -40 "$dir/err"
  fi
done
elapsed=$(($(date +%s) - start_time))
echo "soak: $runs runs (seed $seed), $frames_total frames, ${elapsed} s," \
  "$early ended early by a menu choice, $failed failed"
echo "soak: last scenes: $(sort "$work/scenes" | uniq -c | awk '{printf "%s %s, ", $2, $1}')"
[ "$failed" -eq 0 ]
