#!/usr/bin/env bash
# Writes every golden digest (or the named ones) anew. Only for a deliberate change of
# behaviour: the commit that moves them says why.
#   tests/golden/update.sh build/velmora-sim [NAME...]
set -euo pipefail
sim="$1"
shift
here="$(dirname "$0")"
names=("$@")
[ ${#names[@]} -gt 0 ] || mapfile -t names < <(awk -F '\t' '!/^#/ && NF == 2 { print $1 }' "$here/runs.txt")
for name in "${names[@]}"; do
  bash "$here/golden.sh" "$sim" "$name" --write
done
