#!/usr/bin/env bash
# One program folder, three sittings: each starts the stored campaign, clears its mission
# and accepts going on, so missions 1, 2 and 3 are played in turn and mission 4 is stored
# with the sum of their scores.
set -euo pipefail
sim="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

total=0
for mission in 1 2 3; do
  "$sim" --dir "$dir" --start campaign --auto --god --answer ok,ok,ok,yes,ok --log-dialogs \
    --frames 12000 --trace "$dir/t.jsonl" >"$dir/log"
  grep -q "\"scene\":\"play\".*\"Mission\":$mission," "$dir/t.jsonl"
  grep -q "dialog confirmation: 次の面に進みますか？.* -> yes" "$dir/log"
  score=$(sed -n 's/^dialog information: 任務成功！！戦果は\([0-9]*\)でした。 -> ok$/\1/p' "$dir/log")
  [ -n "$score" ] && [ "$score" -gt 0 ]
  total=$((total + score))
done

"$sim" --dir "$dir" --start campaign --answer ok,ok --frames 30 --trace "$dir/t.jsonl" >/dev/null
last=$(tail -1 "$dir/t.jsonl")
grep -q '"scene":"briefing"' <<<"$last"
grep -q '"Mission":4,' <<<"$last"
grep -q "\"TotalScore\":$total," <<<"$last"
echo "e2e campaign_chain: ok"
