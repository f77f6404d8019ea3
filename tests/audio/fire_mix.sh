#!/usr/bin/env bash
# The sound a player hears in mission 1, captured through SDL's disk driver at the game's
# real pace: three seconds of music alone, then three seconds with fire held. Nothing may
# sit at full scale, the music must be heard, and so must the guns.
# Usage: fire_mix.sh VELMORA_SIM AUDIO_LEVELS
set -euo pipefail
sim="$1"
levels="$2"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Leave the briefing; play starts near frame 115 and the music with it; fire from 305.
printf '35 down Space\n37 up Space\n305 down Space\n' >"$out/keys"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/out.raw" \
  "$sim" --dir "$out" --seed 7 --difficulty 2 --start campaign --god --keys "$out/keys" \
  --frames 495 --sdl-audio --realtime >"$out/stdout" 2>"$out/stderr" ||
  { cat "$out/stderr"; exit 1; }
[ -s "$out/out.raw" ] || { echo "no sound was captured"; cat "$out/stderr"; exit 1; }

# The mixer hands the device 32-bit float stereo at 44100 Hz. The stretches are counted
# back from the end of the capture, which ends with the last tick.
echo -n "music alone:    "
"$levels" "$out/out.raw" --format f32 --from -5.6 --to -3.5 --min-rms -45 --max-full-scale 0.1
echo -n "fire and music: "
"$levels" "$out/out.raw" --format f32 --from -2.7 --to -0.2 --min-rms -40 --max-full-scale 0.1
echo -n "whole capture:  "
"$levels" "$out/out.raw" --format f32 --max-full-scale 0.1
