#!/usr/bin/env bash
# Two ranking server processes on one PostgreSQL database (run through .ci/postgres.sh):
# the whole campaign is played twice by the runner, each time sending to another process;
# both submissions are then listed once on either process's page.
set -euo pipefail
sim="$1"
server="$(dirname "$sim")/velmora-ranking-server"
[ -n "${VELMORA_TEST_POSTGRES:-}" ] || { echo "run through .ci/postgres.sh" >&2; exit 1; }
dir=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
  rm -rf "$dir"
}
trap cleanup EXIT

psql "$VELMORA_TEST_POSTGRES" -qc "CREATE DATABASE two_processes" >/dev/null
db="${VELMORA_TEST_POSTGRES/dbname=velmora/dbname=two_processes}"

ports=()
for i in 1 2; do
  "$server" --listen 127.0.0.1:0 --db "$db" >"$dir/server$i.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 200); do
    grep -q "listening on" "$dir/server$i.log" && break
    sleep 0.05
  done
  ports+=("$(sed -n 's|.*listening on http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$dir/server$i.log")")
  [ -n "${ports[-1]}" ] || { cat "$dir/server$i.log" >&2; exit 1; }
done

# The tips; after mission 5: congratulations, end the campaign, the total, take part, the
# dialog, connected, the server's message, its page not opened, the campaign's end.
for i in 1 2; do
  mkdir "$dir/player$i"
  printf '[Options]\nTossin=1\n[Ranking]\nURL=http://127.0.0.1:%s/submit\n' "${ports[$((i - 1))]}" \
    >"$dir/player$i/Torvi.INI"
  answers="ok,ok,ok,yes,ok,yes,rank: 提督$i|p$i@example.org|やあ,yes,ok,no,ok"
  "$sim" --dir "$dir/player$i" --seed $((20 + i)) --start campaign --auto --god \
    --answer "$answers" --log-dialogs --frames 150000 >"$dir/log$i"
  grep -q "dialog information: 登録しました。あなたの総戦果 [0-9]* は [12] 位です。 -> ok" "$dir/log$i"
done

get() {  # port, path
  exec 5<>"/dev/tcp/127.0.0.1/$1"
  printf 'GET %s HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n' "$2" >&5
  cat <&5
  exec 5<&-
}
for port in "${ports[@]}"; do
  page=$(get "$port" /)
  for i in 1 2; do
    [ "$(grep -o "<td> 提督$i</td>" <<<"$page" | wc -l)" -eq 1 ] ||
      { echo "提督$i not listed once on port $port" >&2; exit 1; }
  done
done
# Each process's access log has its own player's submission.
grep -q " POST /submit 200 " "$dir/server1.log"
grep -q " POST /submit 200 " "$dir/server2.log"
[ "$("$server" --db "$db" --list | wc -l)" -eq 2 ]
echo "e2e two processes on one PostgreSQL database: ok"
