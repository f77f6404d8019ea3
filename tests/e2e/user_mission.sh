#!/usr/bin/env bash
# The example mission of the examples folder: the checker passes it, the runner's pilot
# plays it from its briefing to its closing texts, and a broken copy is reported at the
# line that breaks it.
set -euo pipefail
sim="$1"
examples="$(cd "$(dirname "$0")/../../examples" && pwd)"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$sim" --check "$examples/sample.omf" >"$out/check"
[ "$(cat "$out/check")" = "4 of 4 files read to the end, 0 warnings" ]

mkdir "$out/play"
play() {
  "$sim" --dir "$out/play" --seed 11 --difficulty 2 --start "omf:$examples/sample.omf" --auto --god \
    "$@" >"$out/stdout"
}
play --until result --frames 20000 --trace "$out/trace.jsonl"
grep -q "scene: result" "$out/stdout"
# The same game again, on into the closing texts: each of the four files filled its scene.
result=$(sed -n 's/^frames: \([0-9]*\) .*/\1/p' "$out/stdout")
play --frames $((result + 20)) --trace "$out/longer.jsonl"
grep -q '"scene":"briefing".*"Text":"1942年2月1日　早朝"' "$out/longer.jsonl"
grep -q '"scene":"missiontitle".*"Text":"マーシャル沖の迎撃"' "$out/longer.jsonl"
grep -q '"scene":"result".*"Text":"1942年2月1日　午後"' "$out/longer.jsonl"
# The battleship held the schedule under the boss theme, and the mission scored.
grep -q '"CurrentMusic":"BOSS","ScrollSpeed":[0-9-]*,"AdvanceStopped":true.*"class":"TEnemyMissouri"' \
  "$out/trace.jsonl"
score=$(grep '"scene":"play"' "$out/trace.jsonl" | tail -n 1 | sed 's/.*"Score":\(-\?[0-9]*\).*/\1/')
[ "$score" -gt 20000 ]
if grep -q "ミッションファイルを読みこめません" "$out/longer.jsonl"; then exit 1; fi

# A broken copy: the fifth record line gets a sign before its hexadecimal delay, and the
# title card is missing.
cp "$examples"/sample.omf "$examples"/sample.bfg "$examples"/sample.edg "$out/"
line=$(grep -n '^SINGLE' "$out/sample.omf" | sed -n 5p | cut -d: -f1)
awk -v n="$line" 'BEGIN { FS = OFS = "\t" } NR == n { $2 = "-$1F" } { print }' \
  "$examples/sample.omf" >"$out/sample.omf"
status=0
"$sim" --check "$out/sample.omf" >"$out/check" || status=$?
[ "$status" -eq 1 ]
grep -qxF "$out/sample.omf:$line: field 2: delay \"-\$1F\" is not an integer" "$out/check"
grep -qF "$out/sample.tle: warning: missing" "$out/check"
grep -qx "2 of 4 files read to the end, 1 warning" "$out/check"
echo "e2e user_mission: ok"
