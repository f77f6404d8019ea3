#!/usr/bin/env bash
# Missions 4 and 5 flown by the runner's pilot on every difficulty: the escort ends with
# the commander's bonus, the great bomber holds the schedule until it falls, and both reach
# the closing scene.
set -euo pipefail
sim="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The changes of the score from one play frame to the next.
jumps() {
  grep '"scene":"play"' "$1" | sed 's/.*"Score":\(-\?[0-9]*\).*/\1/' |
    awk 'NR > 1 { print $1 - last } { last = $1 }'
}

for d in 1 2 3; do
  "$sim" --dir "$out" --seed "$d" --difficulty "$d" --start play:4 --auto --god --until result \
    --frames 15000 --trace "$out/m4.jsonl" >"$out/stdout"
  grep -q "scene: result" "$out/stdout"
  grep -q '"class":"TCyoukanIssiki"' "$out/m4.jsonl"
  # Its damage counted but stopped short of the end; the last play frame credits the
  # commander's bonus for what was left of it.
  damage=$(grep '"scene":"play"' "$out/m4.jsonl" | tail -n 1 | sed 's/.*"CommanderDamage":\([0-9.]*\).*/\1/')
  awk -v d="$damage" 'BEGIN { exit !(d > 0 && d <= 99) }'
  bonus=$(awk -v d="$damage" 'BEGIN { r = int(d + 0.5); if (r - d == 0.5 && r % 2) r--; print 5000 - 50 * r }')
  steps=$(jumps "$out/m4.jsonl")
  grep -qx "$bonus" <<<"$steps"
  grep -qx "$((d * 10000))" <<<"$steps"

  "$sim" --dir "$out" --seed "$d" --difficulty "$d" --start play:5 --auto --god --until result \
    --frames 15000 --trace "$out/m5.jsonl" >"$out/stdout"
  grep -q "scene: result" "$out/stdout"
  grep -q '"CurrentMusic":"BOSS","ScrollSpeed":[0-9-]*,"AdvanceStopped":true.*"class":"TEnemyB29"' \
    "$out/m5.jsonl"
  # Its destruction is worth 25000 (whatever else falls in the same frame).
  steps=$(jumps "$out/m5.jsonl")
  awk '$1 >= 25000 && $1 < 26000 { found = 1 } END { exit !found }' <<<"$steps"
done
echo "e2e missions4_5: ok"
