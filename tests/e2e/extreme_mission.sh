#!/usr/bin/env bash
# A mission file at the extremes of its numbers: delays that add up past 32 bits, formations
# and single planes far out, a scroll speed at the top of the range. The game plays it
# (under the sanitizers, nothing undefined happens), and the checker warns of the wrap.
set -euo pipefail
sim="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
tab=$'\t'
{
  echo "SINGLE${tab}1${tab}EventSprite${tab}0${tab}0${tab}2147483647${tab}4${tab}1"
  echo "FORMATION${tab}1${tab}EnemyF4F${tab}2147483600${tab}-2147483600${tab}${tab}3${tab}1"
  echo "FORMATION${tab}1${tab}EnemyP38${tab}-2147483648${tab}2147483647${tab}${tab}16${tab}1"
  echo "SINGLE${tab}1${tab}EnemyF6F${tab}2147483647${tab}2147483647${tab}nil${tab}1${tab}1"
  echo "SINGLE${tab}1${tab}EnemyB17${tab}-2147483648${tab}-2147483648${tab}nil${tab}2${tab}1"
  echo "SINGLE${tab}2147483647${tab}MojiSprite${tab}0${tab}0${tab}wrapped${tab}-1${tab}1"
  echo "SINGLE${tab}2147483647${tab}EnemyPBY${tab}100${tab}-50${tab}nil${tab}1${tab}1"
  echo "SINGLE${tab}1${tab}EventSprite${tab}0${tab}0${tab}-2147483648${tab}4${tab}1"
  echo "SINGLE${tab}1${tab}EventSprite${tab}0${tab}0${tab}nil${tab}3${tab}1"
} >"$out/far.omf"
for ext in bfg tle edg; do
  echo "SINGLE${tab}1${tab}EventSprite${tab}0${tab}0${tab}nil${tab}3${tab}1" >"$out/far.$ext"
done

"$sim" --check "$out/far.omf" >"$out/check" || true
grep -q "far.omf:6: field 2: warning: the delays add up past the 32-bit range" "$out/check"
"$sim" --dir "$out" --seed 3 --start "omf:$out/far.omf" --auto --god --frames 900 >"$out/run"
grep -q "frames: 900" "$out/run"
echo "e2e extreme_mission: ok"
