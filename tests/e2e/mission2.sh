#!/usr/bin/env bash
# Mission 2 flown by the runner's pilot on each difficulty: the battleship holds the schedule
# until it sinks, brings the reinforcement waves with it on the harder settings only, and the
# bonuses follow.
set -euo pipefail
sim="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

ship='"class":"TEnemyMissouri","X":[-0-9.e]*,"Y":[-0-9.e]*,"Z":-10'
for d in 1 2 3; do
  t="$out/trace$d.jsonl"
  "$sim" --dir "$out" --seed "$d" --difficulty "$d" --start play:2 --auto --god --until result \
    --frames 20000 --trace "$t" >"$out/stdout"
  grep -q "scene: result" "$out/stdout"
  grep -q "$ship,\"State\":-1" "$t"
  # While it is afloat it holds the clock (from its first move on: the frame it enters it has
  # not moved yet); the waves fly only on medium and difficult.
  afloat=$(grep "$ship,\"State\":[0-9]" "$t")
  [ "$(grep -c '"AdvanceStopped":false' <<<"$afloat" || true)" -eq 1 ]
  waves=$(grep -c '"ReinforcementsOn":true' <<<"$afloat" || true)
  if [ "$d" = 1 ]; then [ "$waves" -eq 0 ]; else [ "$waves" -gt 0 ]; fi
  # The difficulty bonus is credited in one step.
  awk -F'"Score":' '/"scene":"play"/ { split($2, a, ","); print a[1] }' "$t" |
    awk 'NR > 1 { print $1 - last } { last = $1 }' | grep -qx "${d}0000"
done
echo "e2e mission2: ok"
