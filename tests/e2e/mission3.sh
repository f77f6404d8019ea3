#!/usr/bin/env bash
# Mission 3 flown by the runner's pilot on each difficulty: the wingman sights the landing
# force, its four waves of eleven craft are sunk, and the closing radio line and the bonuses
# follow.
set -euo pipefail
sim="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

for d in 1 2 3; do
  t="$out/trace$d.jsonl"
  "$sim" --dir "$out" --seed "$d" --difficulty "$d" --start play:3 --auto --god --until result \
    --frames 20000 --trace "$t" >"$out/stdout"
  grep -q "scene: result" "$out/stdout"
  grep -q '"CurrentMusic":"BOSS".*"Text":"僚機：敵上陸部隊を発見！"' "$t"
  for craft in LCI LSM; do
    sunk=$(grep -o "\"id\":[0-9]*,\"class\":\"TEnemy$craft\"[^}]*\"State\":-1" "$t" |
      cut -d, -f1 | sort -u | wc -l)
    [ "$sunk" -eq 22 ]
  done
  grep -q '"Text":"僚機：上陸部隊の撃退を確認、帰投する！"' "$t"
  grep -q '"Text":"作戦成功"' "$t"
done
echo "e2e mission3: ok"
