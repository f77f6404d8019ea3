#!/usr/bin/env bash
# 戦績: missions the runner plays to their end land in the records of its folder, a table per
# mission and difficulty; an invulnerable run and a watched replay add nothing; a run is
# watched again from the records window with the score it was recorded with; a damaged file
# is set aside at the next start and reported.
set -euo pipefail
sim="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
mkdir d

fail() {
  echo "e2e records: $*" >&2
  exit 1
}

# Shot down in mission 3 on 普通, and a mission of our own cleared on 簡単 at once (its result
# screen adds the difficulty bonus, then the pilot leaves it).
"$sim" --dir d --seed 7 --difficulty 2 --start play:3 --auto --until gameover >/dev/null
printf 'SINGLE\t100\tEventSprite\t0\t0\tnil\t3\t1\n' >quick.omf
printf 'SINGLE\t10\tEventSprite\t0\t0\tnil\t6\t1\n' >quick.edg
"$sim" --dir d --seed 5 --difficulty 1 --start "omf:$dir/quick.omf" --auto --frames 400 >/dev/null
# Invulnerable: played, but no record.
"$sim" --dir d --seed 5 --difficulty 2 --start play:2 --auto --god --until result >/dev/null

"$sim" --records d >records.txt
grep -qx -- "-- ガ島攻防戦（３面）　普通 --" records.txt || fail "no table of mission 3"
grep -qx -- "-- quick.omf（[0-9a-f]*）　簡単 --" records.txt || fail "no table of the user mission"
! grep -q "ミッドウェー" records.txt || fail "an invulnerable run was recorded"
grep -q $'^1\t[0-9]*\t撃墜\t' records.txt || fail "no shot-down row"
grep -q $'^1\t10000\t任務成功\t0％\t' records.txt || fail "the clear without its bonus"
[ "$(grep -c '\[[0-9]\] record-[0-9]*\.vmr$' records.txt)" -eq 2 ] || fail "not two replays kept"

# Watched from the records window (the user mission's is the second row with a replay); a
# replay watched adds no record of its own.
"$sim" --dir d --start menu --click 3:Records --answer ok,ok,watch:2 --log-dialogs --frames 2000 \
  >watch.out
grep -q "^dialog records: == キャンペーン ==" watch.out || fail "the records window did not open"
grep -q "リプレイの再生を終えました。戦果は0でした。" watch.out ||
  { cat watch.out; fail "the replay was not watched to its end"; }
"$sim" --records d | cmp -s - records.txt || fail "watching changed the records"

# A file damaged by hand is set aside at the next start, with a word to the player.
sed -i "s/^run\t3\t/run\t2\t/" d/Records.txt
"$sim" --records d >/dev/null 2>err.txt && fail "--records read a damaged file"
grep -q "検査値が一致しません" err.txt || fail "no reason: $(cat err.txt)"
"$sim" --dir d --start menu --log-dialogs --frames 5 >start.out
grep -q "Records.txt.damaged として残し" start.out || { cat start.out; fail "not reported"; }
[ -f d/Records.txt.damaged ] || fail "the damaged file is gone"
"$sim" --records d | grep -qx "まだ記録がありません。" || fail "no new book"
echo "e2e records: ok"
