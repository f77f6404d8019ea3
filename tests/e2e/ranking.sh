#!/usr/bin/env bash
# The online ranking end to end: our ranking server on 127.0.0.1 with a fresh database, the
# whole campaign flown by the runner (continuous mode, so missions 1 to 4 follow each other
# without questions), the total offered after mission 5, sent from the submission dialog,
# stored by the server, and the server's answer shown.
set -euo pipefail
sim="$1"
server="$(dirname "$sim")/velmora-ranking-server"
dir=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT

"$server" --listen 127.0.0.1:0 --db "$dir/ranking.sqlite3" >"$dir/server.log" 2>&1 &
pid=$!
for _ in $(seq 100); do
  grep -q "listening on" "$dir/server.log" && break
  sleep 0.05
done
port=$(sed -n 's|.*listening on http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$dir/server.log")
[ -n "$port" ]

cat >"$dir/Torvi.INI" <<INI
[Options]
Tossin=1
[Ranking]
URL=http://127.0.0.1:$port/submit
INI

# The tips; after mission 5: congratulations, end the campaign, the total, take part,
# the dialog (name with a leading space, mail, comment), connected, the server's message,
# its page not opened, the campaign's end.
answers="ok,ok,ok,yes,ok,yes,rank: 提督|adm@example.org|Hi & bye,yes,ok,no,ok"
"$sim" --dir "$dir" --seed 11 --start campaign --auto --god --answer "$answers" --log-dialogs \
  --frames 150000 >"$dir/log"
grep -q "dialog information: おめでとうございます。あなたは全面クリアに成功しました。" "$dir/log"
grep -q "dialog ranking: 全面クリアランキングに参加 -> rank: 提督|adm@example.org|Hi & bye" "$dir/log"
total=$(sed -n 's/^dialog input: 総戦果： -> text:\([0-9]*\)$/\1/p' "$dir/log")
[ -n "$total" ] && [ "$total" -gt 0 ]
grep -q "dialog information: 登録しました。あなたの総戦果 $total は 1 位です。 -> ok" "$dir/log"
grep -q "dialog information: キャンペーンは終了しました。 -> ok" "$dir/log"

kill "$pid"
wait "$pid"
pid=""
grep -q "stopped" "$dir/server.log"
stored=$("$server" --db "$dir/ranking.sqlite3" --list)
[ "$(wc -l <<<"$stored")" -eq 1 ]
IFS=$'\t' read -r id score name mail comment _ address _ <<<"$stored"
[ "$id" -ge 1 ]
[ "$score" = "$total" ]
[ "$name" = " 提督" ]
[ "$mail" = "adm@example.org" ]
[ "$comment" = "「Hi ＆ bye」" ]
[ "$address" = "127.0.0.1" ]
echo "e2e ranking: ok (total $total stored)"
