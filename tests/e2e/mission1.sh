#!/usr/bin/env bash
# Mission 1 flown by the runner's pilot on medium: the carrier fight, the bonuses and the
# closing scene.
set -euo pipefail
sim="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$sim" --dir "$out" --seed 7 --difficulty 2 --start campaign --auto --god --until result \
  --frames 20000 --trace "$out/trace.jsonl" >"$out/stdout"
grep -q "scene: result" "$out/stdout"
[ "$(tail -n 1 "$out/trace.jsonl" | grep -o '"scene":"[a-z]*"')" = '"scene":"result"' ]

# The carrier came out to the boss theme and held the schedule while it lived.
grep -q '"CurrentMusic":"BOSS","ScrollSpeed":[0-9-]*,"AdvanceStopped":true.*"class":"TEnemyEnterprise"' \
  "$out/trace.jsonl"

# Play ends with a score, and the last steps of it credit the medium bonus (20000) and,
# undamaged, the full damage bonus (100 x 20).
scores=$(grep '"scene":"play"' "$out/trace.jsonl" | sed 's/.*"Score":\(-\?[0-9]*\).*/\1/')
[ "$(tail -n 1 <<<"$scores")" -gt 0 ]
jumps=$(awk 'NR > 1 { print $1 - last } { last = $1 }' <<<"$scores")
grep -qx 20000 <<<"$jumps"
grep -qx 2000 <<<"$jumps"
echo "e2e mission1: ok"
