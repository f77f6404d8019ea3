#!/usr/bin/env bash
# A replay says so on screen: the same frame of the same game, shot while playing and while
# watching its replay, differs (the corner's "リプレイ"); two plays of it do not.
set -euo pipefail
sim="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$out"

"$sim" --dir "$out" --seed 5 --start play:1 --auto --god --frames 700 --record r.vmr \
  --shot 600:play.png >/dev/null
"$sim" --dir "$out" --seed 5 --start play:1 --auto --god --frames 700 --shot 600:again.png \
  >/dev/null
"$sim" --dir "$out" --replay r.vmr --verify --shot 600:replay.png | grep -qx "verify: same"
cmp -s play.png again.png || { echo "two plays of one game look different" >&2; exit 1; }
if cmp -s play.png replay.png; then echo "the replay looks like play" >&2; exit 1; fi
echo "e2e replay_marker: ok"
