#!/usr/bin/env bash
# CI: the Debian packages as a user and an operator get them. Built from a copy of the tree
# (so nothing lands beside the checkout), checked by lintian, installed with apt, the game
# played through by the installed runner, the installed ranking server started as its
# systemd unit starts it and sent one campaign, then both purged without a trace.
# Needs root, or sudo, for apt and for running the server as its own user.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
packages=(velmora velmora-ranking-server)
unit=/lib/systemd/system/velmora-ranking-server.service
config=/etc/velmora-ranking/server.env
state=/var/lib/velmora-ranking

fail() {
  echo "debian: $*" >&2
  exit 1
}

# Purging is part of the check, so a machine where an operator runs these packages for real
# (or ran them: their rankings are kept) is not one to run it on.
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    "" | *not-installed) ;;
    *) fail "$p is installed here ($status); this check installs and purges it, so run it elsewhere" ;;
  esac
done
[ ! -e "$state" ] || fail "$state exists (kept rankings?); this check would use and remove it"

work=$(mktemp -d)
chmod 755 "$work" # apt reads the packages from here as its own user
server_pid=""
installed=0
cleanup() {
  if [ -n "$server_pid" ]; then
    $sudo kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  # Whatever this check installed or stored goes, also when it failed half way; the state
  # folder was not there before (see above), so it holds nothing but the check's own ranking.
  if [ "$installed" -eq 1 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -q "${packages[@]}" >/dev/null 2>&1 || true
  fi
  $sudo rm -rf "$state"
  rm -rf "$work"
}
trap cleanup EXIT

# ---- build, from what is in the tree and not ignored ------------------------------------
version=$(dpkg-parsechangelog -S Version)
tree="$work/velmora-${version%-*}"
mkdir "$tree"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z -c -o --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf - | tar -xf - -C "$tree"
else
  tar --exclude='./build*' --exclude=./out -cf - . | tar -xf - -C "$tree"
fi
# Line tables rather than full debug information, and no -dbgsym packages: this check looks at
# neither, and they took a third of the build.
started=$SECONDS
if ! (cd "$tree" && DEB_BUILD_OPTIONS="noddebs ${DEB_BUILD_OPTIONS:-}" DEB_CXXFLAGS_APPEND=-g1 \
  dpkg-buildpackage -us -uc -b -j"$(nproc)") >"$work/build.log" 2>&1; then
  tail -n 60 "$work/build.log"
  fail "dpkg-buildpackage failed"
fi
arch=$(dpkg --print-architecture)
changes="$work/velmora_${version}_${arch}.changes"
debs=()
for p in "${packages[@]}"; do
  debs+=("$work/${p}_${version}_${arch}.deb")
  [ -f "${debs[-1]}" ] || fail "no ${debs[-1]##*/}"
  echo "-- ${debs[-1]##*/}"
  dpkg-deb -c "${debs[-1]}" | awk '{ print "   " $1, $NF }'
done

echo "-- built in $((SECONDS - started)) s"

# ---- lintian: no errors, no warnings; the informational tags are shown ----------------------
started=$SECONDS
lintian --display-info --fail-on error,warning "$changes" | tee "$work/lintian.log" ||
  fail "lintian failed"
! grep -q '^[EW]: ' "$work/lintian.log" || fail "lintian reports errors or warnings"
echo "-- lintian in $((SECONDS - started)) s"
started=$SECONDS

# ---- install and play -----------------------------------------------------------------------
installed=1
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${debs[@]}" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt-get install failed"; }
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" | grep -q "install ok installed" || fail "$p not installed"
done
sim=/usr/games/velmora-sim # Debian's folder for games, which root's PATH leaves out
[ -x "$sim" ] || fail "no $sim"

mkdir "$work/play"
out=$("$sim" --dir "$work/play" --start play:1 --auto --god --until result)
grep -q "scene: result" <<<"$out" || fail "the installed runner did not reach the result: $out"

# ---- the ranking server as its unit runs it -------------------------------------------------
# Where systemd runs, the package has started the unit itself: it must be up. It is stopped
# again so that the one server below is the only one using the database.
if [ -d /run/systemd/system ]; then
  for _ in $(seq 50); do
    systemctl -q is-active velmora-ranking-server && break
    sleep 0.1
  done
  systemctl -q is-active velmora-ranking-server ||
    { systemctl status velmora-ranking-server || true; fail "the service did not start"; }
  $sudo systemctl stop velmora-ranking-server
fi

# Without systemd: its user, state folder, environment file, umask and ExecStart, read from the
# installed unit, with no privileges to gain. Only the port is chosen free, since other
# programs on a CI machine may have the configured one; the configured address must be the
# loopback one, as a fresh install must not face the network.
user=$(sed -n 's/^User=//p' "$unit")
state_dir=$(sed -n 's/^StateDirectory=//p' "$unit")
state_mode=$(sed -n 's/^StateDirectoryMode=//p' "$unit")
umask_value=$(sed -n 's/^UMask=//p' "$unit")
exec_start=$(sed -n 's/^ExecStart=//p' "$unit")
[ "$(sed -n 's/^EnvironmentFile=//p' "$unit")" = "$config" ] || fail "the unit does not read $config"
[ "/var/lib/$state_dir" = "$state" ] || fail "the unit's state folder is not $state"
getent passwd "$user" >/dev/null || fail "no system user $user"
$sudo install -d -o "$user" -g "$user" -m "${state_mode:-0755}" "$state"

declare -A conf
while IFS='=' read -r name value; do
  if [[ "$name" =~ ^[A-Z_][A-Z0-9_]*$ ]]; then conf[$name]=$value; fi
done <"$config"
[[ "${conf[LISTEN]:-}" == 127.0.0.1:* ]] || fail "the configured address is not 127.0.0.1: ${conf[LISTEN]:-}"
[[ "${conf[DB]:-}" == "$state"/* ]] || fail "the configured database is not under $state"
conf[LISTEN]=127.0.0.1:0
command=()
for word in $exec_start; do
  for name in "${!conf[@]}"; do
    word=${word//"\${$name}"/${conf[$name]}}
  done
  command+=("$word")
done

# A clean environment, the unit's umask, / as the working folder, its user and no privileges.
as_service=($sudo env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin
  sh -c 'umask "$1"; shift; cd /; exec "$@"' sh "${umask_value:-0022}"
  setpriv --reuid="$user" --regid="$user" --init-groups --no-new-privs
  --inh-caps=-all --bounding-set=-all --)

# Every step execs the next, so the pid is the server's.
"${as_service[@]}" "${command[@]}" >"$work/server.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's|.*listening on http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$work/server.log")
  [ -n "$port" ] && break
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.05
done
[ -n "$port" ] || { cat "$work/server.log"; fail "the installed server did not start"; }

# The whole campaign (continuous mode), its total sent from the ranking dialog: the tips;
# after mission 5 congratulations, end the campaign, the total, take part, the dialog,
# connected, the server's message, its page not opened, the campaign's end.
mkdir "$work/rank"
cat >"$work/rank/Torvi.INI" <<INI
[Options]
Tossin=1
[Ranking]
URL=http://127.0.0.1:$port/submit
INI
answers="ok,ok,ok,yes,ok,yes,rank:Packager|pkg@example.org|from the package,yes,ok,no,ok"
"$sim" --dir "$work/rank" --seed 11 --start campaign --auto --god --answer "$answers" \
  --log-dialogs --frames 150000 >"$work/rank.log"
total=$(sed -n 's/^dialog input: 総戦果： -> text:\([0-9]*\)$/\1/p' "$work/rank.log")
[ -n "$total" ] || { cat "$work/rank.log"; fail "the campaign did not offer its total"; }
grep -q "dialog information: 登録しました。あなたの総戦果 $total は 1 位です。 -> ok" \
  "$work/rank.log" || { cat "$work/rank.log"; fail "the server did not take the total"; }

$sudo kill -TERM "$server_pid"
wait "$server_pid" || { cat "$work/server.log"; fail "the server did not stop cleanly"; }
server_pid=""
grep -q "stopped" "$work/server.log" || fail "the server did not say it stopped"
[ "$(stat -c %U "${conf[DB]}")" = "$user" ] || fail "the database does not belong to $user"
stored=$("${as_service[@]}" /usr/bin/velmora-ranking-server --db "${conf[DB]}" --list)
[ "$(wc -l <<<"$stored")" -eq 1 ] || fail "not one stored submission: $stored"
IFS=$'\t' read -r _ score name _ <<<"$stored"  # id, score, name ...
[ "$score" = "$total" ] && [ "$name" = "Packager" ] || fail "stored wrongly: $stored"

# ---- purge: nothing of theirs stays but the kept rankings ------------------------------------
dpkg -L "${packages[@]}" | grep '^/' | grep -vx '/\.' | sort -u >"$work/files"
DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -q "${packages[@]}" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt-get purge failed"; }
installed=0
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ -z "$status" || "$status" == *not-installed ]] || fail "$p left as '$status'"
done
left=()
while IFS= read -r path; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  # A folder stays rightly when another package owns it or holds files in it (/lib, a
  # folder in the package, is a link to usr/lib where /usr is merged).
  if [ -d "$path" ]; then
    dpkg-query -S "$path" >/dev/null 2>&1 && continue
    [ -n "$(ls -A "$path")" ] && continue
  fi
  left+=("$path")
done <"$work/files"
[ -e /etc/velmora-ranking ] && left+=(/etc/velmora-ranking)
[ ${#left[@]} -eq 0 ] || fail "left after purge: ${left[*]}"
# Kept by design: the rankings (and the system user, as Debian keeps them all).
[ -f "${conf[DB]}" ] || fail "the purge removed the rankings"
echo "-- installed, played, ranked and purged in $((SECONDS - started)) s"
echo "debian: built, lintian clean, installed, played, ranked ($total), purged"
