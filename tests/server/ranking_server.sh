#!/usr/bin/env bash
# The ranking server as its operator meets it: addresses on the command line, a database it
# cannot write, the moderation tools, what --list prints, and a stop while a client
# drip-feeds a request.
set -euo pipefail
server="$(dirname "$1")/velmora-ranking-server"
dir=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  exec 3>&- 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "e2e ranking_server: $*" >&2; exit 1; }

start() {  # args..., sets pid and url
  "$server" "$@" >"$dir/server.log" 2>&1 &
  pid=$!
  for _ in $(seq 100); do
    grep -q "listening on" "$dir/server.log" && break
    sleep 0.05
  done
  url=$(sed -n 's|.*listening on \(http://.*/\)$|\1|p' "$dir/server.log")
  [ -n "$url" ] || fail "no address printed: $(cat "$dir/server.log")"
}

# Addresses: a port with anything but digits, a bare IPv6 address, no port at all.
for bad in 127.0.0.1:0abc 127.0.0.1: ::1:8080 127.0.0.1 "[::1]" 127.0.0.1:70000; do
  if "$server" --listen "$bad" --db "$dir/r.sqlite3" 2>"$dir/err"; then fail "took $bad"; fi
  grep -q "bad address" "$dir/err" || fail "no reason for $bad: $(cat "$dir/err")"
done
# An IPv6 address is printed in brackets, where the machine has IPv6 loopback.
if [ -e /proc/net/if_inet6 ] && grep -q "00000000000000000000000000000001" /proc/net/if_inet6; then
  start --listen "[::1]:0" --db "$dir/r.sqlite3"
  [[ "$url" =~ ^http://\[::1\]:[0-9]+/$ ]] || fail "IPv6 address printed as $url"
  kill "$pid"; wait "$pid"; pid=""
fi

# A database that cannot be written stops the server at once, with the reason.
cp "$dir/r.sqlite3" "$dir/ro.sqlite3"
chmod 755 "$dir"
chmod 444 "$dir/ro.sqlite3"
as_other=()
if [ "$(id -u)" -eq 0 ]; then
  # root writes whatever the modes say: try it as a user who cannot.
  as_other=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
if "${as_other[@]}" "$server" --listen 127.0.0.1:0 --db "$dir/ro.sqlite3" >/dev/null 2>"$dir/err"; then
  fail "started on a read-only database"
fi
grep -q "read-only\|cannot be written" "$dir/err" || fail "no clear reason: $(cat "$dir/err")"

# Moderation and what --list prints: ids first, control characters escaped.
sqlite3 "$dir/r.sqlite3" "INSERT INTO submissions (name, mail, comment, score, machine, address,
  submitted, code, at) VALUES ('A' || char(9) || '999999999' || char(10) || 'X', '', '', 7, 'm',
  '10.0.0.9', '2026-01-01 00:00:00', '', 0), ('spam', '', '', 9, 'm', '10.6.6.6',
  '2026-01-01 00:00:00', '', 0)"
listed=$("$server" --db "$dir/r.sqlite3" --list)
[ "$(wc -l <<<"$listed")" -eq 2 ] || fail "a stored name made its own line: $listed"
grep -qF $'\t7\tA\\t999999999\\nX\t' <<<"$listed" || fail "not escaped: $listed"
spam=$(awk -F'\t' '$3 == "spam" {print $1}' <<<"$listed")
"$server" --db "$dir/r.sqlite3" --delete "$spam" | grep -q "deleted $spam"
if "$server" --db "$dir/r.sqlite3" --delete "$spam" 2>/dev/null; then fail "deleted twice"; fi
"$server" --db "$dir/r.sqlite3" --ban 10.6.6.6 | grep -q "banned 10.6.6.6"
[ "$("$server" --db "$dir/r.sqlite3" --bans)" = "10.6.6.6" ]
[ "$("$server" --db "$dir/r.sqlite3" --list | wc -l)" -eq 1 ]

# SIGTERM ends the server at once although a client is still sending its request.
start --listen 127.0.0.1:0 --db "$dir/r.sqlite3"
port=$(sed -n 's|http://127.0.0.1:\([0-9]*\)/|\1|p' <<<"$url")
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf 'GET / HTTP/1.1\r\nHo' >&3
sleep 0.3
started=$(date +%s%N)
kill -TERM "$pid"
wait "$pid"
pid=""
took=$(( ($(date +%s%N) - started) / 1000000 ))
exec 3>&-
[ "$took" -lt 2000 ] || fail "took $took ms to stop"
grep -q "stopped" "$dir/server.log"
echo "e2e ranking_server: ok (stopped in $took ms with a client mid-request)"
