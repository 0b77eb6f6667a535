#!/usr/bin/env bash
# Turns a benchmark structure in the drawing window with real pointer
# events under Xvfb and reports how the window kept up: xdotool holds the
# left button and moves the pointer every 8 ms (125 motions a second) for
# 250 motions; the window logs each picture it shows (VELDOR_FRAME_LOG) and
# this script sums the log up.
#
# Usage: bench/drag_probe.sh [build dir] [atoms: 5000 or 500]
# (DRAG_PROBE_LOG=file keeps the window's frame log.)
# Needs xvfb-run and xdotool.
set -euo pipefail
if [ -z "${DRAG_PROBE_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env DRAG_PROBE_DISPLAY=1 "$0" "$@"
fi
build=${1:-build}
atoms=${2:-5000}
log=$(mktemp)
out=$(mktemp)
# DRAG_PROBE_LOG names a file to keep the frame log in.
trap '[ -n "${DRAG_PROBE_LOG:-}" ] && cp "$log" "$DRAG_PROBE_LOG"; rm -f "$log" "$out"' EXIT

VELDOR_FRAME_LOG=$log "$build/bench/drag_probe" "$atoms" >"$out" &
app=$!
for _ in $(seq 100); do grep -q picture "$out" && break; sleep 0.1; done
read -r _ px py n <"$out"
x=$((px + 150)) y=$((py + 300))
moves=()
for i in $(seq 250); do
  # Right 4 pixels a step, back left after 100 steps, drifting down and up.
  moves+=(mousemove $((x + (i % 100) * 4)) $((y + (i % 50) - 25)) sleep 0.008)
done
: >"$log"
start=$(date +%s%N)
xdotool mousemove "$x" "$y" sleep 0.2 mousedown 1 "${moves[@]}" mouseup 1
sent=$((($(date +%s%N) - start) / 1000000 - 200))
sleep 0.5
kill "$app"
wait "$app" 2>/dev/null || true

frames=$(grep -c '^drag' "$log" || true)
span=$(awk '$1=="drag"{if(!a)a=$2; b=$2} END{printf "%.0f", b-a}' "$log")
median=$(awk '$1=="drag"{print $3}' "$log" | sort -n | awk '{v[NR]=$1} END{print v[int((NR+1)/2)]}')
max=$(awk '$1=="drag"{print $3}' "$log" | sort -n | tail -1)
gap=$(awk '$1=="drag"{if(p!="" && $2-p>g)g=$2-p; p=$2} END{printf "%.1f", g}' "$log")
stills=$(grep -c '^still' "$log" || true)
echo "$n atoms: 250 motions sent in about $sent ms; $frames quick frames in $span ms" \
  "($(awk -v f="$frames" -v s="$span" 'BEGIN{printf "%.0f", f/(s/1000)}') a second);" \
  "draw time median $median ms, max $max ms; longest gap between frames $gap ms;" \
  "still pictures: $stills"
