#!/usr/bin/env bash
# The runner plays through the settings' [Keys]: a script holding A fires when fire is A,
# and Z, no longer fire's, fires nothing; the runner's own presses follow the bindings too.
set -euo pipefail
sim="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

shots() {  # key held through the mission's start; prints how many player shots flew
  printf '[Keys]\nFire=A\n' >"$dir/Torvi.INI"
  # Briefing (go on with A), the title card, then a second and a half of play.
  printf '5 down A\n6 up A\n200 down %s\n' "$1" >"$dir/keys.txt"
  "$sim" --dir "$dir" --start play:1 --keys "$dir/keys.txt" --frames 300 --god \
    --trace "$dir/trace.jsonl" >/dev/null
  grep -c '"class":"TTamaSprite"' "$dir/trace.jsonl" || true
}
[ "$(shots A)" -gt 0 ] || { echo "A did not fire" >&2; exit 1; }
[ "$(shots Z)" -eq 0 ] || { echo "Z still fires" >&2; exit 1; }

# --auto presses the player's keys: with fire on A it still fires.
printf '[Keys]\nFire=A\n' >"$dir/Torvi.INI"
"$sim" --dir "$dir" --start play:1 --auto --god --frames 600 --trace "$dir/auto.jsonl" >/dev/null
grep -q '"class":"TTamaSprite"' "$dir/auto.jsonl" || { echo "the pilot did not fire" >&2; exit 1; }

# Unknown key names in a script are refused with the line.
printf '5 down Blorp\n' >"$dir/bad.txt"
code=0
"$sim" --dir "$dir" --keys "$dir/bad.txt" --frames 5 >/dev/null 2>"$dir/err" || code=$?
[ "$code" -ne 0 ] && grep -q "unknown key 'Blorp'" "$dir/err"
