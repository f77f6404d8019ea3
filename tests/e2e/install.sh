#!/usr/bin/env bash
# cmake --install into a fresh prefix: the layout, the desktop entry and metainfo pass
# their validators, and velmora-sim started from a read-only copy of the prefix finds its
# data in share/velmora and writes its settings under $XDG_CONFIG_HOME.
set -euo pipefail
sim="$1"
build=$(cd "$(dirname "$sim")" && pwd)
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"
id=example.velmora.Velmora

if ! cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "install failed (is everything built?)" >&2
  exit 1
fi
p="$work/prefix"
for f in bin/velmora bin/velmora-sim share/velmora/DefMusic.dxw share/velmora/ExpMusic.dxw \
         share/velmora/velmora-help.html share/applications/$id.desktop \
         share/metainfo/$id.metainfo.xml; do
  [ -s "$p/$f" ] || { echo "missing $f" >&2; exit 1; }
done
[ -x "$p/bin/velmora" ] && [ -x "$p/bin/velmora-sim" ]
for size in 16 32 48 64 128 256; do
  icon="$p/share/icons/hicolor/${size}x$size/apps/$id.png"
  # PNG width and height, big-endian, at bytes 16..23.
  [ "$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ] ||
    { echo "bad icon $icon" >&2; exit 1; }
done
grep -q '^Name\[ja\]=' "$p/share/applications/$id.desktop"
grep -q '^Categories=Game;ArcadeGame;$' "$p/share/applications/$id.desktop"
desktop-file-validate "$p/share/applications/$id.desktop"
# Missions and replays have file types of their own, and the prefix's database knows them.
[ -s "$p/share/mime/packages/$id.xml" ] || { echo "missing the file types" >&2; exit 1; }
if command -v update-mime-database >/dev/null; then
  grep -qx '50:application/x-velmora-mission:\*\.omf' "$p/share/mime/globs2"
  grep -qx '50:application/x-velmora-replay:\*\.vmr' "$p/share/mime/globs2"
fi
appstreamcli validate --no-net "$p/share/metainfo/$id.metainfo.xml" >"$work/as.log" ||
  { cat "$work/as.log"; exit 1; }

# A read-only copy somewhere else: nothing may depend on the install path. Root writes
# through any permission bits, so the runs below drop to an ordinary user when root.
cp -a "$p" "$work/ro"
chmod -R a-w "$work/ro"
config="$work/config"
mkdir -m 777 "$config"
as_user=()
if [ "$(id -u)" -eq 0 ]; then as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi
run() { (cd "$work/ro/bin" && env XDG_CONFIG_HOME="$config" HOME=/nonexistent \
           "${as_user[@]}" ./velmora-sim "$@"); }

run --answer ignore,ok --frames 60 --shot "50:$config/title.png" >"$work/out"
[ -s "$config/title.png" ]
# The tip answered with Ignore was remembered in the config folder, not beside the program.
grep -q '^READHELP=0' "$config/velmora/Torvi.INI"
[ ! -e "$work/ro/bin/Torvi.INI" ]
# The second start reads the settings written by the first: no tip about the help.
second=$(run --frames 5 --log-dialogs)
if grep -q "ヘルプには" <<<"$second"; then echo "the settings were not read back" >&2; exit 1; fi
grep -q "最高の速度" <<<"$second"

# The example missions come along, and the installed runner reads them.
for omf in "$build"/*.omf; do
  [ -e "$omf" ] || continue
  name=$(basename "$omf")
  [ -s "$p/share/velmora/examples/$name" ] || { echo "example $name not installed" >&2; exit 1; }
  run --check "../share/velmora/examples/$name" >/dev/null
done

# The music really comes from the share folder: without it the installed copy cannot start
# (and must not fall back on the build folder it was made in).
cp -a "$p" "$work/nomusic"
rm "$work/nomusic/share/velmora/"*.dxw
if (cd "$work/nomusic/bin" && XDG_CONFIG_HOME="$config" ./velmora-sim --frames 5 \
      >/dev/null 2>"$work/err"); then
  echo "started without its music" >&2
  exit 1
fi
echo "e2e install: ok"
