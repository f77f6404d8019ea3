#!/usr/bin/env bash
# Includes run down the layers only: engine (with the platform interfaces) <- game record <-
# sprites <- missions <- shell, ranking beside them on the engine, the pilot on the sprites.
# The build links each layer alone as well; this catches the includes that link anyway
# (a header's inline code, a constant).
set -euo pipefail
src="$(cd "$(dirname "$0")/../src" && pwd)"
declare -A may=(
  [engine]="engine platform"
  [platform]="engine platform"
  [game]="engine platform game"
  [sprites]="engine platform game sprites"
  [missions]="engine platform game sprites missions"
  [ranking]="engine platform ranking"
  [shell]="engine platform game sprites missions ranking shell"
  [pilot]="engine platform game sprites pilot"
)
bad=0
for layer in "${!may[@]}"; do
  files=("$src/$layer"/*.h "$src/$layer"/*.cpp)
  while IFS=: read -r file line text; do
    used=$(sed -E 's|.*#include "([a-z]+)/.*|\1|' <<<"$text")
    # The platform backends (qt, sdl, headless) sit above everything.
    [[ "$text" =~ \"platform/(qt|sdl|headless)/ ]] && used=backend
    if [[ " ${may[$layer]} " != *" $used "* ]]; then
      echo "${file#"$src"/}:$line: $layer may not include $used: $text"
      bad=1
    fi
  done < <(grep -Hn '^#include "[a-z]*/' "${files[@]}" 2>/dev/null || true)
done
[ "$bad" -eq 0 ] && echo "layers: every include runs down"
exit "$bad"
