#!/usr/bin/env bash
# Runs a command beside a throw-away PostgreSQL cluster: made by initdb in a temporary
# folder, started by pg_ctl as an unprivileged user (postgres refuses root), listening on
# 127.0.0.1 on a free port only, stopped and removed at the end whatever happens. The
# command finds it in VELMORA_TEST_POSTGRES (a libpq keyword string) and the binaries'
# folder in VELMORA_PG_BIN.
#   .ci/postgres.sh COMMAND [ARG...]
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: .ci/postgres.sh COMMAND [ARG...]" >&2; exit 2; }

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1 || true)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "postgres.sh: no PostgreSQL server found (apt-get install postgresql)" >&2
  exit 1
fi

dir=$(mktemp -d /tmp/velmora-pg-XXXXXX)
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$dir"
  as_owner=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
pg() { "${as_owner[@]}" env -i PATH=/usr/bin:/bin LC_ALL=C.UTF-8 "$@"; }
cleanup() {
  if [ -f "$dir/data/postmaster.pid" ]; then
    pg "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

pg "$bin/initdb" -D "$dir/data" -U velmora -A trust -E UTF8 --locale=C.UTF-8 --no-sync \
  >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }

port=""
for _ in 1 2 3 4 5 6 7 8; do
  candidate=$((20000 + RANDOM % 40000))
  (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null && continue
  if pg "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 start \
      -o "-c listen_addresses=127.0.0.1 -p $candidate -k $dir -c max_connections=200" \
      >/dev/null 2>&1; then
    port=$candidate
    break
  fi
done
if [ -z "$port" ]; then
  echo "postgres.sh: the cluster did not start:" >&2
  cat "$dir/server.log" >&2 || true
  exit 1
fi
pg "$bin/createdb" -h 127.0.0.1 -p "$port" -U velmora velmora

export VELMORA_TEST_POSTGRES="host=127.0.0.1 port=$port user=velmora dbname=velmora"
export VELMORA_PG_BIN="$bin"
status=0
"$@" || status=$?
exit "$status"
