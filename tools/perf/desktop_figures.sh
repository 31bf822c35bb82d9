#!/bin/sh
# The desktop program's cold start and memory, as docs/PERFORMANCE.md reports them.
#
# On a virtual display (xvfb-run picks a free one), runs the program RUNS times from nothing to
# its window shown: the time from the start of the process to the moment the window system
# reports the program's window mapped. Then the program once more with both samples named on its
# command line, and its peak resident memory (VmHWM) once both images are loaded.
#
# Usage: tools/perf/desktop_figures.sh HALVIC [RUNS]     (from the repository root)
# Needs xvfb and xdotool (Debian packages of those names).

set -u
program=$1
runs=${2:-10}
title="Halvic Spectral Calibration Program"

if [ -z "${HALVIC_FIGURES_DISPLAY:-}" ]; then
  exec env HALVIC_FIGURES_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi

now_ms() { date +%s%3N; }

# Polls every 5 ms (xdotool's own --sync looks only every half second); gives up when the
# program has ended.
wait_for_window() {
  until xdotool search --onlyvisible --pid "$1" --name "$title" > /dev/null 2>&1; do
    kill -0 "$1" 2> /dev/null || { echo "the program ended before its window showed"; exit 1; }
    sleep 0.005
  done
}

times=""
for run in $(seq "$runs"); do
  start=$(now_ms)
  "$program" > /dev/null 2>&1 &
  pid=$!
  wait_for_window "$pid"
  shown=$(now_ms)
  kill "$pid"
  wait "$pid" 2> /dev/null
  times="$times $((shown - start))"
done
echo "cold start to a shown window, ms:$times"
echo "$times" | tr ' ' '\n' | grep . | sort -n |
  awk '{v[NR]=$1} END {print "min " v[1] ", median " (NR % 2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2) ", max " v[NR]}'

"$program" samples/object-spectrum.kr4 samples/neon-lamp.kr4 > /dev/null 2>&1 &
pid=$!
wait_for_window "$pid"
sleep 2  # the images load once the window shows
grep -E "VmHWM|VmRSS" "/proc/$pid/status"
kill "$pid"
wait "$pid" 2> /dev/null
