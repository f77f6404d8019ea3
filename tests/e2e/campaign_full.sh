#!/usr/bin/env bash
# A whole campaign in one folder: missions 1 to 5, each accepted, then the total-score
# dialogs of the last mission and the campaign back at mission 1 with a zero total.
set -euo pipefail
sim="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# Until every campaign mission has its list there is no whole campaign to fly.
for m in 2 3 4 5; do
  "$sim" --start "play:$m" --auto --frames 400 --trace "$dir/probe.jsonl" >/dev/null
  if ! grep -q "\"CurrentMusic\":\"BGM$m\"" "$dir/probe.jsonl"; then
    echo "e2e campaign_full: skipped, mission $m has no play list yet"
    exit 0
  fi
done
rm "$dir/probe.jsonl"

total=0
for m in 1 2 3 4; do
  "$sim" --dir "$dir" --start campaign --auto --god --answer ok,ok,ok,yes,ok --log-dialogs \
    --frames 14000 >"$dir/log$m"
  grep -q "dialog confirmation: 次の面に進みますか？.* -> yes" "$dir/log$m"
  score=$(sed -n 's/^dialog information: 任務成功！！戦果は\([0-9]*\)でした。 -> ok$/\1/p' "$dir/log$m")
  [ -n "$score" ] && [ "$score" -gt 0 ]
  total=$((total + score))
done

# Each run first meets the two start-up tips. The last mission: its closing and finale watched through, the end of the campaign
# accepted, the total shown, the ranking declined.
"$sim" --dir "$dir" --start campaign --auto --god --answer ok,ok,ok,yes,ok,no,ok --log-dialogs \
  --frames 16000 >"$dir/log5"
score=$(sed -n 's/^dialog information: おめでとうございます。あなたは全面クリアに成功しました。最後の面の戦果は\([0-9]*\)でした。 -> ok$/\1/p' "$dir/log5")
[ -n "$score" ] && [ "$score" -gt 0 ]
total=$((total + score))
grep -q "dialog input: .*-> text:$total\$" "$dir/log5"
grep -q "dialog confirmation: インターネット上でのスコアランキングに参加しますか？.* -> no" "$dir/log5"
grep -q "dialog information: キャンペーンは終了しました。 -> ok" "$dir/log5"

"$sim" --dir "$dir" --start campaign --answer ok,ok --frames 30 --trace "$dir/t.jsonl" >/dev/null
last=$(tail -1 "$dir/t.jsonl")
grep -q '"Mission":1,' <<<"$last"
grep -q '"TotalScore":0,' <<<"$last"
echo "e2e campaign_full: ok (total $total)"
