#!/usr/bin/env bash
# The headless runner draws the title scene and writes it as a 640x480 PNG.
set -euo pipefail
sim="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$sim" --frames 120 --seed 1 --shot "100:$out/title.png" --trace "$out/trace.jsonl" >/dev/null
# PNG signature, then IHDR width and height (big-endian) at bytes 16..23.
[ "$(head -c 8 "$out/title.png" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ]
[ "$(od -An -tu1 -j16 -N8 "$out/title.png" | tr -s ' ' | sed 's/^ //')" = "0 0 2 128 0 0 1 224" ]
[ "$(wc -l <"$out/trace.jsonl")" -eq 120 ]
grep -q '"scene":"title".*"class":"TScrollBackground"' "$out/trace.jsonl"

# Z on the title goes on to the menu; a held key is cleared by the scene change.
printf '2 down Z\n10 up Z\n' >"$out/keys"
"$sim" --keys "$out/keys" --until menu --frames 50 | grep -q "scene: menu"
"$sim" --start menu --frames 10 --shot "5:$out/menu.png" | grep -q "scene: menu"
[ -s "$out/menu.png" ]

# Bad command lines say what is wrong and fail.
if "$sim" --frames x 2>"$out/err"; then exit 1; fi
grep -q "bad frame count" "$out/err"
if "$sim" --until nowhere 2>"$out/err"; then exit 1; fi
grep -q "unknown scene" "$out/err"
echo "e2e title_shot: ok"
