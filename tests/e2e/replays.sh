#!/usr/bin/env bash
# Replays: missions recorded by the runner and played again headless give the same score,
# frame count and outcome (a cleared mission, a failed one, the example user mission, one
# abandoned from the pause under a key script); a changed mission file, a tampered replay
# and a damaged one are reported, not played wrong.
set -euo pipefail
sim="$1"
examples="$(cd "$(dirname "$0")/../../examples" && pwd)"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$out"

# Records with the given options, then replays with --verify; both must agree.
check() {
  local name="$1"
  shift
  "$sim" --dir "$out" "$@" --record "$name.vmr" >"$name.rec"
  local recorded
  recorded=$(sed -n "s/^recorded $name.vmr: //p" "$name.rec")
  [ -n "$recorded" ]
  "$sim" --dir "$out" --replay "$name.vmr" --verify >"$name.play"
  grep -qx "recorded: $recorded" "$name.play"
  grep -qx "replayed: $recorded" "$name.play"
  grep -qx "verify: same" "$name.play"
  echo "$name: $recorded"
}

cat >keys.txt <<'KEYS'
10 down Space
12 up Space
200 down Z
260 down Left
330 up Left
400 down Right
520 up Right
600 down X
602 up X
640 down Up
700 up Up
800 down P
801 up P
805 down Escape
806 up Escape
KEYS
check keyed --seed 3 --start play:1 --keys keys.txt --frames 900
grep -q "outcome abandon" keyed.play
check cleared --seed 5 --start play:1 --auto --god --until result
grep -q "outcome clear" cleared.play
# The same result proves no fair run: --verify says what the run was played with.
grep -qx "options: difficulty [123], DirectInput on, god mode ON (invulnerable: not a fair run)" \
  cleared.play
grep -q "god mode off" keyed.play
check failed --seed 7 --start play:3 --auto --until gameover
grep -q "outcome failure" failed.play
cp "$examples"/sample.* "$out/"
check user --seed 11 --difficulty 2 --start "omf:$out/sample.omf" --auto --god --until result
grep -q "outcome clear" user.play

# The continuous mode: one file per mission; the second carries on the first one's
# reinforcement cycle, the third is cut off in its title card before it scored anything.
mkdir camp
"$sim" --dir camp --seed 4 --start campaign --click 2:OptionTossin --auto --god --frames 16000 \
  --record chain.vmr >chain.rec
grep -q "^recorded chain-3.vmr: score 0 .* outcome abandon" chain.rec
for f in chain.vmr chain-2.vmr chain-3.vmr; do
  "$sim" --dir camp --replay "$f" --verify | grep -qx "verify: same"
done

# A replay whose recorded score was changed (and its check value made right again) plays
# as before but no longer verifies.
fnv() {
  local h=2166136261 b
  for b in $(head -c -4 "$1" | od -An -v -tu1); do
    h=$(((h ^ b) * 16777619 & 0xFFFFFFFF))
  done
  echo "$h"
}
le32() { printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $(($1 >> 8 & 255)))\\$(printf %03o $(($1 >> 16 & 255)))\\$(printf %03o $(($1 >> 24 & 255)))"; }
cp keyed.vmr forged.vmr
# The score is the first field after the header's 61 bytes (a built-in mission).
printf '\377' | dd of=forged.vmr bs=1 seek=61 conv=notrunc status=none
sum=$(fnv forged.vmr)
le32 "$sum" | dd of=forged.vmr bs=1 seek=$(($(stat -c %s forged.vmr) - 4)) conv=notrunc status=none
"$sim" --dir "$out" --replay forged.vmr >forged.out
grep -q "^replayed: score 3200 " forged.out
status=0
"$sim" --dir "$out" --replay forged.vmr --verify >forged.out || status=$?
[ "$status" -eq 1 ]
grep -qx "verify: differs" forged.out

# The user mission edited after the recording: refused with the reason, nothing played.
echo >>"$out/sample.edg"
status=0
"$sim" --dir "$out" --replay user.vmr --verify >changed.out 2>changed.err || status=$?
[ "$status" -eq 2 ]
grep -q "が変更されたため、再生できません" changed.err

# Damaged and truncated files: a clear message, exit 2.
head -c 100 cleared.vmr >cut.vmr
for bad in cut.vmr keys.txt; do
  status=0
  "$sim" --dir "$out" --replay "$bad" >bad.out 2>bad.err || status=$?
  [ "$status" -eq 2 ]
  grep -Eq "壊れている|リプレイファイルではありません" bad.err
done

# --verify alone is a mistake of the command line.
if "$sim" --verify 2>/dev/null; then exit 1; fi
