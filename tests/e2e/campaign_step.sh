#!/usr/bin/env bash
# A new campaign: mission 1 played to its end, "次の面に進みますか？" answered Yes, and the
# next start finds mission 2 and the total in the settings file.
set -euo pipefail
sim="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

"$sim" --dir "$dir" --start campaign --auto --god --answer ok,ok,ok,yes,ok --log-dialogs \
  --frames 7100 >"$dir/log"
grep -q "dialog confirmation: 次の面に進みますか？.* -> yes" "$dir/log"
grep -q "scene: menu" "$dir/log"
[ -s "$dir/Torvi.INI" ]
score=$(sed -n 's/^dialog information: 任務成功！！戦果は\([0-9]*\)でした。 -> ok$/\1/p' "$dir/log")
[ -n "$score" ] && [ "$score" -gt 0 ]

"$sim" --dir "$dir" --start campaign --answer ok,ok --frames 30 --trace "$dir/t.jsonl" >/dev/null
last=$(tail -1 "$dir/t.jsonl")
grep -q '"scene":"briefing"' <<<"$last"
grep -q '"Mission":2,' <<<"$last"
grep -q "\"TotalScore\":$score," <<<"$last"
echo "e2e campaign_step: ok"
