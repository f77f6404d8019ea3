#!/usr/bin/env bash
# One golden run: plays NAME's arguments from runs.txt through velmora-sim and compares what
# happened, frame by frame, with NAME.digest.
#   golden.sh SIM NAME            compare (exit 0 when the same)
#   golden.sh SIM NAME --write    write NAME.digest anew
set -euo pipefail
sim="$1" name="$2" mode="${3:-}"
here="$(cd "$(dirname "$0")" && pwd)"
examples="$(cd "$here/../../examples" && pwd)"
args=$(awk -F '\t' -v n="$name" '$1 == n { print $2 }' "$here/runs.txt")
[ -n "$args" ] || { echo "golden: no run '$name' in runs.txt" >&2; exit 2; }
digest="$here/$name.digest"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
read -r -a argv <<<"${args//\{examples\}/$examples}"

if [ "$mode" = --write ]; then
  status=0
  "$sim" --dir "$dir" "${argv[@]}" --golden-write "$dir/digest" >/dev/null || status=$?
  # A run that ends in a scene other than asked for (3) is still a run worth keeping.
  [ "$status" -eq 0 ] || [ "$status" -eq 3 ] || { echo "golden: $name: exit $status" >&2; exit 1; }
  { printf 'args %s\n' "$args"; cat "$dir/digest"; } >"$digest"
  echo "golden: wrote $name.digest ($(grep -m1 '^frames' "$digest"))"
  exit 0
fi

[ -f "$digest" ] || { echo "golden: $name.digest is missing (golden.sh SIM $name --write)" >&2; exit 1; }
if [ "$(sed -n 's/^args //p' "$digest")" != "$args" ]; then
  echo "golden: $name: runs.txt's arguments are not the ones $name.digest was written with" >&2
  exit 1
fi
status=0
"$sim" --dir "$dir" "${argv[@]}" --golden "$digest" >/dev/null 2>"$dir/err" || status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 3 ]; then
  cat "$dir/err" >&2
  echo "golden: $name differs from its digest (exit $status)" >&2
  exit 1
fi
echo "golden $name: same"
