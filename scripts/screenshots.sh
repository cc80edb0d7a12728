#!/usr/bin/env bash
# Takes the README's screenshots: each attractor drawn with its defaults under a private Xvfb,
# captured after a few seconds and scaled down. Needs xvfb, xdotool and imagemagick.
#   scripts/screenshots.sh [build/release/quorvane]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/release/quorvane}
display=:93
seconds=${SECONDS_PER_SHOT:-8}

Xvfb $display -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=$display

shoot() { # access key of the Equations entry, prompts to accept, output name
  local key=$1 prompts=$2 name=$3
  "$program" >/dev/null 2>&1 &
  local pid=$!
  local window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name "Zemlar" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "the window did not appear" >&2; kill "$pid"; exit 1; }
  xdotool windowfocus --sync "$window"
  xdotool key alt+e; sleep 0.3; xdotool key "$key"; sleep 0.3
  for _ in $(seq "$prompts"); do xdotool key Return; sleep 0.15; done
  sleep "$seconds"
  import -window "$window" "/tmp/quorvane-$name.png"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  # Nearest-neighbour halving keeps single-pixel points at full brightness.
  convert "/tmp/quorvane-$name.png" -filter point -resize 50% -colors 16 "docs/$name.png"
  echo "docs/$name.png"
}

shoot l 6 lorenz
shoot h 6 hopalong
shoot p 10 pickover
