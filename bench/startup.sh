#!/usr/bin/env bash
# Start-up time, memory and CPU of the game window and of the headless runner, as a new
# player meets them: a fresh settings file with the tips switched off and a 2x window, SDL's
# dummy sound driver, a virtual X server. One line per figure, "name: value unit".
#
# Usage: bench/startup.sh [BUILD_DIR]      (default: build)
#   VELMORA_BENCH_RUNS=N     start-up runs of the window to take the median of (default 3)
#   VELMORA_BENCH_SECONDS=N  seconds of play the CPU share is taken over (default 10)
#   VELMORA_BENCH_SHOT=FILE  keep a picture of the window at the end of the replay (PNG)
#
# A benchmark, not a test: it prints what it measures and fails only when something does not
# run at all. Needs xvfb, xdotool, a C compiler and libx11-dev (for first_frame.c), bc.
set -euo pipefail

build="$(realpath "${1:-build}")"
runs="${VELMORA_BENCH_RUNS:-3}"
seconds="${VELMORA_BENCH_SECONDS:-10}"

# The measuring half runs inside the virtual X server.
if [ -z "${VELMORA_BENCH_INNER:-}" ]; then
  for tool in xvfb-run xdotool cc; do
    command -v "$tool" >/dev/null || { echo "startup.sh: $tool is missing" >&2; exit 2; }
  done
  for file in velmora velmora-sim DefMusic.dxw ExpMusic.dxw; do
    [ -e "$build/$file" ] || { echo "startup.sh: $build/$file is missing" >&2; exit 2; }
  done
  export VELMORA_BENCH_INNER=1
  exec xvfb-run -a -s "-screen 0 1920x1200x24 -nolisten tcp" bash "$0" "$build"
fi

work="$(mktemp -d)"
game_pid=""
cleanup() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

now() { date +%s.%N; }
# Kilobytes of a /proc status field of a process.
status_kb() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }
# Clock ticks of CPU the process has used, user and system together.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz="$(getconf CLK_TCK)"

# A copy of the game that keeps its settings beside itself, away from the build.
game="$work/game"
mkdir -p "$game"
cp "$build/velmora" "$game/"
ln -s "$build/DefMusic.dxw" "$build/ExpMusic.dxw" "$game/"
[ -e "$build/velmora-help.html" ] && ln -s "$build/velmora-help.html" "$game/"
# Mission 1 as the runner's pilot flies it, to be watched in the window.
replay="$work/m1.vmr"
"$build/velmora-sim" --dir "$work" --seed 7 --start play:1 --auto --god --frames 3000 \
  --record "$replay" >/dev/null
fresh_settings() {
  rm -rf "$game/Torvi.INI" "$game/replays" "$game/ERRORS.LOG"
  printf '[HITOKUCHI]\nREADHELP=0\nCLOSEAP=0\n[Display]\nScale=2\nFullScreen=0\n' \
    >"$game/Torvi.INI"
}

# The watcher of the window: mapped, then a picture in it, looked for every 2 ms.
watcher="$work/first_frame"
cc -O2 -o "$watcher" "$(dirname "$0")/first_frame.c" -lX11 ||
  { echo "startup.sh: cannot build first_frame.c (cc, libx11-dev)" >&2; exit 2; }

start_game() {
  fresh_settings
  SDL_AUDIODRIVER=dummy "$game/velmora" >"$work/game.out" 2>&1 &
  game_pid=$!
}

stop_game() {
  kill "$game_pid" 2>/dev/null || true
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
}

# Seconds from the start to the mapped window and to the first picture in it, and the CPU
# time the game had used by the time its window was mapped (which a busy machine does not
# stretch), appended to the files of those names.
measure_start() {
  local start mapped drawn cpu
  start="$(now)"
  start_game
  exec 3< <("$watcher" Velmora 60)
  read -r mapped <&3 || { echo "startup.sh: no window" >&2; cat "$work/game.out" >&2; exit 1; }
  cpu="$(cpu_ticks "$game_pid")"
  read -r drawn <&3 || { echo "startup.sh: nothing drawn" >&2; exit 1; }
  exec 3<&-
  echo "$mapped - $start" | bc >>"$work/mapped"
  echo "$drawn - $start" | bc >>"$work/drawn"
  echo "$cpu / $hz" | bc -l >>"$work/cpu"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

: >"$work/mapped"
: >"$work/drawn"
: >"$work/cpu"
for ((run = 1; run <= runs; ++run)); do
  measure_start
  if ((run < runs)); then stop_game; sleep 0.5; fi
done
printf 'window start to mapped window: %.3f s (median of %d)\n' "$(median <"$work/mapped")" "$runs"
printf 'window CPU time to mapped window: %.3f s (median of %d)\n' "$(median <"$work/cpu")" "$runs"
printf 'window start to first drawn frame: %.3f s (median of %d)\n' "$(median <"$work/drawn")" "$runs"

# The last run goes on: the title demonstration plays by itself, a full picture each tick.
sleep 2
printf 'window resident memory at the title: %.1f MB\n' \
  "$(echo "$(status_kb "$game_pid" VmRSS) / 1024" | bc -l)"

# CPU over the measured seconds, as a share of one core.
cpu_share() {
  local before after
  before="$(cpu_ticks "$game_pid")"
  sleep "$seconds"
  after="$(cpu_ticks "$game_pid")"
  echo "($after - $before) * 100 / $hz / $seconds" | bc -l
}
rss_mb() { echo "$(status_kb "$game_pid" "$1") / 1024" | bc -l; }
# Space leaves the title; the game menu is opened with the mouse and walked with the keys.
open_game_menu() {
  id="$(xdotool search --onlyvisible --name '^Velmora' | head -1)"
  xdotool windowfocus --sync "$id"
  sleep 0.3
  xdotool key space
  sleep 1.5
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + 20)) $((Y + 8)) click 1
  sleep 0.7
}

printf 'window CPU, title demonstration at 2x: %.1f %% of a core over %d s\n' "$(cpu_share)" \
  "$seconds"

# Then the campaign's first mission as a new player starts it (ゲーム → キャンペーン → 現在の作戦),
# fire held, nobody steering.
open_game_menu
xdotool key Down Right Return
sleep 2
xdotool key space
sleep 4
xdotool keydown space
sleep 2
printf 'window CPU, mission 1 played at 2x: %.1f %% of a core over %d s\n' "$(cpu_share)" "$seconds"
xdotool keyup space
printf 'window resident memory in play: %.1f MB\n' "$(rss_mb VmRSS)"
printf 'window peak resident memory: %.1f MB\n' "$(rss_mb VmHWM)"
stop_game

# And mission 1 watched as a replay (ゲーム → リプレイ再生, the file dialog given its path).
start_game
"$watcher" Velmora 60 >/dev/null
sleep 2
open_game_menu
xdotool key Down Down Down Down Return
sleep 1.5
xdotool type --delay 20 "$replay"
xdotool key Return
sleep 3
printf 'window CPU, mission 1 replayed at 2x: %.1f %% of a core over %d s\n' "$(cpu_share)" "$seconds"
printf 'window resident memory watching the replay: %.1f MB\n' "$(rss_mb VmRSS)"
if [ -n "${VELMORA_BENCH_SHOT:-}" ] && command -v xwd >/dev/null && command -v convert >/dev/null; then
  xwd -silent -id "$id" | convert xwd:- "$VELMORA_BENCH_SHOT"
fi
stop_game

# The headless runner: mission 1 played by its pilot, silent and through the SDL layer; then
# start-up alone (the title's first frame), in wall-clock and CPU seconds.
sim_run() {  # label, extra arguments...
  local label="$1"
  shift
  mkdir -p "$work/sim"
  SDL_AUDIODRIVER=dummy /usr/bin/time -f '%M' -o "$work/time" \
    "$build/velmora-sim" --dir "$work/sim" --seed 7 --start campaign --auto --god \
    --frames 1500 "$@" >/dev/null 2>"$work/sim.err" || { cat "$work/sim.err" >&2; exit 1; }
  printf 'velmora-sim %s peak resident memory: %.1f MB\n' "$label" \
    "$(echo "$(tail -1 "$work/time") / 1024" | bc -l)"
  SDL_AUDIODRIVER=dummy /usr/bin/time -f '%e %U %S' -o "$work/time" \
    "$build/velmora-sim" --dir "$work/sim" --frames 1 "$@" >/dev/null 2>"$work/sim.err" ||
    { cat "$work/sim.err" >&2; exit 1; }
  read -r wall user system < <(tail -1 "$work/time")
  printf 'velmora-sim %s start to first frame: %.2f s (CPU %.2f s)\n' "$label" "$wall" \
    "$(echo "$user + $system" | bc -l)"
}
sim_run silent
sim_run --sdl-audio --sdl-audio
