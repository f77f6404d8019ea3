#!/usr/bin/env bash
# The bonus missions and the aircraft introduction flown by the runner's pilot on medium,
# each from its briefing to its closing texts.
set -euo pipefail
sim="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

fly() {  # mission, frame limit
  local status=0
  "$sim" --dir "$out" --seed 5 --difficulty 2 --start "play:$1" --auto --god --until result \
    --frames "$2" --trace "$out/$1.jsonl" >"$out/$1.out" 2>"$out/$1.err" || status=$?
  if grep -q "error" "$out/$1.err"; then
    cat "$out/$1.err" >&2
    exit 1
  fi
  return "$status"
}

for n in 6 7 8 9 10 11 9999; do
  fly "$n" 12000 || { echo "mission $n did not reach its closing texts" >&2; exit 1; }
  grep -q "scene: result" "$out/$n.out"
done

# The schedule holders: the experiment's target keeps the clock stopped on its way down, and
# the last day brings thirty of them.
grep -q '"AdvanceStopped":true.*"class":"TEnemyRuko"' "$out/8.jsonl"
[ "$(grep -o '"id":[0-9]*,"class":"TEnemyRuko"' "$out/11.jsonl" | sort -u | wc -l)" -eq 30 ]
# The introduction ends at its fixed frame.
grep -q '"scene":"play","FrameCount":6761' "$out/9999.jsonl"

echo "e2e bonus missions: ok"
